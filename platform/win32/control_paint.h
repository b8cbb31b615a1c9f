// How the self-drawn controls look: plain labels and the engraved transparent label.
#pragma once

#include <windows.h>

#include "values/text.h"

// Fills the label with the button-face colour and draws its text in black on one line, left-aligned,
// vertically centred and not clipped.
void PaintLabel(HWND label, const Text& text, HFONT font);

// Draws no background, so the parent shows through, and draws the text twice: white one pixel right and
// down, then black in place, which looks engraved.
void PaintEngravedLabel(HWND label, const Text& text, HFONT font);
