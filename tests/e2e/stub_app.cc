// A stand-in for the program, used only to develop and check the e2e bench itself: a window with the
// program's title and size, one edit box, the exit question on Esc, close and the end-session query, and
// a forced power-off on F2. It is not built by default (target e2e_stub_app).
#include <windows.h>

namespace {

constexpr char kTitle[] = "Zentavo By：Morvil";

bool AskExit(HWND hwnd) {
  if (MessageBoxA(nullptr, "即将关闭软件？", "警告", 49 | MB_TASKMODAL) == IDOK) {
    DestroyWindow(hwnd);
    return true;
  }
  return false;
}

void PowerOff() {
  HANDLE token = nullptr;
  if (OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, &token)) {
    TOKEN_PRIVILEGES tp{};
    tp.PrivilegeCount = 1;
    tp.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
    LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &tp.Privileges[0].Luid);
    AdjustTokenPrivileges(token, FALSE, &tp, 0, nullptr, nullptr);
    CloseHandle(token);
  }
  ExitWindowsEx(EWX_POWEROFF | EWX_FORCE, 0);
}

LRESULT CALLBACK Proc(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  switch (msg) {
    case WM_CLOSE:
      AskExit(hwnd);
      return 0;
    case WM_QUERYENDSESSION:
      AskExit(hwnd);
      return FALSE;
    case WM_DESTROY:
      PostQuitMessage(0);
      return 0;
    default:
      return DefWindowProcA(hwnd, msg, wp, lp);
  }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
  WNDCLASSA wc{};
  wc.lpfnWndProc = Proc;
  wc.hInstance = instance;
  wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
  wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
  wc.lpszClassName = "E2eStub";
  RegisterClassA(&wc);
  const int x = (GetSystemMetrics(SM_CXSCREEN) - 271) / 2, y = (GetSystemMetrics(SM_CYSCREEN) - 150) / 2;
  HWND hwnd = CreateWindowExA(0, wc.lpszClassName, kTitle, WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU, x, y, 271,
                              150, nullptr, nullptr, instance, nullptr);
  HWND edit = CreateWindowExA(0, "EDIT", "30",
                              WS_CHILD | WS_VISIBLE | WS_BORDER | WS_TABSTOP | ES_CENTER | ES_AUTOHSCROLL, 73,
                              45, 30, 20, hwnd, reinterpret_cast<HMENU>(1), instance, nullptr);
  SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(GetStockObject(DEFAULT_GUI_FONT)), 0);
  ShowWindow(hwnd, SW_SHOW);
  SetFocus(edit);
  MSG m;
  while (GetMessageA(&m, nullptr, 0, 0) > 0) {
    if (m.message == WM_KEYDOWN && m.wParam == VK_ESCAPE) {
      PostMessageA(hwnd, WM_CLOSE, 0, 0);
      continue;
    }
    if (m.message == WM_KEYDOWN && m.wParam == VK_F2) PowerOff();
    TranslateMessage(&m);
    DispatchMessageA(&m);
  }
  return 0;
}
