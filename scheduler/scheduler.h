// The program's logic: the schedule check, the prompt cycle, the settings file and the hotkey table.
// It reaches the window and the system only through the ports it is given.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <vector>

#include "scheduler/ports.h"
#include "values/datetime.h"
#include "values/text.h"

inline constexpr int32_t kVkControl = 0x11;
inline constexpr int32_t kVkF12 = 0x7B;

// The shutdown question: OK and Cancel, question icon, brought to the foreground and kept on top so it is
// seen even when another program is in front (MB_SETFOREGROUND | MB_TOPMOST).
inline constexpr int32_t kShutdownQuestionStyle = 33 | 0x10000 | 0x40000;

struct HotkeyRecord {
  std::vector<int32_t> keys;  // virtual-key codes that must all be down at once
  std::function<void(const Text& name)> action;
  Text name;
  bool heldAtLastPoll = false;  // the action runs once per press, when the chord becomes held
};

// The program-wide values.
struct Globals {
  Text configPath;
  Text loadedHour, loadedMinute;
  DateTime timeOfDayNow = 0, targetTime = 0, windowEndTime = 0;
  int32_t countdown = 0;
  HotkeyRecord showHideHotkey{{0}, nullptr, Text()};
  std::vector<HotkeyRecord> hotkeyList;
  uintptr_t pollTimerId = 0;
  bool questionOpen = false;  // a shutdown question is on the screen

  // Releases everything and returns to the values the program starts with.
  void Free() { *this = Globals(); }
};

// (hours, minutes) of a span plus a start minute.
struct HoursMinutes {
  int32_t hours, minutes;
};
HoursMinutes SplitMinutes(int32_t span, int32_t minute);

class Scheduler {
 public:
  Scheduler(WindowServices& window, SystemServices& system) : window_(window), system_(system) {}

  // Schedule check: the tick of 时钟1.
  void CheckSchedule();
  // Prompt cycle.
  void EnterPrompt();
  void CountdownTick();  // tick of 时钟2
  void SnoozeTick();     // tick of 时钟3
  void RequestPowerOff();
  // Settings file.
  void LoadSettings();
  void SaveAndHide();
  // Show/hide hotkey.
  void RegisterHotkey(const HotkeyRecord& record);
  void RemoveHotkey();  // removes all
  void StartHotkeyPolling(int32_t period);
  void HotkeyPollTick();
  bool IsChordHeld(size_t index);  // 1-based
  void ToggleMainWindow(const Text& name);

  Globals& globals() { return globals_; }

 private:
  double FieldNumber(Ctl field);

  WindowServices& window_;
  SystemServices& system_;
  Globals globals_;
};
