#include "platform/sim/scenario.h"

#include <array>
#include <optional>

namespace {

constexpr int32_t kVkControl = 0x11, kVkF12 = 0x7B;
constexpr int64_t kDefaultHotkeyHold = 100;
// Far beyond any evening, and far from overflowing when summed.
constexpr int64_t kLongestDuration = int64_t{1000} * 86400000;

struct NamedControl {
  const char* name;
  Ctl id;
};
constexpr std::array<NamedControl, 5> kEditBoxes{{{"编辑框1", Ctl::编辑框1},
                                                  {"编辑框2", Ctl::编辑框2},
                                                  {"编辑框3", Ctl::编辑框3},
                                                  {"编辑框4", Ctl::编辑框4},
                                                  {"编辑框5", Ctl::编辑框5}}};
constexpr std::array<NamedControl, 3> kClickable{
    {{"按钮1", Ctl::按钮1}, {"按钮2", Ctl::按钮2}, {"透明标签1", Ctl::透明标签1}}};

bool IsSpace(char c) { return c == ' ' || c == '\t' || c == '\r'; }

std::string_view TrimBoth(std::string_view s) {
  while (!s.empty() && IsSpace(s.front())) s.remove_prefix(1);
  while (!s.empty() && IsSpace(s.back())) s.remove_suffix(1);
  return s;
}

// Splits off the first word; `rest` is what follows the one separator after it.
std::string_view FirstWord(std::string_view s, std::string_view& rest) {
  size_t end = 0;
  while (end < s.size() && !IsSpace(s[end])) ++end;
  rest = end < s.size() ? s.substr(end + 1) : std::string_view();
  return s.substr(0, end);
}

template <size_t N>
std::optional<Ctl> Lookup(const std::array<NamedControl, N>& table, std::string_view name) {
  for (const NamedControl& c : table) {
    if (name == c.name) return c.id;
  }
  return std::nullopt;
}

// 250ms, 10s, 5m, 2h, 1d: whole numbers only.
std::optional<int64_t> ParseDuration(std::string_view s) {
  size_t digits = 0;
  int64_t value = 0;
  while (digits < s.size() && s[digits] >= '0' && s[digits] <= '9') {
    if (digits == 12) return std::nullopt;
    value = value * 10 + (s[digits++] - '0');
  }
  if (digits == 0) return std::nullopt;
  const std::string_view unit = s.substr(digits);
  int64_t scale = 0;
  if (unit == "ms") scale = 1;
  if (unit == "s") scale = 1000;
  if (unit == "m") scale = 60000;
  if (unit == "h") scale = 3600000;
  if (unit == "d") scale = 86400000;
  if (scale == 0 || value > kLongestDuration / scale) return std::nullopt;
  return value * scale;
}

// YYYY-MM-DD HH:MM:SS, a real date and time of day.
std::optional<CivilTime> ParseClock(std::string_view s) {
  static constexpr char kPattern[] = "dddd-dd-dd dd:dd:dd";
  if (s.size() != sizeof kPattern - 1) return std::nullopt;
  for (size_t i = 0; i < s.size(); ++i) {
    const bool digit = s[i] >= '0' && s[i] <= '9';
    if (kPattern[i] == 'd' ? !digit : s[i] != kPattern[i]) return std::nullopt;
  }
  auto number = [&](size_t at, size_t width) {
    int32_t n = 0;
    for (size_t i = at; i < at + width; ++i) n = n * 10 + (s[i] - '0');
    return n;
  };
  const CivilTime t{number(0, 4), number(5, 2), number(8, 2), number(11, 2), number(14, 2), number(17, 2)};
  static constexpr int32_t kDays[12] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  const bool leap = (t.year % 4 == 0 && t.year % 100 != 0) || t.year % 400 == 0;
  if (t.year < 1601 || t.month < 1 || t.month > 12 || t.day < 1) return std::nullopt;
  if (t.day > kDays[t.month - 1] + (t.month == 2 && leap ? 1 : 0)) return std::nullopt;
  if (t.hour > 23 || t.minute > 59 || t.second > 59) return std::nullopt;
  return t;
}

// Cuts a comment: '#' at the start of the line or after white space.
std::string_view StripComment(std::string_view line) {
  for (size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '#' && (i == 0 || IsSpace(line[i - 1]))) return line.substr(0, i);
  }
  return line;
}

// Parses one non-empty command line; false with a message when it is malformed.
bool ParseCommand(std::string_view line, ScenarioCommand& command, Text& message) {
  std::string_view rest;
  const std::string_view word = FirstWord(line, rest);
  const std::string_view args = TrimBoth(rest);
  using C = ScenarioCommand;
  auto noArguments = [&](C::Kind kind) {
    command.kind = kind;
    if (!args.empty()) message = JoinTexts({"unexpected argument to ", word, ": ", args});
    return args.empty();
  };
  auto duration = [&](C::Kind kind, std::optional<int64_t> fallback) {
    command.kind = kind;
    const std::optional<int64_t> d = args.empty() ? fallback : ParseDuration(args);
    if (!d) {
      message = args.empty() ? JoinTexts({word, " needs a duration"}) : JoinTexts({"bad duration: ", args});
      return false;
    }
    command.duration = *d;
    return true;
  };

  if (word == "clock") {
    command.kind = C::kClock;
    const std::optional<CivilTime> clock = ParseClock(args);
    if (!clock) message = JoinTexts({"clock must be a valid YYYY-MM-DD HH:MM:SS: ", args});
    if (clock) command.clock = *clock;
    return clock.has_value();
  }
  if (word == "start") return noArguments(C::kStart);
  if (word == "another-copy") return noArguments(C::kAnotherCopy);
  if (word == "close") return noArguments(C::kClose);
  if (word == "logoff") return noArguments(C::kLogoff);
  if (word == "poweroff-fails") return noArguments(C::kPowerOffFails);
  if (word == "save-fails") return noArguments(C::kSaveFails);
  if (word == "hotkey") return duration(C::kHotkey, kDefaultHotkeyHold);
  if (word == "advance") return duration(C::kAdvance, std::nullopt);
  if (word == "type") {
    command.kind = C::kType;
    std::string_view text;
    const std::string_view name = FirstWord(TrimBoth(rest), text);
    const std::optional<Ctl> control = Lookup(kEditBoxes, name);
    if (!control) message = JoinTexts({"unknown edit box: ", name});
    command.control = control.value_or(Ctl{});
    command.text = text;
    return control.has_value();
  }
  if (word == "click") {
    command.kind = C::kClick;
    const std::optional<Ctl> control = Lookup(kClickable, args);
    if (!control) message = JoinTexts({"unknown control to click: ", args});
    command.control = control.value_or(Ctl{});
    return control.has_value();
  }
  if (word == "key") {
    command.kind = args == "Esc" ? C::kEsc : C::kEnter;
    if (args != "Enter" && args != "Esc") message = JoinTexts({"unknown key: ", args, " (Enter or Esc)"});
    return args == "Enter" || args == "Esc";
  }
  if (word == "answer") {
    command.kind = C::kAnswer;
    command.answer = args == "cancel" ? BoxAnswer::kCancel : BoxAnswer::kOk;
    if (args != "ok" && args != "cancel") message = JoinTexts({"answer ok or answer cancel, not: ", args});
    return args == "ok" || args == "cancel";
  }
  if (word == "dump") {
    command.kind = args == "file" ? C::kDumpFile : C::kDumpFields;
    if (args != "fields" && args != "file") message = JoinTexts({"dump fields or dump file, not: ", args});
    return args == "fields" || args == "file";
  }
  if (word == "ini") {
    message = "ini after start";
    return false;
  }
  message = JoinTexts({"unknown command: ", word});
  return false;
}

void Ignore(SimWorld& world, const ScenarioCommand& command) {
  world.Record(JoinTexts({"ignored ", command.source}));
}

// A user action on the window of the newest running copy.
void UserAction(SimWorld& world, const ScenarioCommand& command) {
  SimProcess* process = world.WindowProcess();
  bool taken = false;
  if (process) {
    switch (command.kind) {
      case ScenarioCommand::kType:
        taken = process->UserType(command.control, command.text);
        break;
      case ScenarioCommand::kClick:
        taken = process->UserClick(command.control);
        break;
      case ScenarioCommand::kEnter:
        taken = process->UserEnter();
        break;
      default:  // Esc and the close box both send the close request
        taken = process->UserClose();
        break;
    }
  }
  if (!taken) Ignore(world, command);
}

void DumpFields(SimWorld& world, const ScenarioCommand& command) {
  const SimProcess* process = world.WindowProcess();
  if (!process) return Ignore(world, command);
  for (const NamedControl& field : kEditBoxes) {
    const Text text = process->ControlText(field.id).value_or(Text());
    world.Record(JoinTexts({"field ", field.name, text.empty() ? "" : " ", text}));
  }
}

void DumpFile(SimWorld& world) {
  const std::optional<Text> content = world.File(kSimSettingsPath);
  if (!content) return world.Record("nofile");
  size_t begin = 0;
  while (begin < content->size()) {
    size_t end = content->find("\r\n", begin);
    if (end == Text::npos) end = content->size();
    Text line;
    for (size_t i = begin; i < end; ++i) {
      const char c = (*content)[i];
      line += c == '\r' ? "\\r" : c == '\n' ? "\\n" : Text(1, c);
    }
    world.Record(JoinTexts({"file ", line}));
    begin = end + 2;
  }
}

}  // namespace

bool ParseScenario(std::string_view text, Scenario& scenario, ScenarioError& error) {
  scenario = Scenario();
  bool started = false;
  int lineNumber = 0;
  size_t begin = 0;
  while (begin <= text.size()) {
    size_t end = text.find('\n', begin);
    if (end == std::string_view::npos) end = text.size();
    const std::string_view raw = text.substr(begin, end - begin);
    begin = end + 1;
    ++lineNumber;
    const std::string_view line = TrimBoth(StripComment(raw));
    if (line.empty()) continue;

    std::string_view rest;
    if (FirstWord(line, rest) == "ini" && !started) {
      scenario.iniLines.emplace_back(rest);
      continue;
    }
    ScenarioCommand command{};
    command.line = lineNumber;
    command.source = line;
    Text message;
    if (!ParseCommand(line, command, message)) {
      error = {lineNumber, message};
      return false;
    }
    if (command.kind == ScenarioCommand::kStart && started) {
      error = {lineNumber, "start given twice (another-copy starts a further copy)"};
      return false;
    }
    if (command.kind == ScenarioCommand::kAnotherCopy && !started) {
      error = {lineNumber, "another-copy before start"};
      return false;
    }
    started = started || command.kind == ScenarioCommand::kStart;
    scenario.commands.push_back(command);
  }
  return true;
}

void PlayScenario(SimWorld& world, const Scenario& scenario,
                  const std::function<void(SimProcess&)>& runCopy) {
  if (!scenario.iniLines.empty()) {
    Text content = world.File(kSimSettingsPath).value_or(Text());
    for (const Text& line : scenario.iniLines) content += line + "\r\n";
    world.SetFile(kSimSettingsPath, content);
  }
  using C = ScenarioCommand;
  int64_t at = world.Now();
  for (const ScenarioCommand& command : scenario.commands) {
    switch (command.kind) {
      case C::kClock:
        world.At(at, [&world, clock = command.clock] { world.SetClock(clock); });
        break;
      case C::kStart:
        world.At(at, [&world, &runCopy] { runCopy(world.NewProcess()); });
        break;
      case C::kAnotherCopy:
        world.At(at, [&world, &runCopy] { runCopy(world.NewProcess("copy")); });
        break;
      case C::kType:
      case C::kClick:
      case C::kEnter:
      case C::kEsc:
      case C::kClose:
        world.At(at, [&world, command] { UserAction(world, command); });
        break;
      case C::kLogoff:
        world.At(at, [&world] {
          const bool allowed = world.QueryEndSession();
          if (world.Stopped()) return;
          world.Record(allowed ? "logoff allowed" : "logoff refused");
          if (allowed) world.PowerOff();  // the session ends with every program in it
        });
        break;
      case C::kHotkey:
        world.At(at, [&world] {
          world.SetKeyDown(kVkControl, true);
          world.SetKeyDown(kVkF12, true);
        });
        at += command.duration;
        world.At(at, [&world] {
          world.SetKeyDown(kVkF12, false);
          world.SetKeyDown(kVkControl, false);
        });
        break;
      case C::kAdvance:
        at += command.duration;
        break;
      case C::kAnswer:
        world.At(at, [&world, command] {
          if (!world.AnswerNewestBox(command.answer)) Ignore(world, command);
        });
        break;
      case C::kPowerOffFails:
        world.At(at, [&world] { world.SetPowerOffFails(true); });
        break;
      case C::kSaveFails:
        world.At(at, [&world] { world.SetProfileWritesFail(true); });
        break;
      case C::kDumpFields:
        world.At(at, [&world, command] { DumpFields(world, command); });
        break;
      case C::kDumpFile:
        world.At(at, [&world] { DumpFile(world); });
        break;
    }
  }
  world.RunFor(at - world.Now());
}

std::vector<Text> FormatRecords(const SimWorld& world) {
  std::vector<Text> lines;
  for (const SimRecord& r : world.Records())
    lines.push_back(JoinTexts({SimWorld::FormatTimeOfDay(r.wallMs), " ", r.text}));
  return lines;
}
