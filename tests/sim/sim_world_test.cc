// The rules of the simulated platform: timers, event order, modal question boxes, the message loop,
// the clock, the keyboard and the window list, checked with a small form and a recording event sink.
#include "platform/sim/sim_world.h"

#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "platform/sim/sim_process.h"

namespace {

const FormSpec& TestForm() {
  using K = ControlKind;
  static const FormSpec form{
      0x52010003,
      "Test Window",
      200,
      100,
      {
          {Ctl::编辑框1, K::kEdit, 10, 10, 40, 20, "", "时", true, true},
          {Ctl::按钮2, K::kButton, 60, 40, 80, 30, "Quit", "", true, true},
          {Ctl::按钮1, K::kButton, 60, 10, 80, 30, "OK", "", true, true, true},
          {Ctl::透明标签1, K::kTransparentLabel, 100, 80, 60, 12, "link", ""},
          {Ctl::标签6, K::kLabel, 0, 0, 80, 24, "2000年1月1日", "0秒", false},
          {Ctl::时钟1, K::kTimer, 0, 0, 26, 26, "", "", false, false, false, 1},
          {Ctl::时钟2, K::kTimer, 0, 0, 26, 26, "", "", false, false, false, 0},
          {Ctl::时钟3, K::kTimer, 0, 0, 26, 26, "", "", false, false, false, 0},
      },
      {Ctl::编辑框1, Ctl::按钮1, Ctl::按钮2},
  };
  return form;
}

std::string Name(Ctl c) {
  switch (c) {
    case Ctl::按钮1:
      return "button1";
    case Ctl::按钮2:
      return "button2";
    case Ctl::透明标签1:
      return "link";
    case Ctl::时钟1:
      return "timer1";
    case Ctl::时钟2:
      return "timer2";
    case Ctl::时钟3:
      return "timer3";
    default:
      return "control";
  }
}

// Logs every event as "TIME EVENT" and runs the hook a test gives it.
class Recorder : public WindowEvents {
 public:
  explicit Recorder(SimWorld& world) : world_(world) {}
  void Log(const std::string& what) { log.push_back(std::to_string(world_.Now()) + " " + what); }

  void Created() override {
    Log("created");
    Run(onCreated);
  }
  void Activated() override {
    Log("activated");
    Run(onActivated);
  }
  void Hidden() override {
    Log("hidden");
    Run(onHidden);
  }
  bool CloseQuery() override {
    Log("close query");
    return onCloseQuery ? onCloseQuery() : false;
  }
  void Destroyed() override { Log("destroyed"); }
  void Clicked(Ctl button) override {
    Log("clicked " + Name(button));
    if (onClicked) onClicked(button);
  }
  std::optional<bool> LeftButtonDown(Ctl control, int x, int y, int keyFlags) override {
    Log("press " + Name(control) + " " + std::to_string(x) + "," + std::to_string(y) + " " +
        std::to_string(keyFlags));
    return pressResult;
  }
  void Tick(Ctl timer) override {
    Log("tick " + Name(timer));
    if (onTick) onTick(timer);
  }

  std::vector<std::string> log;
  std::function<void()> onCreated, onActivated, onHidden;
  std::function<bool()> onCloseQuery;
  std::function<void(Ctl)> onClicked, onTick;
  std::optional<bool> pressResult;

 private:
  static void Run(const std::function<void()>& hook) {
    if (hook) hook();
  }
  SimWorld& world_;
};

class SimTest : public ::testing::Test {
 protected:
  void Load() { ASSERT_TRUE(process.LoadWindow(TestForm(), events)); }
  // The log without the lines of one kind of event, so that a test sees only what it is about.
  std::vector<std::string> LogWithout(const std::string& noise) const {
    std::vector<std::string> kept;
    for (const std::string& line : events.log) {
      if (line.find(noise) == std::string::npos) kept.push_back(line);
    }
    return kept;
  }

  SimWorld world;
  SimProcess& process = world.NewProcess();
  Recorder events{world};
};

TEST_F(SimTest, LoadWindowRaisesCreatedThenActivatedInsideTheShow) {
  bool visibleInCreated = true, visibleInActivated = false;
  events.onCreated = [&] { visibleInCreated = process.IsVisible(); };
  events.onActivated = [&] {
    visibleInActivated = process.IsVisible();
    process.WritePeriod(Ctl::时钟1, 0);
  };
  Load();
  EXPECT_EQ(events.log, (std::vector<std::string>{"0 created", "0 activated"}));
  EXPECT_FALSE(visibleInCreated);
  EXPECT_TRUE(visibleInActivated);
  EXPECT_EQ(world.RecordTexts(), std::vector<Text>{"shown"});
  // The timer with the stored period ran from its creation, but the activated action stopped it first.
  world.RunFor(1000);
  EXPECT_EQ(events.log.size(), 2u);
}

TEST_F(SimTest, StoredPeriodRunsFromCreation) {
  Load();
  EXPECT_EQ(process.Period(Ctl::时钟1), 1);
  EXPECT_EQ(process.NextTick(Ctl::时钟1), 10);
  EXPECT_EQ(process.NextTick(Ctl::时钟2), std::nullopt);
  world.RunFor(25);
  EXPECT_EQ(events.log,
            (std::vector<std::string>{"0 created", "0 activated", "10 tick timer1", "20 tick timer1"}));
}

struct PeriodCase {
  std::vector<std::pair<int64_t, int32_t>> writes;  // (virtual time, period) for 时钟2
  std::optional<int32_t> writeInFirstTick;
  int64_t runFor;
  std::vector<int64_t> ticks;
  int32_t finalPeriod;
};

TEST(SimTimers, PeriodWritesFollowTheTimerRules) {
  const std::vector<PeriodCase> cases = {
      {{{0, 1}}, std::nullopt, 35, {10, 20, 30}, 1},                       // below 10 ms ticks every 10 ms
      {{{0, 9}}, std::nullopt, 25, {10, 20}, 9},                           // ... and 9 as well
      {{{0, 1000}, {500, 1000}}, std::nullopt, 2500, {1000, 2000}, 1000},  // the same period keeps the rhythm
      {{{0, 1000}, {500, 700}}, std::nullopt, 2500, {1200, 1900}, 700},  // a new one restarts from the write
      {{{0, 1000}, {500, -5}}, std::nullopt, 2500, {}, 0},               // negative stops as 0
      {{{0, 0}}, std::nullopt, 100, {}, 0},                              // 0 on a stopped timer: nothing
      {{{0, 1}}, 1000, 2500, {10, 1010, 2010}, 1000},                    // 1, then 1000 inside the first tick
      {{{0, 1000}, {1000, 1000}},
       std::nullopt,
       2500,
       {1000, 2000},
       1000},  // a write due with a tick: input first
      {{{0, 1000}, {1000, 500}}, std::nullopt, 2500, {1500, 2000, 2500}, 500},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const PeriodCase& c = cases[i];
    SimWorld world;
    SimProcess& process = world.NewProcess();
    Recorder events(world);
    events.onActivated = [&] { process.WritePeriod(Ctl::时钟1, 0); };
    std::vector<int64_t> ticks;
    events.onTick = [&](Ctl timer) {
      if (timer != Ctl::时钟2) return;
      ticks.push_back(world.Now());
      if (ticks.size() == 1 && c.writeInFirstTick) process.WritePeriod(Ctl::时钟2, *c.writeInFirstTick);
    };
    ASSERT_TRUE(process.LoadWindow(TestForm(), events));
    for (const auto& [time, period] : c.writes) {
      world.At(time, [&process, period = period] { process.WritePeriod(Ctl::时钟2, period); });
    }
    world.RunFor(c.runFor);
    EXPECT_EQ(ticks, c.ticks) << "case " << i;
    EXPECT_EQ(process.Period(Ctl::时钟2), c.finalPeriod) << "case " << i;
    EXPECT_FALSE(world.Halted()) << "case " << i;
  }
}

TEST_F(SimTest, VisibilityWritesRaiseTheirEventsInsideTheWrite) {
  events.onActivated = [&] { process.WritePeriod(Ctl::时钟1, 0); };
  Load();
  events.log.clear();
  process.SetVisible(false);  // visible: hidden comes inside
  events.Log("after hide");
  process.SetVisible(false);  // already invisible: nothing
  events.Log("after second hide");
  process.SetVisible(true);  // shows and activates inside
  events.Log("after show");
  process.SetVisible(true);  // visible and active: nothing
  events.Log("after second show");
  EXPECT_EQ(events.log, (std::vector<std::string>{"0 hidden", "0 after hide", "0 after second hide",
                                                  "0 activated", "0 after show", "0 after second show"}));
  EXPECT_EQ(world.RecordTexts(), (std::vector<Text>{"shown", "hidden", "shown"}));
}

TEST_F(SimTest, TicksKeepComingInsideAModalBox) {
  int32_t result = -1;
  int64_t closedAt = 0;
  bool clickTaken = true, enabledInBox = true;
  int pollsInBox = 0;
  events.onTick = [&](Ctl timer) {
    if (timer != Ctl::时钟1) return;
    process.WritePeriod(Ctl::时钟1, 0);
    process.WritePeriod(Ctl::时钟2, 100);
    result = process.ShowMessageBox("question?", 33, Text("关机"));
    closedAt = world.Now();
  };
  Load();  // 时钟1 keeps its stored period: its first tick at 10 opens the box
  process.SetThreadTimer(0, [&] {
    if (world.OpenBoxCount() > 0) ++pollsInBox;
  });
  world.ScriptAnswer(BoxAnswer::kCancel, 1000);
  world.At(500, [&] {
    enabledInBox = process.Enabled();
    clickTaken = process.UserClick(Ctl::按钮1);
  });
  world.RunFor(1050);
  EXPECT_EQ(result, kBoxCancel);
  EXPECT_EQ(closedAt, 1010);
  EXPECT_FALSE(enabledInBox);
  EXPECT_FALSE(clickTaken);
  EXPECT_TRUE(process.Enabled());
  // 时钟2, armed at 10 inside the tick, ticked at 110, 210, ... 910 while the box waited; the thread
  // timer at 10, 20, ... 1000. At 1010 the answer, an input, comes before the ticks due then.
  int timer2InBox = 0;
  for (const std::string& line : events.log) {
    if (line.find("tick timer2") != std::string::npos && std::stoll(line) < 1010) ++timer2InBox;
  }
  EXPECT_EQ(timer2InBox, 9);
  EXPECT_EQ(pollsInBox, 100);
  ASSERT_EQ(world.Boxes().size(), 1u);
  EXPECT_EQ(world.Boxes()[0].flags, 33 + 0x2000);
  EXPECT_EQ(world.RecordTexts(),
            (std::vector<Text>{"shown", "question 关机 0x21 question?", "answered cancel"}));
}

struct BoxCase {
  int32_t style;
  std::optional<Text> title;
  BoxAnswer answer;
  int32_t result;
  int32_t flags;
  const char* record;
  bool enabledWhileOpen;
};

TEST(SimBoxes, StylesTitlesAndResults) {
  const std::vector<BoxCase> cases = {
      {48, std::nullopt, BoxAnswer::kOk, 0, 0x2030, "question 信息： 0x30 a\\nb", false},
      {48, std::nullopt, BoxAnswer::kCancel, 0, 0x2030, "question 信息： 0x30 a\\nb",
       false},  // OK alone: Esc is OK
      {49, Text("警告"), BoxAnswer::kOk, 0, 0x2031, "question 警告 0x31 a\\nb", false},
      {49, Text("警告"), BoxAnswer::kCancel, 1, 0x2031, "question 警告 0x31 a\\nb", false},
      {0x1030, std::nullopt, BoxAnswer::kOk, 0, 0x1030, "question 信息： 0x1030 a\\nb",
       true},  // system modal
      {0x50021, Text("关机"), BoxAnswer::kCancel, 1, 0x52021, "question 关机 0x50021 a\\nb", false},
  };
  for (size_t i = 0; i < cases.size(); ++i) {
    const BoxCase& c = cases[i];
    SimWorld world;
    SimProcess& process = world.NewProcess();
    Recorder events(world);
    ASSERT_TRUE(process.LoadWindow(TestForm(), events));
    int32_t result = -1;
    bool enabled = !c.enabledWhileOpen;
    world.At(0, [&] { result = process.ShowMessageBox("a\r\nb", c.style, c.title); });
    world.At(20, [&] { enabled = process.Enabled(); });
    world.ScriptAnswer(c.answer, 50);
    world.RunFor(100);
    EXPECT_EQ(result, c.result) << "case " << i;
    ASSERT_EQ(world.Boxes().size(), 1u) << "case " << i;
    EXPECT_EQ(world.Boxes()[0].flags, c.flags) << "case " << i;
    EXPECT_EQ(world.Boxes()[0].closedAt, 50) << "case " << i;
    EXPECT_EQ(world.RecordTexts().at(1), c.record) << "case " << i;
    EXPECT_EQ(enabled, c.enabledWhileOpen) << "case " << i;
  }
}

TEST_F(SimTest, ABoxGivesTheActivationBackToTheWindowThatHadIt) {
  events.onActivated = [&] { process.WritePeriod(Ctl::时钟1, 0); };
  Load();
  world.At(100, [&] { process.ShowMessageBox("visible", 49, Text("警告")); });
  world.ScriptAnswer(BoxAnswer::kCancel, 100);
  world.At(300, [&] { process.SetVisible(false); });
  world.At(400, [&] { process.ShowMessageBox("hidden", 49, Text("警告")); });
  world.ScriptAnswer(BoxAnswer::kOk, 100);
  world.RunFor(600);
  EXPECT_EQ(LogWithout("tick"),
            (std::vector<std::string>{"0 created", "0 activated", "200 activated", "300 hidden"}));
  EXPECT_FALSE(process.Active());
}

TEST_F(SimTest, DestroyComesAfterTheActionAndEndsTheLoop) {
  events.onActivated = [&] { process.WritePeriod(Ctl::时钟1, 0); };
  events.onClicked = [&](Ctl) {
    process.RequestWindowDestroy();
    events.Log("requested");
  };
  int exitActions = 0;
  process.SetExitAction([&] { ++exitActions; });
  Load();
  world.At(100, [&] { EXPECT_TRUE(process.UserClick(Ctl::按钮1)); });
  world.At(200, [&] { ADD_FAILURE() << "the loop should have ended at 100"; });
  process.RunMessageLoop();
  EXPECT_EQ(world.Now(), 100);
  EXPECT_EQ(events.log, (std::vector<std::string>{"0 created", "0 activated", "100 press button1 40,15 0",
                                                  "100 clicked button1", "100 requested", "100 destroyed"}));
  EXPECT_FALSE(process.WindowLoaded());
  EXPECT_EQ(world.FirstTopLevelWindow(), 0u);
  process.EndProgram(0);
  process.EndProgram(0);
  EXPECT_EQ(exitActions, 1);
  EXPECT_EQ(process.ExitCode(), 0);
  EXPECT_EQ(world.RecordTexts(), (std::vector<Text>{"shown", "exit 0"}));
}

TEST_F(SimTest, TiesGoPostedThenInputThenTimers) {
  events.onActivated = [&] { process.WritePeriod(Ctl::时钟1, 0); };
  Load();
  process.SetThreadTimer(100, [&] { events.Log("thread timer A"); });
  process.SetThreadTimer(100, [&] { events.Log("thread timer B"); });
  world.At(100, [&] {
    events.Log("input A");
    process.RequestWindowDestroy();
  });
  world.At(100, [&] { events.Log("input B"); });
  world.RunFor(100);  // up to and including 100
  EXPECT_EQ(events.log,
            (std::vector<std::string>{"0 created", "0 activated", "100 input A", "100 destroyed",
                                      "100 input B", "100 thread timer A", "100 thread timer B"}));
}

TEST_F(SimTest, CloseQueryDecidesTheCloseAndTheLogoff) {
  events.onActivated = [&] { process.WritePeriod(Ctl::时钟1, 0); };
  Load();
  bool allow = false;
  events.onCloseQuery = [&] { return allow; };
  EXPECT_FALSE(world.QueryEndSession());
  EXPECT_TRUE(process.UserClose());
  EXPECT_TRUE(process.WindowLoaded());  // refused: the window stays
  allow = true;
  EXPECT_TRUE(world.QueryEndSession());
  EXPECT_TRUE(process.WindowLoaded());  // a granted query does not itself close anything
  EXPECT_TRUE(process.UserClose());
  EXPECT_FALSE(process.WindowLoaded());  // granted: destroyed inside the close
  EXPECT_EQ(LogWithout("tick"),
            (std::vector<std::string>{"0 created", "0 activated", "0 close query", "0 close query",
                                      "0 close query", "0 close query", "0 destroyed"}));
}

TEST_F(SimTest, UserInputReachesOnlyAVisibleEnabledWindow) {
  events.onActivated = [&] { process.WritePeriod(Ctl::时钟1, 0); };
  Load();
  world.SetKeyDown(0x11, true);
  EXPECT_TRUE(process.UserClick(Ctl::透明标签1));
  EXPECT_TRUE(process.UserEnter());  // the default button, whatever the order of the buttons
  EXPECT_TRUE(process.UserType(Ctl::编辑框1, "22"));
  EXPECT_EQ(process.ReadText(Ctl::编辑框1), "22");
  events.pressResult = false;
  EXPECT_TRUE(process.UserClick(Ctl::按钮2));  // a press dropped by its action never clicks
  process.SetVisible(false);
  EXPECT_FALSE(process.UserType(Ctl::编辑框1, "23"));
  EXPECT_FALSE(process.UserClick(Ctl::按钮1));
  EXPECT_FALSE(process.UserEnter());
  EXPECT_FALSE(process.UserClose());
  EXPECT_EQ(process.ReadText(Ctl::编辑框1), "22");
  EXPECT_EQ(LogWithout("tick"),
            (std::vector<std::string>{"0 created", "0 activated", "0 press link 30,6 1", "0 clicked button1",
                                      "0 press button2 40,15 1", "0 hidden"}));
}

TEST_F(SimTest, HaltingStopsEveryLoopAndEveryPort) {
  events.onActivated = [&] { process.WritePeriod(Ctl::时钟1, 0); };
  Load();
  int32_t result = -1;
  world.At(50, [&] { result = process.ShowMessageBox("never answered", 49, Text("警告")); });
  world.RunFor(1000);  // the box's loop is still running at the end: the world halts
  EXPECT_TRUE(world.Halted());
  EXPECT_EQ(world.Now(), 1000);
  EXPECT_EQ(result, 0);
  EXPECT_FALSE(world.Boxes()[0].answer);
  const size_t records = world.Records().size();
  EXPECT_EQ(process.ShowMessageBox("after the end", 48, std::nullopt), 0);
  EXPECT_FALSE(process.ShutDownSystem(1, true));
  process.EndProgram(0);
  EXPECT_EQ(world.Records().size(), records);
  EXPECT_EQ(world.OpenBoxCount(), 0u);
}

TEST_F(SimTest, HaltAfterBoundsAMessageLoopRunOnItsOwn) {
  Load();  // 时钟1 keeps ticking: the loop always has something to do
  world.HaltAfter(500);
  process.RunMessageLoop();
  EXPECT_TRUE(world.Halted());
  EXPECT_EQ(world.Now(), 500);
  EXPECT_TRUE(process.WindowLoaded());
}

TEST_F(SimTest, RunForWithoutAnOpenLoopJustStops) {
  events.onActivated = [&] { process.WritePeriod(Ctl::时钟1, 0); };
  Load();
  world.RunFor(5000);
  world.RunFor(5000);
  EXPECT_FALSE(world.Halted());
  EXPECT_EQ(world.Now(), 10000);
}

TEST_F(SimTest, PowerOffEndsEverythingUnlessItFails) {
  events.onActivated = [&] { process.WritePeriod(Ctl::时钟1, 0); };
  Load();
  bool accepted = true;
  events.onTick = [&](Ctl timer) {
    if (timer == Ctl::时钟2) accepted = process.ShutDownSystem(1, true);
  };
  world.SetPowerOffFails(true);
  world.At(0, [&] {
    process.WritePeriod(Ctl::时钟2, 1000);
    process.ShowMessageBox("q", 33, Text("关机"));
  });
  world.At(1500, [&] {
    EXPECT_FALSE(accepted);  // the refused request changed nothing: the box still waits
    EXPECT_EQ(world.OpenBoxCount(), 1u);
    world.SetPowerOffFails(false);
  });
  world.At(2500, [&] { ADD_FAILURE() << "nothing happens after the power-off"; });
  world.RunFor(3000);
  EXPECT_TRUE(accepted);
  EXPECT_TRUE(world.PoweredOff());
  EXPECT_EQ(world.Now(), 2000);
  EXPECT_EQ(world.RecordTexts(),
            (std::vector<Text>{"shown", "question 关机 0x21 q", "poweroff", "poweroff"}));
  process.EndProgram(0);
  EXPECT_EQ(world.Records().size(), 4u);  // a process of a machine that is off records no exit
}

TEST(SimClock, WallClockRunsWithVirtualTimeAndCanJump) {
  SimWorld world;
  auto time = [&] {
    const CivilTime t = world.LocalTime();
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                  t.minute, t.second);
    return std::string(buffer);
  };
  EXPECT_EQ(time(), "2026-01-01 00:00:00");
  world.SetClock({2024, 2, 28, 23, 59, 59});
  world.RunFor(999);
  EXPECT_EQ(time(), "2024-02-28 23:59:59");  // whole seconds
  EXPECT_EQ(SimWorld::FormatTimeOfDay(world.WallMs()), "23:59:59.999");
  world.RunFor(1);
  EXPECT_EQ(time(), "2024-02-29 00:00:00");
  world.SetClock({2100, 2, 28, 23, 59, 59});  // a jump: virtual time stays
  EXPECT_EQ(world.Now(), 1000);
  world.RunFor(1000);
  EXPECT_EQ(time(), "2100-03-01 00:00:00");  // 2100 is no leap year
  world.SetClock({1999, 12, 31, 23, 59, 59});
  world.RunFor(86400 * 1000);
  EXPECT_EQ(time(), "2000-01-01 23:59:59");
}

TEST_F(SimTest, KeyStateAndWindowList) {
  events.onActivated = [&] { process.WritePeriod(Ctl::时钟1, 0); };
  const WindowHandle other = world.AddTopLevelWindow(Text(300, 'c'), "Other");
  Load();
  EXPECT_EQ(process.AsyncKeyState(0x7B), 0);
  world.SetKeyDown(0x7B, true);
  EXPECT_EQ(process.AsyncKeyState(0x7B), static_cast<int32_t>(0xFFFF8000u));
  world.SetKeyDown(0x7B, false);
  EXPECT_EQ(process.AsyncKeyState(0x7B), 0);

  // Newest first; a question box is a top-level window while it is open.
  std::vector<Text> titles;
  world.At(0, [&] { process.ShowMessageBox("x", 48, std::nullopt); });
  world.At(10, [&] {
    for (WindowHandle w = process.FirstTopLevelWindow(); w != 0; w = process.NextTopLevelWindow(w)) {
      titles.push_back(process.WindowTitle(w));
    }
  });
  world.ScriptAnswer(BoxAnswer::kOk, 20);
  world.RunFor(30);
  EXPECT_EQ(titles, (std::vector<Text>{"信息：", "Test Window", "Other"}));
  EXPECT_EQ(process.WindowClassName(other), Text(254, 'c'));  // a 255-byte buffer
  EXPECT_EQ(process.NextTopLevelWindow(process.FirstTopLevelWindow()), other);
}

TEST_F(SimTest, ThreadTimersRunWhateverTheWindowDoes) {
  events.onActivated = [&] { process.WritePeriod(Ctl::时钟1, 0); };
  Load();
  int ticks = 0;
  const uintptr_t id = process.SetThreadTimer(0, [&] { ++ticks; });
  EXPECT_NE(id, 0u);
  process.SetVisible(false);
  world.RunFor(1000);
  EXPECT_EQ(ticks, 100);
  process.KillThreadTimer(id);
  world.RunFor(1000);
  EXPECT_EQ(ticks, 100);
}

TEST_F(SimTest, AWindowServiceOnAGoneWindowIsFatal) {
  events.onActivated = [&] { process.WritePeriod(Ctl::时钟1, 0); };
  bool exitAction = false;
  process.SetExitAction([&] { exitAction = true; });
  Load();
  process.RequestWindowDestroy();
  world.RunFor(0);
  process.WriteText(Ctl::编辑框1, "x");
  EXPECT_TRUE(process.Ended());
  EXPECT_EQ(process.ExitCode(), 1);
  EXPECT_FALSE(exitAction);
  EXPECT_EQ(world.RecordTexts(), (std::vector<Text>{"shown", "fatal WriteText"}));
}

}  // namespace
