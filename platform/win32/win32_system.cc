// Start-up, end and the system services: question box, power-off, shell, profile files, clock, keys,
// thread timers and the top-level window list.
#include <windows.h>
// After windows.h, which it needs.
#include <shellapi.h>

#include <algorithm>
#include <cstring>
#include <map>

#include "platform/win32/control_record.h"
#include "platform/win32/module_path.h"
#include "platform/win32/scoped_win.h"
#include "platform/win32/win32_platform.h"

namespace {

// A thread timer's procedure gets only its id, so the routines are looked up here. One thread uses them.
std::map<UINT_PTR, std::function<void()>>& ThreadTimerRoutines() {
  static std::map<UINT_PTR, std::function<void()>> routines;
  return routines;
}

void CALLBACK ThreadTimerFired(HWND, UINT, UINT_PTR id, DWORD) {
  auto& routines = ThreadTimerRoutines();
  auto found = routines.find(id);
  if (found == routines.end()) return;
  const std::function<void()> routine = found->second;  // it may kill its own timer
  routine();
}

bool IsNtPlatform() {
  OSVERSIONINFOA version{};
  version.dwOSVersionInfoSize = sizeof version;
  return GetVersionExA(&version) && version.dwPlatformId == VER_PLATFORM_WIN32_NT;
}

bool EnableShutdownPrivilege() {
  ScopedHandle token;
  if (!OpenProcessToken(GetCurrentProcess(), TOKEN_ADJUST_PRIVILEGES | TOKEN_QUERY, token.Receive()))
    return false;
  TOKEN_PRIVILEGES privileges{};
  privileges.PrivilegeCount = 1;
  privileges.Privileges[0].Attributes = SE_PRIVILEGE_ENABLED;
  if (!LookupPrivilegeValueA(nullptr, "SeShutdownPrivilege", &privileges.Privileges[0].Luid)) return false;
  AdjustTokenPrivileges(token.get(), FALSE, &privileges, 0, nullptr, nullptr);
  // Success leaves 0 behind; ERROR_NOT_ALL_ASSIGNED means the right was not granted.
  return GetLastError() == 0;
}

// Leading bytes 0x01 to 0x20 are skipped in profile file, section and key names.
Text SkipLeadingBlanks(const Text& text) {
  const std::string_view view(text.c_str());
  size_t start = 0;
  while (start < view.size() && static_cast<unsigned char>(view[start]) <= 0x20) ++start;
  return Text(view.substr(start));
}

Text WindowText(int (*get)(HWND, LPSTR, int), WindowHandle window) {
  char buffer[255];
  const int length = get(reinterpret_cast<HWND>(window), buffer, sizeof buffer);
  return Text(buffer, static_cast<size_t>(std::clamp(length, 0, static_cast<int>(sizeof buffer) - 1)));
}

int GetClassNameText(HWND window, LPSTR buffer, int size) { return GetClassNameA(window, buffer, size); }
int GetTitleText(HWND window, LPSTR buffer, int size) { return GetWindowTextA(window, buffer, size); }

}  // namespace

Win32Platform::Win32Platform() {
  char path[MAX_PATH] = {};
  const DWORD length = GetModuleFileNameA(nullptr, path, sizeof path);
  ModulePathParts parts = SplitModulePath(std::string_view(path, std::min<DWORD>(length, sizeof path)));
  runDirectory_ = std::move(parts.directory);
  if (!runDirectory_.empty()) SetCurrentDirectoryA(CurrentDirectoryFor(runDirectory_).c_str());
}

Win32Platform::~Win32Platform() {
  ++suppressEvents_;
  loopEntered_ = false;  // no WM_QUIT for a window torn down here
  for (uintptr_t id : threadTimers_) {
    KillTimer(nullptr, id);
    ThreadTimerRoutines().erase(id);
  }
  if (window_) DestroyWindow(window_);
}

int32_t Win32Platform::ShowMessageBox(const Text& text, int32_t style, const std::optional<Text>& title) {
  UINT flags = static_cast<UINT>(style);
  if (!(flags & MB_SYSTEMMODAL)) flags |= MB_TASKMODAL;
  const int answer = MessageBoxA(nullptr, text.c_str(), title ? title->c_str() : kDefaultBoxTitle, flags);
  switch (answer) {
    case IDCANCEL:
      return 1;
    case IDABORT:
      return 2;
    case IDRETRY:
      return 3;
    case IDIGNORE:
      return 4;
    case IDYES:
      return 5;
    case IDNO:
      return 6;
    default:  // IDOK, and 0 when the box could not be shown
      return 0;
  }
}

bool Win32Platform::ShutDownSystem(int32_t kind, bool force) {
  if (kind != 1) return false;  // power-off is the only kind asked for
  if (IsNtPlatform() && !EnableShutdownPrivilege()) return false;
  const UINT flags = (IsNtPlatform() ? EWX_POWEROFF : EWX_SHUTDOWN) | (force ? EWX_FORCE : 0);
  return ExitWindowsEx(flags, 0) != 0;
}

void Win32Platform::OpenWebAddress(const Text& address) {
  HWND owner = FindWindowExA(nullptr, nullptr, nullptr, "Microsoft Internet Explorer");
  ShellExecuteA(owner, "open", address.c_str(), nullptr, nullptr, SW_SHOWNORMAL);
}

Text Win32Platform::GetRunDirectory() { return runDirectory_; }

Text Win32Platform::ReadProfileText(const Text& file, const Text& section, const Text& key) {
  const Text fileName = SkipLeadingBlanks(file);
  const Text sectionName = SkipLeadingBlanks(section);
  const Text keyName = SkipLeadingBlanks(key);
  if (fileName.empty() || sectionName.empty() || keyName.empty()) return Text();
  constexpr DWORD kBufferSize = 10240;
  Text value(kBufferSize, '\0');
  GetPrivateProfileStringA(sectionName.c_str(), keyName.c_str(), nullptr, value.data(), kBufferSize,
                           fileName.c_str());
  // The text is what the buffer holds up to its zero byte, not the count returned: when a double-byte
  // value is cut, that count may include a half character that was not copied.
  value.resize(std::strlen(value.c_str()));
  return value;
}

bool Win32Platform::WriteProfileText(const Text& file, const Text& section, const Text& key,
                                     const Text& value) {
  return WritePrivateProfileStringA(section.c_str(), key.c_str(), value.c_str(), file.c_str()) != 0;
}

CivilTime Win32Platform::LocalTime() {
  SYSTEMTIME now;
  GetLocalTime(&now);
  return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

int32_t Win32Platform::AsyncKeyState(int32_t virtualKey) { return GetAsyncKeyState(virtualKey); }

uintptr_t Win32Platform::SetThreadTimer(int32_t period, std::function<void()> routine) {
  const UINT_PTR id = SetTimer(nullptr, 0, static_cast<UINT>(period), ThreadTimerFired);
  if (id == 0) return 0;
  ThreadTimerRoutines()[id] = std::move(routine);
  threadTimers_.push_back(id);
  return id;
}

void Win32Platform::KillThreadTimer(uintptr_t id) {
  KillTimer(nullptr, id);
  if (std::erase(threadTimers_, id) > 0) ThreadTimerRoutines().erase(id);
}

WindowHandle Win32Platform::FirstTopLevelWindow() {
  return reinterpret_cast<WindowHandle>(GetWindow(GetDesktopWindow(), GW_CHILD));
}

WindowHandle Win32Platform::NextTopLevelWindow(WindowHandle window) {
  return reinterpret_cast<WindowHandle>(GetWindow(reinterpret_cast<HWND>(window), GW_HWNDNEXT));
}

Text Win32Platform::WindowClassName(WindowHandle window) { return WindowText(GetClassNameText, window); }

Text Win32Platform::WindowTitle(WindowHandle window) { return WindowText(GetTitleText, window); }

void Win32Platform::EndProgram(int32_t exitCode) {
  ++suppressEvents_;
  std::function<void()> action = std::move(exitAction_);
  exitAction_ = nullptr;
  if (action) action();
  ExitProcess(static_cast<UINT>(exitCode));
}

void Win32Platform::SetExitAction(std::function<void()> routine) { exitAction_ = std::move(routine); }
