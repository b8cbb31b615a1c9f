// Baseline: only the work the product must do while it waits hidden — a 10 ms thread timer reading the
// Ctrl and F12 key states, and a 1000 ms window timer — in a hidden window with one edit box.
#include <windows.h>

namespace {

volatile LONG keysSeen = 0;

void CALLBACK PollKeys(HWND, UINT, UINT_PTR, DWORD) {
  if (GetAsyncKeyState(VK_CONTROL) != 0 && GetAsyncKeyState(VK_F12) != 0) keysSeen = keysSeen + 1;
}

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_TIMER: {
      SYSTEMTIME now;
      GetLocalTime(&now);
      return 0;
    }
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(window, message, wParam, lParam);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "MandatedWork";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "MandatedWork", "Mandated work", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                CW_USEDEFAULT, CW_USEDEFAULT, 271, 150, nullptr, nullptr, instance, nullptr);
  CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE | WS_BORDER, 27, 17, 60, 20, window, nullptr, instance,
                  nullptr);
  SetTimer(window, 1, 1000, nullptr);
  SetTimer(nullptr, 0, 0, PollKeys);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
