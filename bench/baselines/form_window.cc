// Baseline: a window with as many child controls as the product's main window (five edit boxes, ten
// labels, two buttons, three hidden windows) showing the same kind of Chinese text, and no program behind
// them: what the form alone costs to start and to keep in memory.
#include <windows.h>

namespace {

struct Child {
  const char* className;
  const char* text;
  bool visible;
};

constexpr Child kChildren[] = {
    {"EDIT", "", true},
    {"STATIC", "时", true},
    {"EDIT", "", true},
    {"STATIC", "分", true},
    {"STATIC", "等待时间", true},
    {"EDIT", "30", true},
    {"STATIC", "秒", true},
    {"STATIC", "有效时间", true},
    {"EDIT", "120", true},
    {"STATIC", "分钟内", true},
    {"STATIC", "取消后", true},
    {"EDIT", "30", true},
    {"STATIC", "分钟后再提醒", true},
    {"BUTTON", "设 置/隐 藏", true},
    {"BUTTON", "退出软件", true},
    {"STATIC", "打开程序目录", true},
    {"STATIC", "2000年1月1日", true},
    {"STATIC", "", false},
    {"STATIC", "", false},
    {"STATIC", "", false},
};

LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_DESTROY) {
    PostQuitMessage(0);
    return 0;
  }
  return DefWindowProcA(window, message, wParam, lParam);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA windowClass{};
  windowClass.lpfnWndProc = WindowProc;
  windowClass.hInstance = instance;
  windowClass.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  windowClass.lpszClassName = "FormWindow";
  RegisterClassA(&windowClass);
  HWND window = CreateWindowExA(0, "FormWindow", "Form window", WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU,
                                CW_USEDEFAULT, CW_USEDEFAULT, 271, 150, nullptr, nullptr, instance, nullptr);
  const auto font = reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT));
  int index = 0;
  for (const Child& child : kChildren) {
    DWORD style = WS_CHILD | (child.visible ? WS_VISIBLE : 0);
    if (child.className[0] == 'E') style |= WS_BORDER | ES_CENTER;
    HWND control = CreateWindowExA(0, child.className, child.text, style, 5 + index % 4 * 62,
                                   5 + index / 4 * 22, 58, 20, window, nullptr, instance, nullptr);
    SendMessageA(control, WM_SETFONT, font, FALSE);
    ++index;
  }
  ShowWindow(window, SW_SHOW);
  MSG message;
  while (GetMessageA(&message, nullptr, 0, 0) > 0) {
    TranslateMessage(&message);
    DispatchMessageA(&message);
  }
  return 0;
}
