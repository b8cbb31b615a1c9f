// soak [--days N] [--seed S]: the program on the simulated platform over many virtual days of random use.
// Each day the clock is set to a time of that day (often shortly before the time the fields name), then a
// random user acts at random moments: types or pastes field texts (typed digits and minus signs,
// full-width, odd, huge, empty), saves, holds Ctrl+F12, answers questions (cancel snoozes), jumps the
// clock (forward, backward, across midnight), closes, logs off, makes saves or the power-off fail, starts
// a second copy. A power-off or the program's end closes the session; the next one boots a new world with
// the settings file kept. CheckedPlatform checks the rules at every call; the steps check what lies
// between calls. N defaults to $ZENTAVO_SOAK_DAYS, or 30; the same seed replays the same run.
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <deque>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include "app/program.h"
#include "platform/sim/profile_file.h"
#include "platform/sim/scenario.h"
#include "tests/soak/checked_platform.h"

namespace soak {
namespace {

constexpr int64_t kMsSecond = 1000, kMsMinute = 60 * kMsSecond, kMsHour = 60 * kMsMinute;
constexpr Ctl kFieldControls[5] = {Ctl::编辑框1, Ctl::编辑框2, Ctl::编辑框3, Ctl::编辑框4, Ctl::编辑框5};

class Random {
 public:
  explicit Random(uint64_t seed) : engine_(seed) {}
  // lo to hi, both included.
  int64_t Between(int64_t lo, int64_t hi) {
    return lo + static_cast<int64_t>(engine_() % static_cast<uint64_t>(hi - lo + 1));
  }
  bool Chance(int percent) { return Between(1, 100) <= percent; }
  template <typename T>
  const T& Pick(const std::vector<T>& items) {
    return items[static_cast<size_t>(Between(0, static_cast<int64_t>(items.size()) - 1))];
  }

 private:
  std::mt19937_64 engine_;  // fully specified by the standard: a seed replays on any library
};

// Days since 1899-12-30 to a civil date (proleptic Gregorian).
CivilTime CivilFromDayNumber(int64_t dayNumber, int secondOfDay) {
  const int64_t z = dayNumber - 25569 + 719468;  // days since 0000-03-01
  const int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const int64_t doe = z - era * 146097;
  const int64_t yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const int64_t doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const int64_t mp = (5 * doy + 2) / 153;
  const int64_t d = doy - (153 * mp + 2) / 5 + 1;
  const int64_t m = mp < 10 ? mp + 3 : mp - 9;
  const int64_t y = yoe + era * 400 + (m <= 2);
  return {static_cast<int32_t>(y),
          static_cast<int32_t>(m),
          static_cast<int32_t>(d),
          static_cast<int32_t>(secondOfDay / 3600),
          static_cast<int32_t>(secondOfDay / 60 % 60),
          static_cast<int32_t>(secondOfDay % 60)};
}

// Random field texts, as a user types or pastes them.
class TextMaker {
 public:
  explicit TextMaker(Random& random) : r_(random) {}

  // A text for the field: usually a plausible number, otherwise anything a paste can bring.
  Text Field(FieldIndex field) {
    const int64_t roll = r_.Between(1, 100);
    if (roll <= 55) return Plain(Plausible(field));
    if (roll <= 63) return FullWidth(Plain(Plausible(field)));
    if (roll <= 73) return Typed();
    if (roll <= 78) return Text();
    if (roll <= 88) return r_.Pick(Odd());
    if (roll <= 93) return r_.Pick(Int32Edges());
    if (roll <= 96) return Huge();
    return Soup();
  }

  // Hour and minute texts for a time of day.
  static Text Plain(int64_t n) { return std::to_string(n); }

  static Text FullWidth(const Text& ascii) {
    Text out;
    for (char c : ascii) {
      if (c >= '0' && c <= '9') {
        out += '\xA3';
        out += static_cast<char>(0xB0 + (c - '0'));
      } else if (c == '-') {
        out += "\xA3\xAD";
      } else {
        out += c;
      }
    }
    return out;
  }

 private:
  int64_t Plausible(FieldIndex field) {
    switch (field) {
      case kHour:
        return r_.Chance(90) ? r_.Between(0, 23) : r_.Between(-3, 30);
      case kMinute:
        return r_.Chance(90) ? r_.Between(0, 59) : r_.Between(-10, 99);
      case kWait:
        return r_.Chance(85) ? r_.Between(1, 40) : r_.Between(-5, 600);
      case kSpan:
        if (r_.Chance(10)) return r_.Between(15000, 200000);  // long enough for the one-minute shortfall
        return r_.Chance(85) ? r_.Between(0, 300) : r_.Between(-200, 2000);
      case kSnooze:
        return r_.Chance(85) ? r_.Between(0, 40) : r_.Between(-5, 1500);
    }
    return 0;
  }

  // What the integer filter lets through: digits and minus signs, anywhere.
  Text Typed() {
    Text out;
    const int64_t length = r_.Between(1, 6);
    for (int64_t i = 0; i < length; ++i)
      out += r_.Chance(20) ? '-' : static_cast<char>('0' + r_.Between(0, 9));
    return out;
  }

  // Pasted texts that each reading treats its own way.
  static const std::vector<Text>& Odd() {
    static const std::vector<Text> texts = {
        " 22",
        "22 ",
        "\t7",
        "22.5",
        "23.99999995",
        "23.9999999",
        "59.99999991",
        "24",
        "60",
        "75",
        "-1",
        "-0",
        "1e1",
        "1d1",
        "1e400",
        "-1e400",
        "1e-400",
        "2147483648",
        "4294967297",
        "-4294967297",
        "9e18",
        "1,000",
        "0x1A",
        "abc",
        "+7",
        ".5",
        "5.",
        "008",
        "100",
        "\"22\"",
        "'5'",
        "22;x",
        "\xA1\xA1"
        "22",                                // ideographic space
        "\xA3\xB2\xA3\xB2\xA3\xAE\xA3\xB5",  // full-width 22.5
        "1\xCA\xB1"
        "2\xB7\xD6"
        "3\xC3\xEB",                 // 1时2分3秒: the start text then reads 01:02:03
        "23:59:59\xC3\xEB",          // 23:59:59秒
        "\xB6\xFE\xCA\xAE\xB6\xFE",  // 二十二
        "30\xB7\xD6\xD6\xD3",        // 30分钟
        "[x]",
        "=",
        "a=b",
        "#",
        ";",
    };
    return texts;
  }

  // Numbers at the ends of the 32-bit range and just beyond, where counts wrap.
  static const std::vector<Text>& Int32Edges() {
    static const std::vector<Text> texts = {"2147483647",  "2147483648", "-2147483647", "-2147483648",
                                            "-2147483649", "4294967295", "4294967296",  "-4294967296"};
    return texts;
  }

  // Far longer than the profile read buffer, sometimes a number at its start.
  Text Huge() {
    const auto length = static_cast<size_t>(r_.Between(5000, 40000));
    Text out = r_.Chance(50) ? Plain(r_.Between(0, 59)) : Text();
    const char fill = r_.Chance(50) ? '9' : 'x';
    out.append(length, fill);
    return out;
  }

  // Printable ASCII and valid double-byte GBK characters; no line breaks (a single-line box holds none).
  Text Soup() {
    Text out;
    const int64_t length = r_.Between(1, 16);
    for (int64_t i = 0; i < length; ++i) {
      if (r_.Chance(50)) {
        out += static_cast<char>(r_.Between(0x20, 0x7E));
      } else {
        out += static_cast<char>(r_.Between(0x81, 0xFE));
        int64_t trail = r_.Between(0x40, 0xFD);
        if (trail >= 0x7F) ++trail;
        out += static_cast<char>(trail);
      }
    }
    return out;
  }

  Random& r_;
};

// Monotonic seconds, for the run's duration.
double Seconds() {
  timespec now{};
  clock_gettime(CLOCK_MONOTONIC, &now);
  return static_cast<double>(now.tv_sec) + static_cast<double>(now.tv_nsec) * 1e-9;
}

struct Options {
  int days = 30;
  uint64_t seed = 1;
};

class Soak {
 public:
  explicit Soak(const Options& options) : options_(options), random_(options.seed), texts_(random_) {}

  int Run() {
    const double began = Seconds();
    dayNumber_ = 46023;  // 2026-01-01
    while (day_ < options_.days) RunSession();
    const double seconds = Seconds() - began;
    std::printf("soak: seed %" PRIu64 ", %d days, %d sessions, %.1f virtual hours, %" PRId64
                " steps in %.1f s\n"
                "  questions %" PRId64 ", power-offs requested %" PRId64 " (%" PRId64
                " failed), cancels %" PRId64 ", saves %" PRId64 " (%" PRId64 " failed), loads %" PRId64
                "\n"
                "  schedule checks %" PRId64 " (%" PRId64 " that had to ask, %" PRId64
                " with two possible ends)\n"
                "  other boxes %" PRId64 ", clock jumps %" PRId64 ", hotkey presses %" PRId64
                ", texts typed %" PRId64 ", exits %" PRId64 ", log-offs %" PRId64 ", second copies %" PRId64
                "\n",
                options_.seed, day_, sessions_, static_cast<double>(virtualMs_) / kMsHour, steps_, seconds,
                counts_.questions, counts_.powerOffs, counts_.failedPowerOffs, cancels_, counts_.saves,
                counts_.failedSaves, counts_.loads, counts_.scheduleChecks, counts_.checksInside,
                counts_.checksAmbiguous, counts_.otherBoxes, clockJumps_, hotkeys_, typed_, exits_, logoffs_,
                copies_);
    // A run that never asked, never powered off or never saved has not tested what it claims to.
    if (options_.days >= 10 && (counts_.questions == 0 || counts_.powerOffs == 0 || cancels_ == 0 ||
                                counts_.saves == 0 || counts_.checksInside == 0)) {
      Fail("the run never reached one of: question, power-off, cancel, save, check inside the interval");
    }
    return 0;
  }

 private:
  // One boot of the machine: a fresh world with the settings file kept, the program started at once.
  void RunSession() {
    ++sessions_;
    SimWorld world;
    world_ = &world;
    world.SetClock(CivilFromDayNumber(dayNumber_, DayStartSecond()));
    if (random_.Chance(15)) file_ = HandEditedFile();
    if (file_) world.SetFile(kSimSettingsPath, *file_);
    world.SetPowerOffFails(random_.Chance(10));
    SimProcess& process = world.NewProcess();
    CheckedPlatform checked(world, process, counts_, [this](const std::string& m) { Fail(m); });
    process_ = &process;
    checked_ = &checked;
    copies_list_.clear();
    dayEndsAt_ = DayLength();
    world.At(0, [&] {
      Program program(checked);
      checked.EndProgram(program.Run());
    });
    world.At(1, [this] { Step(); });
    end_ = SessionEnd::kNone;
    world.RunFor(int64_t{1} << 50);

    if (world.PoweredOff()) end_ = SessionEnd::kPowerOff;
    if (end_ == SessionEnd::kNone) Fail("a session stopped by itself");
    virtualMs_ += world.Now();
    file_ = world.File(kSimSettingsPath);
    copies_list_.clear();
    world_ = nullptr;
    process_ = nullptr;
    checked_ = nullptr;
    if (end_ != SessionEnd::kDone) NextDayNumber();  // the machine is started again on a later day
  }

  // A settings file as someone might have edited it by hand: values out of range or not numbers, keys
  // missing or empty, odd lines, quotes, blanks around the equals sign, other sections.
  Text HandEditedFile() {
    Text content = random_.Chance(20) ? "[other]\r\n\xD0\xA1\xCA\xB1=5\r\n" : "";
    content +=
        random_.Chance(10) ? "[ \xB9\xD8\xBB\xFA\xC9\xE8\xD6\xC3 ]\r\n" : JoinTexts({"[", kSection, "]\r\n"});
    for (int i = 0; i < 5; ++i) {
      if (random_.Chance(15)) continue;
      const auto field = static_cast<FieldIndex>(i);
      Text value = random_.Chance(25) ? TextMaker::Plain(random_.Between(-100, 100)) : texts_.Field(field);
      if (random_.Chance(5)) value = JoinTexts({"\"", value, "\""});
      const char* equals = random_.Chance(10) ? " = " : "=";
      content += JoinTexts({kKeys[static_cast<size_t>(i)], equals, value, "\r\n"});
    }
    if (random_.Chance(10)) content += "garbage line\r\n;comment\r\n";
    return content;
  }

  void NextDayNumber() {
    ++day_;
    dayNumber_ += random_.Chance(90) ? 1 : random_.Between(2, 4);
  }

  int64_t DayLength() { return random_.Between(20, 150) * kMsMinute; }

  // Often shortly before the start time the saved fields name, so that questions come up.
  int DayStartSecond() {
    const std::optional<int> start = SavedStartSecond();
    if (start && random_.Chance(70)) {
      const int second = *start - static_cast<int>(random_.Between(0, 45 * 60));
      return second < 0 ? second + 86400 : second;
    }
    return static_cast<int>(random_.Between(0, 86399));
  }

  std::optional<int> SavedStartSecond() const {
    if (!file_) return std::nullopt;
    const Fields fields = AfterLoad(Fields{}, [&](const char* key) {
      return ReadProfileValue(*file_, kSection, key, 10240).value_or(Text());
    });
    return StartSecond(fields);
  }

  static std::optional<int> StartSecond(const Fields& fields) {
    if (fields[kHour].empty()) return std::nullopt;
    const auto start = reference::ParseTimeText(TimeText(fields[kHour], fields[kMinute]));
    if (!start) return std::nullopt;
    return reference::SecondOfDay(*start);
  }

  // One step of the user and the clock; the next one is scheduled first, since this one may open a
  // question box whose loop only a later step ends.
  void Step() {
    SimWorld& world = *world_;
    if (world.Stopped()) return;
    if (!process_->Running()) {
      if (process_->ExitCode() != 0) Fail("the program ended with a non-zero exit code");
      end_ = SessionEnd::kProgramEnded;
      world.Halt();
      return;
    }
    if (world.Now() >= dayEndsAt_) {
      NextDayNumber();
      if (day_ >= options_.days) {
        end_ = SessionEnd::kDone;
        world.Halt();
        return;
      }
      world.SetClock(CivilFromDayNumber(dayNumber_, DayStartSecond()));
      Trail("next day");
      dayEndsAt_ = world.Now() + DayLength();
    }
    ++steps_;
    world.After(NextDelay(), [this] { Step(); });
    Act();
    if (world.Stopped()) return;
    CheckBetweenCalls();
  }

  int64_t NextDelay() {
    if (world_->OpenBoxCount() > 0 && random_.Chance(80)) return random_.Between(10, 20 * kMsSecond);
    const int64_t roll = random_.Between(1, 100);
    if (roll <= 35) return random_.Between(10, kMsSecond);
    if (roll <= 75) return random_.Between(kMsSecond, 30 * kMsSecond);
    if (roll <= 95) return random_.Between(30 * kMsSecond, 5 * kMsMinute);
    return random_.Between(5 * kMsMinute, 40 * kMsMinute);
  }

  void Act() {
    SimWorld& world = *world_;
    const size_t openBoxes = world.OpenBoxCount();
    if (openBoxes > 0 && (openBoxes >= 3 || random_.Chance(40))) return Answer();
    const int64_t roll = random_.Between(1, 1000);
    if (roll <= 200) return Type();
    if (roll <= 260) return TypeSettingsNearNow();
    if (roll <= 360) return Save();
    if (roll <= 440) return Hotkey();
    if (roll <= 560) return JumpClock();
    if (roll <= 575) return Exit();
    if (roll <= 585) return Logoff();
    if (roll <= 590) return Click(Ctl::透明标签1, "click contact line");
    if (roll <= 595) return SecondCopy();
    if (roll <= 605) {
      const bool fail = random_.Chance(30);
      world.SetPowerOffFails(fail);
      return Trail(fail ? "power-off will fail" : "power-off will work");
    }
    if (roll <= 615) {
      const bool fail = random_.Chance(30);
      world.SetProfileWritesFail(fail);
      return Trail(fail ? "saves will fail" : "saves will work");
    }
    Trail("wait");
  }

  // Answers the innermost open box: a shutdown question mostly with cancel, the exit question mostly
  // with cancel, anything else with OK.
  void Answer() {
    const SimBoxRecord* newest = nullptr;
    for (const SimBoxRecord& box : world_->Boxes()) {
      if (!box.closedAt && !box.answer) newest = &box;
    }
    if (!newest) return Trail("answer: nothing open");
    const bool shutdown = newest->title == "关机", exit = newest->text == "即将关闭软件？";
    const bool ok = shutdown ? random_.Chance(25) : exit ? random_.Chance(10) : true;
    if (shutdown && !ok) ++cancels_;
    if (exit && ok) ++exits_;
    world_->AnswerNewestBox(ok ? BoxAnswer::kOk : BoxAnswer::kCancel);
    Trail(std::string("answer ") + (ok ? "ok" : "cancel") +
          (shutdown ? " (shutdown)"
           : exit   ? " (exit)"
                    : ""));
  }

  void Type() {
    const auto field = static_cast<FieldIndex>(random_.Between(0, 4));
    const Text text = texts_.Field(field);
    const bool taken = process_->UserType(kFieldControls[field], text);
    typed_ += taken;
    Trail("type field " + std::to_string(field + 1) + " " + Short(text) + (taken ? "" : " (not taken)"));
  }

  // The hour and minute of a time shortly ahead of (or just behind) the clock, a plausible wait, span and
  // snooze, then a save: the way a user sets up an evening.
  void TypeSettingsNearNow() {
    const CivilTime now = world_->LocalTime();
    int second = now.hour * 3600 + now.minute * 60 + static_cast<int>(random_.Between(-5 * 60, 40 * 60));
    second = (second + 86400) % 86400;
    const bool wide = random_.Chance(15);
    auto text = [&](int64_t n) {
      return wide ? TextMaker::FullWidth(TextMaker::Plain(n)) : TextMaker::Plain(n);
    };
    const Text values[5] = {text(second / 3600), text(second / 60 % 60), text(random_.Between(1, 40)),
                            text(random_.Chance(80) ? random_.Between(1, 180) : random_.Between(0, 1500)),
                            text(random_.Between(0, 35))};
    bool taken = true;
    for (int i = 0; i < 5; ++i) taken = process_->UserType(kFieldControls[i], values[i]) && taken;
    Trail("type settings " + Short(values[0]) + ":" + Short(values[1]) + (taken ? "" : " (not taken)"));
    if (taken) Save();
  }

  void Save() {
    if (random_.Chance(50)) return Click(Ctl::按钮1, "click save");
    const bool taken = process_->UserEnter();
    Trail(std::string("enter") + (taken ? "" : " (not taken)"));
  }

  void Click(Ctl control, const char* what) {
    const bool taken = process_->UserClick(control);
    Trail(std::string(what) + (taken ? "" : " (not taken)"));
  }

  // Ctrl+F12 held for a while; shorter than the poll period it may be missed.
  void Hotkey() {
    SimWorld& world = *world_;
    const int64_t hold = random_.Chance(10) ? random_.Between(1, 9) : random_.Between(20, 400);
    world.SetKeyDown(0x11, true);
    world.SetKeyDown(0x7B, true);
    world.After(hold, [&world] {
      world.SetKeyDown(0x7B, false);
      world.SetKeyDown(0x11, false);
    });
    ++hotkeys_;
    Trail("hotkey " + std::to_string(hold) + "ms");
  }

  void JumpClock() {
    SimWorld& world = *world_;
    const CivilTime now = world.LocalTime();
    const int64_t today = reference::DayNumber(now.year, now.month, now.day);
    const int64_t second = now.hour * 3600 + now.minute * 60 + now.second;
    int64_t target = today * 86400 + second;  // seconds since 1899-12-30
    const int64_t roll = random_.Between(1, 100);
    const char* kind;
    if (roll <= 30) {
      kind = "forward";
      target += random_.Between(1, 600);
    } else if (roll <= 45) {
      kind = "far forward";
      target += random_.Between(3600, 20 * 3600);
    } else if (roll <= 65) {
      kind = "backward";
      target -= random_.Between(1, 3 * 3600);
    } else if (roll <= 75) {
      kind = "to just before midnight";
      target = today * 86400 + 86400 - random_.Between(1, 120);
    } else if (roll <= 80) {
      kind = "across midnight, back";
      target = today * 86400 - random_.Between(1, 600);
    } else if (roll <= 95) {
      kind = "to just before the start";
      const std::optional<int> start = StartSecond(checked_->CurrentFields());
      target = today * 86400 + (start ? *start : second) - random_.Between(0, 90);
    } else {
      kind = "an hour either way";
      target += random_.Chance(50) ? 3600 : -3600;
    }
    const int64_t dayNumber = target >= 0 ? target / 86400 : (target - 86399) / 86400;
    world.SetClock(CivilFromDayNumber(dayNumber, static_cast<int>(target - dayNumber * 86400)));
    ++clockJumps_;
    Trail(std::string("clock ") + kind);
  }

  void Exit() {
    const int64_t roll = random_.Between(1, 3);
    if (roll == 1) return Click(Ctl::按钮2, "click exit");
    const bool taken = process_->UserClose();
    Trail(std::string(roll == 2 ? "close box" : "Esc") + (taken ? "" : " (not taken)"));
  }

  void Logoff() {
    ++logoffs_;
    Trail("log-off query");
    const bool allowed = world_->QueryEndSession();
    if (!world_->Stopped() && allowed && process_->Running() && process_->WindowLoaded()) {
      Fail("the log-off query was allowed while the program ran");
    }
  }

  // A second start: it finds the first copy's window, says so and ends.
  void SecondCopy() {
    if (!process_->WindowLoaded()) return Trail("second copy: no first window to find");
    ++copies_;
    Trail("second copy");
    SimProcess& copy = world_->NewProcess("copy");
    auto checked =
        std::make_unique<CheckedPlatform>(*world_, copy, counts_, [this](const std::string& m) { Fail(m); });
    CheckedPlatform& platform = *checked;
    copies_list_.push_back(std::move(checked));
    Program program(platform);
    platform.EndProgram(program.Run());
    if (!world_->Stopped() && copy.WindowLoaded()) Fail("a second copy loaded its window");
  }

  // What lies between calls: at most one shutdown question on the screen, and none past its waiting time
  // without a power-off request.
  void CheckBetweenCalls() {
    int open = 0;
    for (const SimBoxRecord& box : world_->Boxes()) open += box.title == "关机" && !box.closedAt;
    if (open > 1) Fail("two shutdown questions open at once");
    if (open != checked_->OpenShutdownQuestions())
      Fail("shutdown questions open on the screen and in the count differ");
    checked_->CheckOverdue();
  }

  static std::string Short(const Text& text) {
    std::string out;
    for (size_t i = 0; i < text.size() && i < 24; ++i) {
      const auto c = static_cast<unsigned char>(text[i]);
      char hex[8];
      std::snprintf(hex, sizeof hex, "\\x%02X", c);
      out += c >= 0x20 && c < 0x7F ? std::string(1, static_cast<char>(c)) : std::string(hex);
    }
    if (text.size() > 24) out += "...(" + std::to_string(text.size()) + ")";
    return "\"" + out + "\"";
  }

  void Trail(const std::string& what) {
    char head[64];
    const CivilTime t = world_->LocalTime();
    std::snprintf(head, sizeof head, "day %d step %" PRId64 " %02d:%02d:%02d ", day_, steps_, t.hour,
                  t.minute, t.second);
    trail_.push_back(head + what);
    if (trail_.size() > 40) trail_.pop_front();
  }

  [[noreturn]] void Fail(const std::string& message) {
    std::fprintf(stderr, "soak: FAILED (seed %" PRIu64 ", day %d, step %" PRId64 "): %s\nlast steps:\n",
                 options_.seed, day_, steps_, message.c_str());
    for (const std::string& line : trail_) std::fprintf(stderr, "  %s\n", line.c_str());
    std::fflush(stderr);
    std::fflush(stdout);
    std::_Exit(1);
  }

  Options options_;
  Random random_;
  TextMaker texts_;
  Counts counts_;

  enum class SessionEnd { kNone, kPowerOff, kProgramEnded, kDone };
  SessionEnd end_ = SessionEnd::kNone;
  int day_ = 0, sessions_ = 0;
  int64_t dayNumber_ = 0, steps_ = 0, virtualMs_ = 0, dayEndsAt_ = 0;
  int64_t cancels_ = 0, clockJumps_ = 0, hotkeys_ = 0, typed_ = 0, exits_ = 0, logoffs_ = 0, copies_ = 0;
  std::optional<Text> file_;
  std::deque<std::string> trail_;

  SimWorld* world_ = nullptr;
  SimProcess* process_ = nullptr;
  CheckedPlatform* checked_ = nullptr;
  std::vector<std::unique_ptr<CheckedPlatform>> copies_list_;
};

bool ParseCount(const char* text, uint64_t& value) {
  char* end = nullptr;
  const unsigned long long n = std::strtoull(text, &end, 10);
  if (end == text || *end != '\0') return false;
  value = n;
  return true;
}

}  // namespace
}  // namespace soak

int main(int argc, char** argv) {
  soak::Options options;
  uint64_t value = 0;
  if (const char* days = std::getenv("ZENTAVO_SOAK_DAYS"); days && soak::ParseCount(days, value)) {
    options.days = static_cast<int>(value);
  }
  for (int i = 1; i < argc; ++i) {
    const std::string arg = argv[i];
    if ((arg == "--days" || arg == "--seed") && i + 1 < argc && soak::ParseCount(argv[i + 1], value)) {
      if (arg == "--days") options.days = static_cast<int>(value);
      if (arg == "--seed") options.seed = value;
      ++i;
      continue;
    }
    std::fprintf(stderr, "usage: soak [--days N] [--seed S]   (N defaults to $ZENTAVO_SOAK_DAYS or 30)\n");
    return 2;
  }
  return soak::Soak(options).Run();
}
