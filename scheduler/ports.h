// What the scheduler asks of the outside world. The Windows platform implements these over USER32 and
// friends; the simulated platform implements them in virtual time for tests and shutdown-sim.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>

#include "scheduler/controls.h"
#include "values/datetime.h"
#include "values/text.h"

// Properties of MainWindow and its controls. Every read returns a fresh copy.
class WindowServices {
 public:
  WindowServices() = default;
  WindowServices(const WindowServices&) = delete;
  WindowServices& operator=(const WindowServices&) = delete;
  virtual ~WindowServices() = default;

  // Property 8: an edit box's present text or a label's caption.
  virtual Text ReadText(Ctl control) = 0;
  // Property 4: the stored tag.
  virtual Text ReadTag(Ctl control) = 0;
  // Property 8 of an edit box: replaces its whole text.
  virtual void WriteText(Ctl editBox, const Text& text) = 0;
  // Property 8 of a timer, in milliseconds: negative stops as 0 does; the present value changes nothing.
  virtual void WritePeriod(Ctl timer, int32_t milliseconds) = 0;
  // Property 5 of MainWindow. Hiding raises hidden inside the write; showing activates inside it.
  virtual bool IsVisible() = 0;
  virtual void SetVisible(bool visible) = 0;
  // Destroys MainWindow once the message being handled has been finished.
  virtual void RequestWindowDestroy() = 0;
};

// The title a question box shows when none is given.
inline constexpr char kDefaultBoxTitle[] = "信息：";

// Question-box results.
enum MessageBoxResult : int32_t { kBoxOk = 0, kBoxCancel = 1 };

using WindowHandle = uintptr_t;

class SystemServices {
 public:
  SystemServices() = default;
  SystemServices(const SystemServices&) = delete;
  SystemServices& operator=(const SystemServices&) = delete;
  virtual ~SystemServices() = default;

  // Modal to the thread, timers keep ticking. Title omitted: kDefaultBoxTitle. Result 0 (OK) to 6.
  virtual int32_t ShowMessageBox(const Text& text, int32_t style, const std::optional<Text>& title) = 0;
  // Kind 1: power off. True when the request was accepted.
  virtual bool ShutDownSystem(int32_t kind, bool force) = 0;
  virtual void OpenWebAddress(const Text& address) = 0;
  // The program's directory without a trailing backslash.
  virtual Text GetRunDirectory() = 0;
  // The value, or the empty text for a missing file, section or key.
  virtual Text ReadProfileText(const Text& file, const Text& section, const Text& key) = 0;
  virtual bool WriteProfileText(const Text& file, const Text& section, const Text& key, const Text& value) = 0;
  virtual CivilTime LocalTime() = 0;
  // GetAsyncKeyState as a 32-bit integer: 0 or 1 when the key is not down now.
  virtual int32_t AsyncKeyState(int32_t virtualKey) = 0;
  // A thread timer (no window) calling routine every period ms; returns its identifier.
  virtual uintptr_t SetThreadTimer(int32_t period, std::function<void()> routine) = 0;
  virtual void KillThreadTimer(uintptr_t id) = 0;
  // Top-level windows in Z order, highest first; 0 past the last.
  virtual WindowHandle FirstTopLevelWindow() = 0;
  virtual WindowHandle NextTopLevelWindow(WindowHandle window) = 0;
  // At most 254 bytes, as a 255-byte buffer holds them.
  virtual Text WindowClassName(WindowHandle window) = 0;
  virtual Text WindowTitle(WindowHandle window) = 0;
  // Runs the exit action once, then ends the process. The simulated platform returns to its caller.
  virtual void EndProgram(int32_t exitCode) = 0;
  virtual void SetExitAction(std::function<void()> routine) = 0;
};
