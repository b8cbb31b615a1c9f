#include "platform/win32/control_paint.h"

#include "platform/win32/scoped_win.h"

namespace {

constexpr UINT kLabelTextFormat = DT_LEFT | DT_SINGLELINE | DT_VCENTER | DT_NOCLIP;

void DrawLine(HDC dc, const Text& text, RECT rect, COLORREF color) {
  SetTextColor(dc, color);
  DrawTextA(dc, text.c_str(), -1, &rect, kLabelTextFormat);
}

}  // namespace

void PaintLabel(HWND label, const Text& text, HFONT font) {
  ScopedPaint paint(label);
  RECT rect;
  GetClientRect(label, &rect);
  FillRect(paint.dc(), &rect, GetSysColorBrush(COLOR_BTNFACE));
  ScopedSelect selectFont(paint.dc(), font);
  SetBkMode(paint.dc(), TRANSPARENT);
  DrawLine(paint.dc(), text, rect, RGB(0, 0, 0));
}

void PaintEngravedLabel(HWND label, const Text& text, HFONT font) {
  ScopedPaint paint(label);
  RECT rect;
  GetClientRect(label, &rect);
  ScopedSelect selectFont(paint.dc(), font);
  SetBkMode(paint.dc(), TRANSPARENT);
  RECT shadow = rect;
  OffsetRect(&shadow, 1, 1);
  DrawLine(paint.dc(), text, shadow, RGB(255, 255, 255));
  DrawLine(paint.dc(), text, rect, RGB(0, 0, 0));
}
