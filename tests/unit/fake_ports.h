// A light stand-in for the window and the system: fields and tags in maps, every effect logged as a
// line, the question box answered by a scripted function. For tests of single actions; whole-program
// behaviour in time is the simulated platform's job.
#pragma once

#include <functional>
#include <map>
#include <string>
#include <vector>

#include "scheduler/ports.h"

class FakePorts : public WindowServices, public SystemServices {
 public:
  FakePorts();

  // Window services.
  Text ReadText(Ctl control) override { return texts[control]; }
  Text ReadTag(Ctl control) override { return tags[control]; }
  void WriteText(Ctl editBox, const Text& text) override;
  void WritePeriod(Ctl timer, int32_t milliseconds) override;
  bool IsVisible() override { return visible; }
  void SetVisible(bool visible) override;
  void RequestWindowDestroy() override { log.push_back("destroy requested"); }

  // System services.
  int32_t ShowMessageBox(const Text& text, int32_t style, const std::optional<Text>& title) override;
  bool ShutDownSystem(int32_t kind, bool force) override;
  void OpenWebAddress(const Text& address) override { log.push_back("web " + address); }
  Text GetRunDirectory() override { return "C:\\Tools"; }
  Text ReadProfileText(const Text& file, const Text& section, const Text& key) override;
  bool WriteProfileText(const Text& file, const Text& section, const Text& key, const Text& value) override;
  CivilTime LocalTime() override { return now; }
  int32_t AsyncKeyState(int32_t virtualKey) override { return keysDown[virtualKey] ? -32768 : 0; }
  uintptr_t SetThreadTimer(int32_t period, std::function<void()> routine) override;
  void KillThreadTimer(uintptr_t id) override { log.push_back("kill thread timer " + std::to_string(id)); }
  WindowHandle FirstTopLevelWindow() override { return windows.empty() ? 0 : 1; }
  WindowHandle NextTopLevelWindow(WindowHandle w) override { return w < windows.size() ? w + 1 : 0; }
  Text WindowClassName(WindowHandle w) override { return windows[w - 1].first; }
  Text WindowTitle(WindowHandle w) override { return windows[w - 1].second; }
  void EndProgram(int32_t exitCode) override { log.push_back("end " + std::to_string(exitCode)); }
  void SetExitAction(std::function<void()> routine) override { exitAction = std::move(routine); }

  // The effects, in order. Periods are logged as "时钟1 1000", boxes as "box TITLE STYLE TEXT".
  std::vector<std::string> log;
  // Returns the log and clears it.
  std::vector<std::string> TakeLog();

  std::map<Ctl, Text> texts, tags;
  std::map<Ctl, int32_t> periods;
  bool visible = true;
  CivilTime now{2026, 3, 14, 12, 0, 0};
  std::map<std::string, Text> profile;  // "file|section|key" -> value
  bool writesFail = false;
  bool powerOffFails = false;
  std::function<int32_t(const Text& text)> answerBox = [](const Text&) { return int32_t{kBoxCancel}; };
  std::map<int32_t, bool> keysDown;
  std::function<void()> pollRoutine, exitAction;
  std::vector<std::pair<Text, Text>> windows;  // class name, title; Z order
  // Called inside SetVisible(false) on a visible window, as the hidden event is.
  std::function<void()> onHidden;
};
