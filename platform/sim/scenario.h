// Scenarios: what a user and the system do to the program, line by line in virtual time, and the
// player that schedules them into a simulated world. Texts are GBK; shutdown-sim converts at its edges.
//
//   clock YYYY-MM-DD HH:MM:SS   sets the local clock (later in the scenario: the system clock jumps)
//   ini LINE                    appends LINE to the settings file (only before start)
//   start | another-copy        starts the program | a second copy of it
//   type EDITBOX [TEXT]         sets an edit box's whole text, as a paste does
//   click 按钮1|按钮2|透明标签1   key Enter|Esc   close   logoff
//   hotkey [DURATION]           holds Ctrl+F12 down for DURATION (default 100ms); time moves on by it
//   advance DURATION            lets virtual time run: 250ms, 10s, 5m, 2h, 1d
//   answer ok|cancel            answers the newest open question box
//   poweroff-fails | save-fails later power-off requests | settings writes fail
//   dump fields | dump file     records the five field texts | the settings file's lines
// A '#' at the start of a line or after white space starts a comment.
#pragma once

#include <cstdint>
#include <functional>
#include <string_view>
#include <vector>

#include "platform/sim/sim_process.h"
#include "platform/sim/sim_world.h"

inline constexpr char kSimSettingsPath[] = "C:\\Zentavo\\配置.ini";

struct ScenarioCommand {
  enum Kind {
    kClock,
    kStart,
    kAnotherCopy,
    kType,
    kClick,
    kEnter,
    kEsc,
    kClose,
    kLogoff,
    kHotkey,
    kAdvance,
    kAnswer,
    kPowerOffFails,
    kSaveFails,
    kDumpFields,
    kDumpFile,
  };
  Kind kind;
  int line;
  Text source;  // the command as written, for its "ignored" record
  Ctl control{};
  Text text;
  int64_t duration = 0;  // milliseconds
  CivilTime clock{};
  BoxAnswer answer = BoxAnswer::kOk;
};

struct Scenario {
  std::vector<Text> iniLines;
  std::vector<ScenarioCommand> commands;
};

struct ScenarioError {
  int line = 0;
  Text message;
};

// False, with the error, for a malformed scenario.
bool ParseScenario(std::string_view text, Scenario& scenario, ScenarioError& error);

// Schedules the scenario from the world's present time and runs the world to its end. `runCopy` runs
// one copy of the program on the fresh process it is given, from its start to its end.
void PlayScenario(SimWorld& world, const Scenario& scenario, const std::function<void(SimProcess&)>& runCopy);

// The records as output lines: "HH:MM:SS.mmm TEXT" on the local clock.
std::vector<Text> FormatRecords(const SimWorld& world);
