// A window template as data, the events a loaded window raises, and the host that loads and runs it.
#pragma once

#include <cstdint>
#include <optional>
#include <vector>

#include "scheduler/ports.h"

enum class ControlKind { kEdit, kLabel, kButton, kTransparentLabel, kTimer };

struct ControlSpec {
  Ctl id;
  ControlKind kind;
  int left, top, width, height;  // client coordinates of the window
  Text text;                     // an edit box's text, a label's or button's caption
  Text tag;
  bool visible = true;
  bool tabStop = false;
  bool defaultButton = false;
  int32_t period = 0;  // timers: stored period in ms; above 0 runs from creation
};

struct FormSpec {
  uint32_t templateId;
  Text title;
  int width, height;  // outer size; the window is centred on the screen
  std::vector<ControlSpec> controls;
  std::vector<Ctl> tabOrder;  // the order Tab and Shift+Tab follow, wrapping at both ends
};

// The actions a template binds to its window's events. Unbound events (shown, moved, resized, first
// activation, deactivated, focus and content changes) never reach the program.
class WindowEvents {
 public:
  virtual ~WindowEvents() = default;
  virtual void Created() = 0;
  virtual void Activated() = 0;
  virtual void Hidden() = 0;
  // Close box, Alt+F4, Esc, system menu Close, and the system's end-session query. False refuses.
  virtual bool CloseQuery() = 0;
  virtual void Destroyed() = 0;
  virtual void Clicked(Ctl button) = 0;
  // Taken from the queue by the main loop before dispatch; false drops the press, nothing dispatches it.
  virtual std::optional<bool> LeftButtonDown(Ctl control, int x, int y, int keyFlags) = 0;
  virtual void Tick(Ctl timer) = 0;
};

// Loads one window from its template and runs the message loop; the window services act on it.
class WindowHost : public WindowServices {
 public:
  // Builds the window invisible, raises created, then shows it (shown and activated come inside).
  virtual bool LoadWindow(const FormSpec& form, WindowEvents& events) = 0;
  // Returns when the loop ends: no loaded window is left.
  virtual void RunMessageLoop() = 0;
};

// Everything the program runs on: one window host and the system services.
class Platform : public WindowHost, public SystemServices {};
