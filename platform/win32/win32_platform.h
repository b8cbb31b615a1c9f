// The platform over USER32, GDI32, KERNEL32, ADVAPI32 and SHELL32, all through the ANSI calls. Window
// messages are decoded here into the typed events of WindowEvents; the program never sees a WPARAM.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <vector>

#include "platform/form.h"

class Win32Platform final : public Platform {
 public:
  // The platform's start-up: takes the program's own path and makes its directory the current one.
  Win32Platform();
  // Destroys a window still loaded (without raising events) and stops the thread timers it started.
  ~Win32Platform() override;

  // WindowHost
  bool LoadWindow(const FormSpec& form, WindowEvents& events) override;
  void RunMessageLoop() override;

  // WindowServices
  Text ReadText(Ctl control) override;
  Text ReadTag(Ctl control) override;
  void WriteText(Ctl editBox, const Text& text) override;
  void WritePeriod(Ctl timer, int32_t milliseconds) override;
  bool IsVisible() override;
  void SetVisible(bool visible) override;
  void RequestWindowDestroy() override;

  // SystemServices
  int32_t ShowMessageBox(const Text& text, int32_t style, const std::optional<Text>& title) override;
  bool ShutDownSystem(int32_t kind, bool force) override;
  void OpenWebAddress(const Text& address) override;
  Text GetRunDirectory() override;
  Text ReadProfileText(const Text& file, const Text& section, const Text& key) override;
  bool WriteProfileText(const Text& file, const Text& section, const Text& key, const Text& value) override;
  CivilTime LocalTime() override;
  int32_t AsyncKeyState(int32_t virtualKey) override;
  uintptr_t SetThreadTimer(int32_t period, std::function<void()> routine) override;
  void KillThreadTimer(uintptr_t id) override;
  WindowHandle FirstTopLevelWindow() override;
  WindowHandle NextTopLevelWindow(WindowHandle window) override;
  Text WindowClassName(WindowHandle window) override;
  Text WindowTitle(WindowHandle window) override;
  [[noreturn]] void EndProgram(int32_t exitCode) override;
  void SetExitAction(std::function<void()> routine) override;

  // The loaded window and its controls' windows, null when not loaded; for tests and tools.
  HWND window() const { return window_; }
  HWND ControlWindow(Ctl control) const;

 private:
  struct Control;

  static LRESULT CALLBACK WindowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK LabelProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK TimerProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  static LRESULT CALLBACK EditProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

  // Main window messages, one handler each.
  LRESULT HandleMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnShowWindow(bool show);
  void OnActivate(int state);
  void OnSetFocus();
  LRESULT OnClose();
  LRESULT OnQueryEndSession(WPARAM wParam, LPARAM lParam);
  void OnDestroy();
  void OnNcDestroy();
  void OnDestroyRequest();
  void OnCommand(HWND from, int code);
  LRESULT OnCtlColorEdit(HDC dc);

  // Timer windows.
  void StartTimer(Control& timer);
  void StopTimer(Control& timer);

  // Message loop steps; each returns true when it has consumed the message.
  bool PreTranslateMouse(const MSG& message);
  bool PreTranslateKey(const MSG& message);
  void ClickDefaultButton();
  void MoveFocus(bool backwards);

  HWND CreateControl(Control& control, HFONT font);
  Control* FindControl(Ctl id);
  Control* FindControl(HWND window);
  // Every window service names a loaded window and one of its controls; anything else ends the process.
  Control& LoadedControl(Ctl id);
  void RequireLoaded();
  [[noreturn]] void Fatal(const char* what);
  bool EventsOn() const { return suppressEvents_ == 0 && events_ != nullptr; }

  // The program's directory, taken at start-up.
  Text runDirectory_;

  // The window.
  HWND window_ = nullptr;
  WindowEvents* events_ = nullptr;
  std::vector<std::unique_ptr<Control>> controls_;
  std::vector<Ctl> tabOrder_;
  HWND lastFocus_ = nullptr;
  bool destroyPending_ = false;

  // Program-wide.
  int suppressEvents_ = 0;
  bool activationGuard_ = false;
  bool loopEntered_ = false;
  std::function<void()> exitAction_;
  std::vector<uintptr_t> threadTimers_;
};
