#include "scheduler/scheduler.h"

#include <gtest/gtest.h>

#include <climits>

#include "app/program.h"
#include "tests/unit/fake_ports.h"

namespace {

using Log = std::vector<std::string>;

class SchedulerTest : public ::testing::Test {
 protected:
  void SetFields(const Text& hour, const Text& minute, const Text& wait, const Text& span,
                 const Text& snooze) {
    ports.texts[Ctl::编辑框1] = hour;
    ports.texts[Ctl::编辑框2] = minute;
    ports.texts[Ctl::编辑框3] = wait;
    ports.texts[Ctl::编辑框4] = span;
    ports.texts[Ctl::编辑框5] = snooze;
  }
  void SetTime(int hour, int minute, int second) { ports.now = {2026, 3, 14, hour, minute, second}; }
  bool Offered(const Log& log) {
    for (const auto& line : log) {
      if (line.rfind("box ", 0) == 0) return true;
    }
    return false;
  }

  FakePorts ports;
  Scheduler scheduler{ports, ports};
};

TEST(SplitMinutes, ExactForEveryTotalUpToTheLastExactOne) {
  for (int32_t total = 0; total <= 256 * 60 + 4; ++total) {
    const HoursMinutes split = SplitMinutes(total, 0);
    ASSERT_EQ(split.hours, total / 60) << total;
    ASSERT_EQ(split.minutes, total % 60) << total;
  }
}

TEST(SplitMinutes, Cases) {
  struct Case {
    int32_t span, minute, hours, minutes;
  } cases[] = {
      {61, 0, 1, 1},       // the snap: (61/60 - 1) * 60 is 0.9999999999999964
      {20, 50, 1, 10},     // the minute adds to the span
      {40, 30, 1, 10},     //
      {120, -5, 2, 0},     // a negative minute counts as 0
      {-5, 0, 0, -5},      // negative totals stay below 60
      {59, 0, 0, 59},      //
      {15365, 0, 256, 4},  // past 256 hours the double arithmetic loses a minute
      {0, 0, 0, 0},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    const HoursMinutes split = SplitMinutes(cases[i].span, cases[i].minute);
    EXPECT_EQ(split.hours, cases[i].hours) << "case " << i;
    EXPECT_EQ(split.minutes, cases[i].minutes) << "case " << i;
  }
}

TEST_F(SchedulerTest, EmptyHourStopsTheCheckAndDoesNothingElse) {
  SetFields("", "30", "30", "120", "30");
  scheduler.CheckSchedule();
  EXPECT_EQ(ports.TakeLog(), (Log{"时钟1 0"}));
}

TEST_F(SchedulerTest, WhenTheQuestionIsOffered) {
  struct Case {
    const char* hour;
    const char* minute;
    const char* span;
    int h, m, s;
    bool offered;
  } cases[] = {
      {"22", "30", "120", 22, 29, 59, false},
      {"22", "30", "120", 22, 30, 0, true},  // both bounds inclusive
      {"22", "30", "120", 23, 30, 0, true},  // 22 + 2 capped to 23, minute 30
      {"22", "30", "120", 23, 30, 1, false},
      {"22", "0", "0", 22, 0, 0, true},  // a single second
      {"22", "0", "0", 22, 0, 1, false},
      {"10", "50", "20", 11, 10, 0, true},  // 50 + 20 minutes: one hour later at minute 10
      {"10", "50", "20", 11, 10, 1, false},
      {"22", "30", "abc", 22, 30, 0, true},  // no span: zero width
      {"22", "30", "abc", 22, 30, 1, false},
      {"22", "", "120", 22, 0, 0, true},  // empty minute reads as 22:00
      {"22", "", "120", 23, 0, 0, true},
      {"22", "", "120", 23, 0, 1, false},
      {"08", "5", "10", 8, 15, 0, true},
      {"08", "5", "10", 8, 15, 1, false},
      {"２２", "３０", "120", 22, 30, 0, true},  // full-width digits
      // A start that does not parse offers nothing, at any time of day.
      {"22", "-5", "120", 10, 0, 0, false},
      {"22", "-5", "120", 0, 0, 0, false},
      {"22.5", "30", "120", 10, 0, 0, false},
      {"24", "30", "120", 10, 0, 0, false},
      {"-1", "30", "120", 0, 0, 0, false},
      {"abc", "30", "120", 0, 0, 0, false},
      // The capped end before the start runs to the end of the day instead of closing the interval.
      {"23", "30", "40", 23, 29, 59, false},
      {"23", "30", "40", 23, 30, 0, true},
      {"23", "30", "40", 23, 59, 59, true},
      // Capped but not before the start: the end stays at 23 o'clock at the end minute.
      {"22", "50", "80", 23, 10, 0, true},
      {"22", "50", "80", 23, 10, 1, false},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    SetFields(cases[i].hour, cases[i].minute, "30", cases[i].span, "30");
    SetTime(cases[i].h, cases[i].m, cases[i].s);
    scheduler.CheckSchedule();
    EXPECT_EQ(Offered(ports.TakeLog()), cases[i].offered) << "case " << i;
  }
}

TEST_F(SchedulerTest, CheckComputesTheBoundsOnTheFixedDate) {
  SetFields("23", "30", "30", "40", "30");
  SetTime(12, 0, 0);
  scheduler.CheckSchedule();
  EXPECT_EQ(scheduler.globals().timeOfDayNow, MakeDateTime(2000, 1, 1, 12, 0, 0));
  EXPECT_EQ(scheduler.globals().targetTime, MakeDateTime(2000, 1, 1, 23, 30, 0));
  EXPECT_EQ(scheduler.globals().windowEndTime, MakeDateTime(2000, 1, 1, 23, 59, 59));
  EXPECT_EQ(ports.TakeLog(), (Log{"时钟1 1000"}));
}

constexpr char kEveningQuestion[] =
    "box 关机 0x50021 时间过22时30分0秒你要现在关机吗？\r\n30秒后自动关机！\r\n取消后，在30分钟内不会提示！";

TEST_F(SchedulerTest, QuestionAnsweredOkPowersOff) {
  SetFields("22", "30", "30", "120", "30");
  SetTime(22, 30, 5);
  ports.answerBox = [](const Text&) { return int32_t{kBoxOk}; };
  scheduler.CheckSchedule();
  EXPECT_EQ(ports.TakeLog(),
            (Log{"时钟1 1000", "时钟1 0", "时钟2 1", kEveningQuestion, "poweroff 1 forced", "时钟2 0"}));
}

TEST_F(SchedulerTest, QuestionCancelledStartsTheSnooze) {
  SetFields("22", "30", "30", "120", "17");
  SetTime(22, 30, 5);
  scheduler.CheckSchedule();
  const Log log = ports.TakeLog();
  ASSERT_EQ(log.size(), 6u);
  EXPECT_EQ((Log{log[4], log[5]}), (Log{"时钟2 0", "时钟3 1"}));
  EXPECT_EQ(scheduler.globals().countdown, 17);
}

TEST_F(SchedulerTest, FieldTextsGoIntoTheQuestionAsTyped) {
  SetFields("08", "05", "", "120", "abc");
  SetTime(8, 5, 0);
  scheduler.CheckSchedule();
  const Log log = ports.TakeLog();
  ASSERT_EQ(log.size(), 6u);
  EXPECT_EQ(log[3],
            "box 关机 0x50021 "
            "时间过08时05分0秒你要现在关机吗？\r\n秒后自动关机！\r\n取消后，在abc分钟内不会提示！");
}

TEST_F(SchedulerTest, CountdownRequestsPowerOffOnTheLastTick) {
  struct Case {
    const char* wait;
    int ticksToPowerOff;
  } cases[] = {{"3", 3}, {"1", 1}, {"0", 1}, {"", 1}, {"-4", 1}, {"2.9", 2}};
  for (size_t i = 0; i < std::size(cases); ++i) {
    ports.texts[Ctl::编辑框3] = cases[i].wait;
    scheduler.globals().countdown = TruncateToInt32(TextToNumber(cases[i].wait));
    for (int tick = 1; tick < cases[i].ticksToPowerOff; ++tick) {
      scheduler.CountdownTick();
      EXPECT_EQ(ports.TakeLog(), (Log{"时钟2 1000"})) << "case " << i << " tick " << tick;
    }
    scheduler.CountdownTick();
    EXPECT_EQ(ports.TakeLog(), (Log{"时钟2 1000", "时钟2 0", "poweroff 1 forced"})) << "case " << i;
  }
}

TEST_F(SchedulerTest, SnoozeRearmsTheCheckFromTickNPlusOneOn) {
  scheduler.globals().countdown = 2;  // a snooze of two minutes
  for (int tick = 1; tick <= 2; ++tick) {
    scheduler.SnoozeTick();
    EXPECT_EQ(ports.TakeLog(), (Log{"时钟3 60000"})) << tick;
  }
  for (int tick = 3; tick <= 4; ++tick) {
    scheduler.SnoozeTick();
    EXPECT_EQ(ports.TakeLog(), (Log{"时钟3 60000", "时钟1 1"})) << tick;
  }
}

TEST_F(SchedulerTest, CountsNeverWrapRoundFromTheLowestValue) {
  // A snooze or waiting time typed as -2147483648 stays negative however long the timers run.
  scheduler.globals().countdown = INT32_MIN;
  scheduler.SnoozeTick();
  EXPECT_EQ(ports.TakeLog(), (Log{"时钟3 60000", "时钟1 1"}));
  scheduler.CountdownTick();
  EXPECT_EQ(ports.TakeLog(), (Log{"时钟2 1000", "时钟2 0", "poweroff 1 forced"}));
  EXPECT_EQ(scheduler.globals().countdown, INT32_MIN);
}

TEST_F(SchedulerTest, NoSecondQuestionWhileOneIsOpen) {
  SetFields("22", "30", "30", "120", "30");
  SetTime(22, 30, 5);
  int boxes = 0;
  ports.answerBox = [&](const Text&) {
    ++boxes;
    // The window hidden by the hotkey while the question is open arms the check again.
    scheduler.globals().countdown = 12;
    scheduler.CheckSchedule();
    EXPECT_EQ(scheduler.globals().countdown, 12);
    return int32_t{kBoxCancel};
  };
  scheduler.CheckSchedule();
  EXPECT_EQ(boxes, 1);
  const Log log = ports.TakeLog();
  ASSERT_EQ(log.size(), 8u);
  EXPECT_EQ((Log{log[4], log[5]}), (Log{"时钟1 1000", "时钟1 0"}));  // the inner check stops checking
  EXPECT_FALSE(scheduler.globals().questionOpen);
}

TEST_F(SchedulerTest, LoadSettingsClampsHourAndMinuteAndKeepsFieldsForEmptyValues) {
  const Text file = "C:\\Tools\\配置.ini";
  scheduler.globals().configPath = file;
  struct Case {
    const char* hour;
    const char* minute;
    const char* shownHour;
    const char* shownMinute;
  } cases[] = {
      {"25", "75", "23", "59"},
      {"24", "60", "23", "59"},
      {"23.99999995", "59.99999991", "23", "59"},
      {"23.9999999", "59", "23.9999999", "59"},
      {"abc", "-5", "abc", "-5"},
      {"1e400", "", "23", "kept"},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    ports.texts[Ctl::编辑框2] = "kept";
    ports.profile[file + "|关机设置|小时"] = cases[i].hour;
    ports.profile[file + "|关机设置|分钟"] = cases[i].minute;
    scheduler.LoadSettings();
    EXPECT_EQ(ports.texts[Ctl::编辑框1], cases[i].shownHour) << "case " << i;
    EXPECT_EQ(ports.texts[Ctl::编辑框2], cases[i].shownMinute) << "case " << i;
    EXPECT_EQ(ports.profile[file + "|关机设置|小时"], cases[i].hour)
        << "the file keeps its value, case " << i;
  }
  ports.profile[file + "|关机设置|等待秒数"] = "45";
  scheduler.LoadSettings();
  EXPECT_EQ(ports.texts[Ctl::编辑框3], "45");
  EXPECT_EQ(ports.texts[Ctl::编辑框4], "120");  // missing key: the field keeps its text
}

TEST_F(SchedulerTest, SaveAndHideClampsWritesArmsHidesAndReloads) {
  scheduler.globals().configPath = "C:\\Tools\\配置.ini";
  SetFields("24", "", "30", "120", "30");
  ports.onHidden = [&] { ports.log.push_back("(hidden event)"); };
  scheduler.SaveAndHide();
  EXPECT_EQ(ports.TakeLog(),
            (Log{"text 编辑框1 23", "write 小时=23", "write 分钟=", "write 等待秒数=30",
                 "write 关机有效间隔=120", "write 下次提醒间隔=30", "时钟1 1", "hide", "(hidden event)",
                 "text 编辑框1 23", "text 编辑框3 30", "text 编辑框4 120", "text 编辑框5 30"}));
}

TEST_F(SchedulerTest, FailedSaveIsReportedAndTheTypedFieldsAreKept) {
  const Text file = "C:\\Tools\\配置.ini";
  scheduler.globals().configPath = file;
  ports.profile[file + "|关机设置|小时"] = "7";
  SetFields("22", "30", "30", "120", "30");
  ports.writesFail = true;
  scheduler.SaveAndHide();
  EXPECT_EQ(ports.TakeLog(),
            (Log{"write 小时=22", "write 分钟=30", "write 等待秒数=30", "write 关机有效间隔=120",
                 "write 下次提醒间隔=30", "box 警告 0x30 设置未能保存到配置文件：\r\nC:\\Tools\\配置.ini",
                 "时钟1 1", "hide"}));
  EXPECT_EQ(ports.texts[Ctl::编辑框1], "22");  // not reloaded from the file's 7
}

TEST_F(SchedulerTest, RegisteringTheSameNameReplacesTheRecord) {
  scheduler.RegisterHotkey({{0x11, 0x7B}, nullptr, "tovi"});
  scheduler.RegisterHotkey({{0x41}, nullptr, "other"});
  scheduler.RegisterHotkey({{0x12, 0x7A}, nullptr, "tovi"});
  const auto& list = scheduler.globals().hotkeyList;
  ASSERT_EQ(list.size(), 2u);
  EXPECT_EQ(list[0].keys, (std::vector<int32_t>{0x12, 0x7A}));
  EXPECT_EQ(list[1].name, "other");
  scheduler.RemoveHotkey();
  EXPECT_TRUE(scheduler.globals().hotkeyList.empty());
}

TEST_F(SchedulerTest, HotkeyActsOncePerPress) {
  int toggles = 0;
  scheduler.RegisterHotkey({{kVkControl, kVkF12}, [&](const Text&) { ++toggles; }, "tovi"});
  scheduler.StartHotkeyPolling(0);
  EXPECT_EQ(ports.TakeLog(), (Log{"kill thread timer 0", "thread timer 0"}));
  EXPECT_EQ(scheduler.globals().pollTimerId, 7u);

  struct Step {
    bool ctrl, f12;
    int togglesAfter;
  } steps[] = {
      {true, false, 0},  {false, true, 0},                    // one key alone does nothing
      {true, true, 1},   {true, true, 1},   {true, true, 1},  // held: acts once
      {false, true, 1},  {true, true, 2},                     // seen released, pressed again
      {false, false, 2}, {false, false, 2},
  };
  for (size_t i = 0; i < std::size(steps); ++i) {
    ports.keysDown[kVkControl] = steps[i].ctrl;
    ports.keysDown[kVkF12] = steps[i].f12;
    ports.pollRoutine();
    EXPECT_EQ(toggles, steps[i].togglesAfter) << "step " << i;
  }
}

TEST_F(SchedulerTest, ToggleFlipsVisibility) {
  scheduler.ToggleMainWindow("tovi");
  scheduler.ToggleMainWindow("tovi");
  EXPECT_EQ(ports.TakeLog(), (Log{"hide", "show"}));
}

TEST(FindRunningInstance, MatchesWholeClassNameOrTitle) {
  struct Case {
    std::vector<std::pair<Text, Text>> windows;
    WindowHandle found;
  } cases[] = {
      {{}, static_cast<WindowHandle>(-1)},
      {{{"Shell_TrayWnd", ""}, {"ZtMain", "Zentavo By：Morvil"}}, 2},
      {{{"Zentavo By：Morvil", "a browser page"}}, 1},
      {{{"X", "Zentavo By：Morvil - 记事本"}, {"X", "Zentavo By:Morvil"}}, static_cast<WindowHandle>(-1)},
      {{{"X", "Zentavo By：Morvil"}, {"Y", "Zentavo By：Morvil"}}, 1},
  };
  for (size_t i = 0; i < std::size(cases); ++i) {
    FakePorts ports;
    ports.windows = cases[i].windows;
    EXPECT_EQ(FindRunningInstance(ports, "Zentavo By：Morvil"), cases[i].found) << "case " << i;
  }
}

}  // namespace
