// One running copy of a program in the simulated world: the window host and the system services it
// calls, with Windows' rules for event order, timers, modal question boxes and the message loop.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <vector>

#include "platform/form.h"
#include "platform/sim/sim_world.h"

class SimProcess final : public Platform {
 public:
  // Made by SimWorld::NewProcess. `label` prefixes the process's exit record ("copy exit 0").
  SimProcess(SimWorld& world, const Text& label);
  ~SimProcess() override;

  // Window services.
  Text ReadText(Ctl control) override;
  Text ReadTag(Ctl control) override;
  void WriteText(Ctl editBox, const Text& text) override;
  void WritePeriod(Ctl timer, int32_t milliseconds) override;
  bool IsVisible() override;
  void SetVisible(bool visible) override;
  void RequestWindowDestroy() override;
  bool LoadWindow(const FormSpec& form, WindowEvents& events) override;
  void RunMessageLoop() override;

  // System services.
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
  void EndProgram(int32_t exitCode) override;
  void SetExitAction(std::function<void()> routine) override;

  // What a user does to the window. Each returns false, doing nothing, when the window cannot take it:
  // no window, hidden, or disabled while one of the process's question boxes is open. Input to a
  // window that is not active activates it first.
  bool UserType(Ctl editBox, const Text& text);  // the whole text, as a paste sets it
  bool UserClick(Ctl control);                   // a button's click, or a left press on any control
  bool UserEnter();                              // presses the first enabled default button
  bool UserClose();                              // the close box; Esc and Alt+F4 do the same
  // The system's end-session query: false when the close query refused it.
  bool QueryEndSession();
  // Another program's window becomes the active one (deactivated is not bound, so nothing is raised).
  void LoseActivation() { active_ = false; }

  // State, for tests and dumps.
  bool Running() const;  // neither ended nor stopped with the world
  bool Ended() const { return ended_; }
  std::optional<int32_t> ExitCode() const { return exitCode_; }
  bool WindowLoaded() const { return loaded_; }
  bool Visible() const { return loaded_ && visible_; }
  bool Active() const { return loaded_ && active_; }
  bool Enabled() const { return disabled_ == 0; }
  WindowHandle Window() const { return handle_; }
  // Present text of a control, without the checks of the window services.
  std::optional<Text> ControlText(Ctl control) const;
  int32_t Period(Ctl timer) const;
  // Virtual time of a running timer's next tick.
  std::optional<int64_t> NextTick(Ctl timer) const;
  void SetRunDirectory(const Text& directory) { runDirectory_ = directory; }

  // For the world's loop.
  void HandlePostedMessage();
  void FireTimer(SimTimer& timer);

 private:
  struct Control {
    const ControlSpec* item;
    Text text;
    SimTimer* timer = nullptr;
  };

  // Raises no event while the window is being built, after the end, or when the world stops.
  bool CanRaise() const { return suppress_ == 0 && Running(); }
  bool CanTakeInput() const { return Running() && loaded_ && visible_ && disabled_ == 0; }
  // A window service named a window that is not loaded, or a control it does not have: the process
  // ends at once with a non-zero code and without its exit action.
  void Fatal(const char* call);
  // The checks of a window service call; null when the call must do nothing.
  Control* Find(Ctl control, const char* call);
  void Activate();
  void Close();
  void DestroyWindow();
  void StopTimers(bool threadTimersToo);

  SimWorld& world_;
  Text label_;
  Text runDirectory_ = "C:\\Zentavo";
  WindowEvents* events_ = nullptr;
  FormSpec form_;  // a copy: the controls point into it
  std::vector<Control> controls_;
  std::vector<SimTimer*> threadTimers_;
  WindowHandle handle_ = 0;
  bool loaded_ = false, visible_ = false, active_ = false, firstActivation_ = false;
  bool activating_ = false, destroyPending_ = false, loopEntered_ = false;
  int disabled_ = 0;   // open task-modal question boxes
  int loopDepth_ = 0;  // the world's loop depth of this process's message loop
  int suppress_ = 0;
  bool ending_ = false, ended_ = false;
  std::optional<int32_t> exitCode_;
  std::function<void()> exitAction_;
  uintptr_t nextThreadTimerId_ = 0x7FF0;
};
