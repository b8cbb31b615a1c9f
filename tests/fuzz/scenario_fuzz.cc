// Fuzzes the scenario parser of shutdown-sim. Beyond not crashing: a rejection names a line of the text,
// an accepted scenario keeps its commands in line order with sane arguments, and the scenario rebuilt from
// the commands' own source texts (ini lines first) parses to the same commands.
//
// Built by clang, the parser's control names are UTF-8 bytes here (GBK in the product build, where
// shutdown-sim converts its UTF-8 input first); the seeds are written in UTF-8 to match.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "platform/sim/scenario.h"

namespace {

[[noreturn]] void Fail(const char* what, std::string_view text, int line = 0) {
  std::fprintf(stderr, "scenario_fuzz: %s (line %d)\n--- scenario ---\n%.*s\n---\n", what, line,
               static_cast<int>(text.size()), text.data());
  std::abort();
}

bool SameCommand(const ScenarioCommand& a, const ScenarioCommand& b) {
  return a.kind == b.kind && a.source == b.source && a.control == b.control && a.text == b.text &&
         a.duration == b.duration && a.answer == b.answer && a.clock.year == b.clock.year &&
         a.clock.month == b.clock.month && a.clock.day == b.clock.day && a.clock.hour == b.clock.hour &&
         a.clock.minute == b.clock.minute && a.clock.second == b.clock.second;
}

bool ValidClock(const CivilTime& t) {
  static constexpr int kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  if (t.month < 1 || t.month > 12 || t.day < 1) return false;
  const bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
  return t.day <= kDays[t.month - 1] + (t.month == 2 && leap) && t.hour >= 0 && t.hour <= 23 &&
         t.minute >= 0 && t.minute <= 59 && t.second >= 0 && t.second <= 59;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  int lines = 1;
  for (char c : text) lines += c == '\n';

  Scenario scenario;
  ScenarioError error;
  if (!ParseScenario(text, scenario, error)) {
    if (error.line < 1 || error.line > lines) Fail("rejection names no line of the text", text, error.line);
    if (error.message.empty()) Fail("rejection without a message", text, error.line);
    return 0;
  }

  constexpr int64_t kThousandDays = int64_t{1000} * 86400000;
  int previous = 0;
  int starts = 0;
  for (const ScenarioCommand& c : scenario.commands) {
    if (c.line <= previous || c.line > lines) Fail("command out of line order", text, c.line);
    previous = c.line;
    if (c.source.empty()) Fail("command without source", text, c.line);
    if (c.duration < 0 || c.duration > kThousandDays) Fail("duration out of range", text, c.line);
    if (c.kind == ScenarioCommand::kClock && !ValidClock(c.clock)) Fail("invalid clock", text, c.line);
    if (c.kind == ScenarioCommand::kAnotherCopy && starts == 0)
      Fail("another copy before start", text, c.line);
    starts += c.kind == ScenarioCommand::kStart;
  }
  if (starts > 1) Fail("started twice", text);

  std::string rebuilt;
  for (const Text& ini : scenario.iniLines) rebuilt += "ini " + ini + "\n";
  for (const ScenarioCommand& c : scenario.commands) rebuilt += c.source + "\n";
  Scenario again;
  if (!ParseScenario(rebuilt, again, error)) Fail("rebuilt scenario rejected", rebuilt, error.line);
  if (again.iniLines != scenario.iniLines) Fail("rebuilt scenario has other ini lines", rebuilt);
  if (again.commands.size() != scenario.commands.size()) Fail("rebuilt scenario has other commands", rebuilt);
  for (size_t i = 0; i < again.commands.size(); ++i) {
    if (!SameCommand(again.commands[i], scenario.commands[i])) {
      Fail("rebuilt command differs", rebuilt, static_cast<int>(i + 1));
    }
  }
  return 0;
}
