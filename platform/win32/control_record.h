// What the platform keeps for each control of the loaded window.
#pragma once

#include "platform/win32/win32_platform.h"

struct Win32Platform::Control {
  Control(Win32Platform* owner, const ControlSpec& spec) : owner(owner), spec(spec) {}

  Win32Platform* owner;
  ControlSpec spec;
  HWND window = nullptr;
  Text caption;                // labels and buttons: the caption as last set
  int32_t period = 0;          // timers: milliseconds, never negative
  bool running = false;        // timers: SetTimer is in force
  WNDPROC baseProc = nullptr;  // edit boxes: the EDIT class's own procedure
  HFONT font = nullptr;        // self-drawn labels
};
