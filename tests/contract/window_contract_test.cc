// The window-service rules every platform keeps: event order around loading, showing and hiding, timer
// periods and rhythm, ticks inside modal boxes, the close query and deferred destruction. The same
// bodies run on the simulated platform in virtual time and on the Windows one under Wine.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "tests/contract/harness.h"

namespace {

// A small window with the controls the rules need: an edit box, a label, a hidden label, a default
// button and three timers, the first of which starts with period 1.
const FormSpec& TestForm() {
  using K = ControlKind;
  static const FormSpec form{
      kMainWindowTemplateId,
      "Zentavo contract",
      271,
      150,
      {
          {Ctl::编辑框1, K::kEdit, 10, 10, 40, 20, "", "时", true, true},
          {Ctl::标签1, K::kLabel, 60, 8, 40, 24, "时", ""},
          {Ctl::按钮1, K::kButton, 160, 10, 80, 32, "设 置", "", true, true, true},
          {Ctl::标签6, K::kLabel, 0, 40, 80, 24, "2000年1月1日", "0秒", false},
          {Ctl::时钟1, K::kTimer, 128, 16, 26, 26, "", "", false, false, false, 1},
          {Ctl::时钟2, K::kTimer, 128, 56, 26, 26, "", "", false, false, false, 0},
          {Ctl::时钟3, K::kTimer, 168, 32, 26, 26, "", "", false, false, false, 0},
      },
      {Ctl::编辑框1, Ctl::按钮1},
  };
  return form;
}

constexpr char kBoxTitle[] = "契约测试";

struct Entry {
  std::string what;
  Ctl control;
  double at;
};

// Logs every event with the time it came and runs the test's action for it, if any.
class Recorder final : public WindowEvents {
 public:
  std::function<double()> clock = [] { return 0.0; };
  std::function<void()> onCreated, onActivated, onHidden;
  std::function<bool()> onCloseQuery = [] { return true; };
  std::function<void(Ctl)> onTick;
  std::vector<Entry> log;

  void Created() override { Run("created", onCreated); }
  void Activated() override { Run("activated", onActivated); }
  void Hidden() override { Run("hidden", onHidden); }
  bool CloseQuery() override {
    Add("closequery");
    return onCloseQuery();
  }
  void Destroyed() override { Add("destroyed"); }
  void Clicked(Ctl button) override { Add("clicked", button); }
  std::optional<bool> LeftButtonDown(Ctl control, int, int, int) override {
    Add("leftbuttondown", control);
    return std::nullopt;
  }
  void Tick(Ctl timer) override {
    Add("tick", timer);
    if (onTick) onTick(timer);
  }

  // The window events from entry `from` on, ticks left out, separated by spaces.
  std::string Names(size_t from = 0) const {
    std::string names;
    for (size_t i = from; i < log.size(); ++i) {
      if (log[i].what == "tick") continue;
      names += (names.empty() ? "" : " ") + log[i].what;
    }
    return names;
  }
  int Count(const std::string& what, Ctl control = Ctl::MainWindow) const {
    int count = 0;
    for (const Entry& entry : log) count += entry.what == what && entry.control == control;
    return count;
  }
  std::vector<double> TickTimes(Ctl timer) const {
    std::vector<double> times;
    for (const Entry& entry : log)
      if (entry.what == "tick" && entry.control == timer) times.push_back(entry.at);
    return times;
  }
  int TicksBetween(Ctl timer, double from, double to) const {
    int count = 0;
    for (double at : TickTimes(timer)) count += at > from && at < to;
    return count;
  }

 private:
  void Add(const char* what, Ctl control = Ctl::MainWindow) { log.push_back({what, control, clock()}); }
  void Run(const char* what, const std::function<void()>& action) {
    Add(what);
    if (action) action();
  }
};

class WindowContract : public ::testing::Test {
 protected:
  WindowContract() {
    events_.clock = [this] { return harness_->NowMs(); };
  }

  Platform& platform() { return harness_->platform(); }
  double Now() { return harness_->NowMs(); }
  double Slack() const { return harness_->SlackMs(); }
  void Load() { ASSERT_TRUE(platform().LoadWindow(TestForm(), events_)); }
  // What the program does: activation stops the first timer, so only the test's writes run timers.
  void LoadWithFirstTimerStopped() {
    events_.onActivated = [this] { platform().WritePeriod(Ctl::时钟1, 0); };
    Load();
  }

  Recorder events_;  // outlives the harness, whose window may still hold it
  std::unique_ptr<ContractHarness> harness_ = MakeHarness();
};

TEST_F(WindowContract, LoadRaisesCreatedWhileInvisibleThenActivatedBeforeAnyTick) {
  std::optional<bool> visibleWhenCreated;
  events_.onCreated = [&] { visibleWhenCreated = platform().IsVisible(); };
  LoadWithFirstTimerStopped();

  EXPECT_EQ(visibleWhenCreated, std::optional<bool>(false));
  EXPECT_EQ(events_.Names(), "created activated");
  EXPECT_TRUE(platform().IsVisible());
  harness_->Pass(300);
  // 时钟1 ran with period 1 from its creation, but the activated action stopped it before any tick.
  EXPECT_EQ(events_.TickTimes(Ctl::时钟1).size(), 0u);
  EXPECT_EQ(events_.Names(), "created activated");
}

TEST_F(WindowContract, StoredPeriodRunsTheTimerFromCreation) {
  Load();
  const double loaded = Now();
  harness_->Pass(500);
  const std::vector<double> ticks = events_.TickTimes(Ctl::时钟1);
  // Period 1 ticks at the system minimum, 10 ms: about 50 ticks.
  ASSERT_GE(ticks.size(), 10u);
  EXPECT_LE(ticks[0] - loaded, 16 + Slack());
}

TEST_F(WindowContract, WritingThePresentPeriodKeepsTheRhythm) {
  LoadWithFirstTimerStopped();
  // Every tick of either timer writes 时钟1's present period again; a restart on each write would
  // keep 时钟1 from ever reaching its first tick, since 时钟2 writes every 300 ms.
  events_.onTick = [this](Ctl) { platform().WritePeriod(Ctl::时钟1, 1000); };
  const double start = Now();
  platform().WritePeriod(Ctl::时钟1, 1000);
  platform().WritePeriod(Ctl::时钟2, 300);
  harness_->Pass(3500);

  const std::vector<double> ticks = events_.TickTimes(Ctl::时钟1);
  ASSERT_EQ(ticks.size(), 3u);
  for (size_t i = 0; i < ticks.size(); ++i)
    EXPECT_NEAR(ticks[i] - start, 1000.0 * (i + 1), Slack()) << "tick " << i;
  EXPECT_GE(events_.TickTimes(Ctl::时钟2).size(), 10u);
}

TEST_F(WindowContract, PeriodOneThenThousandWrittenInTheFirstTick) {
  LoadWithFirstTimerStopped();
  double secondWrite = -1;
  events_.onTick = [&](Ctl timer) {
    if (timer != Ctl::时钟3 || secondWrite >= 0) return;
    platform().WritePeriod(Ctl::时钟3, 1000);
    secondWrite = Now();
  };
  const double firstWrite = Now();
  platform().WritePeriod(Ctl::时钟3, 1);
  harness_->Pass(2500);

  const std::vector<double> ticks = events_.TickTimes(Ctl::时钟3);
  ASSERT_EQ(ticks.size(), 3u);
  EXPECT_GE(ticks[0] - firstWrite, 10 - Slack());
  EXPECT_LE(ticks[0] - firstWrite, 16 + Slack());
  // The following ticks count from the second write, not from the first tick's schedule.
  EXPECT_NEAR(ticks[1] - secondWrite, 1000, Slack());
  EXPECT_NEAR(ticks[2] - secondWrite, 2000, Slack());
}

TEST_F(WindowContract, NegativePeriodStopsTheTimerLikeZero) {
  LoadWithFirstTimerStopped();
  platform().WritePeriod(Ctl::时钟2, 50);
  harness_->Pass(330);
  const size_t running = events_.TickTimes(Ctl::时钟2).size();
  EXPECT_GE(running, 3u);

  platform().WritePeriod(Ctl::时钟2, -7);
  const size_t atStop = events_.TickTimes(Ctl::时钟2).size();
  harness_->Pass(400);
  EXPECT_EQ(events_.TickTimes(Ctl::时钟2).size(), atStop) << "a negative period must stop the timer";

  platform().WritePeriod(Ctl::时钟2, 0);  // already stopped: changes nothing
  harness_->Pass(200);
  EXPECT_EQ(events_.TickTimes(Ctl::时钟2).size(), atStop);

  platform().WritePeriod(Ctl::时钟2, 50);
  harness_->Pass(330);
  EXPECT_GE(events_.TickTimes(Ctl::时钟2).size() - atStop, 3u) << "the timer must start again";
}

TEST_F(WindowContract, HidingRaisesHiddenInsideTheWriteAndShowingActivates) {
  Load();
  size_t mark = events_.log.size();
  platform().SetVisible(false);
  EXPECT_EQ(events_.Names(mark), "hidden");
  EXPECT_FALSE(platform().IsVisible());

  mark = events_.log.size();
  platform().SetVisible(false);  // already invisible
  harness_->Pass(100);
  EXPECT_EQ(events_.Names(mark), "");

  mark = events_.log.size();
  platform().SetVisible(true);
  EXPECT_EQ(events_.Names(mark), "activated");
  EXPECT_TRUE(platform().IsVisible());
}

TEST_F(WindowContract, ShowingAVisibleInactiveWindowActivatesIt) {
  Load();
  if (!harness_->ActivateAnotherWindow()) GTEST_SKIP() << "this platform has no other window to activate";
  const size_t mark = events_.log.size();
  platform().SetVisible(true);
  EXPECT_EQ(events_.Names(mark), "activated");
}

TEST_F(WindowContract, TicksKeepComingWhileAnActionWaitsInAModalBox) {
  LoadWithFirstTimerStopped();
  double opened = -1, closed = -1;
  int32_t answer = -1;
  events_.onTick = [&](Ctl timer) {
    if (timer != Ctl::时钟3) return;
    platform().WritePeriod(Ctl::时钟3, 0);
    opened = Now();
    answer = platform().ShowMessageBox("计时器在对话框打开时继续走吗？", 49, Text(kBoxTitle));
    closed = Now();
  };
  std::vector<double> pollTicks;
  const uintptr_t poll = platform().SetThreadTimer(0, [&] { pollTicks.push_back(Now()); });
  harness_->AnswerBox(kBoxTitle, 700, 1);
  platform().WritePeriod(Ctl::时钟2, 100);
  platform().WritePeriod(Ctl::时钟3, 50);
  harness_->Pass(1500);
  platform().KillThreadTimer(poll);

  ASSERT_GE(closed, 0) << "the box was not answered";
  EXPECT_EQ(answer, 1);
  EXPECT_NEAR(closed - opened, 700, 2 * Slack());
  EXPECT_GE(events_.TicksBetween(Ctl::时钟2, opened, closed), 4);
  int pollsInBox = 0;
  for (double at : pollTicks) pollsInBox += at > opened && at < closed;
  EXPECT_GE(pollsInBox, 20) << "thread timer ticks inside the box";
}

TEST_F(WindowContract, RequestedDestroyComesAfterTheActionAndEndsTheLoop) {
  LoadWithFirstTimerStopped();
  std::optional<bool> destroyedInsideAction;
  events_.onTick = [&](Ctl timer) {
    if (timer != Ctl::时钟2 || destroyedInsideAction) return;
    platform().WritePeriod(Ctl::时钟2, 0);
    platform().RequestWindowDestroy();
    destroyedInsideAction = events_.Count("destroyed") > 0;
  };
  platform().WritePeriod(Ctl::时钟2, 50);
  EXPECT_TRUE(harness_->RunLoopWithin(5000)) << "the message loop did not end after the window was destroyed";
  EXPECT_EQ(destroyedInsideAction, std::optional<bool>(false));
  EXPECT_EQ(events_.Names(), "created activated destroyed");
  ASSERT_FALSE(events_.log.empty());
  EXPECT_EQ(events_.log.back().what, "destroyed");
}

TEST_F(WindowContract, CloseQueryAnsweredFalseKeepsTheWindowAndRefusesTheLogOff) {
  Load();
  events_.onCloseQuery = [] { return false; };
  const size_t mark = events_.log.size();
  harness_->PressCloseBox();
  EXPECT_FALSE(harness_->QueryEndSession());
  EXPECT_EQ(events_.Names(mark), "closequery closequery");
  EXPECT_TRUE(platform().IsVisible());

  events_.onCloseQuery = [] { return true; };
  EXPECT_TRUE(harness_->QueryEndSession());
  EXPECT_TRUE(platform().IsVisible()) << "the end-session query itself does not close the window";
  harness_->PressCloseBox();
  EXPECT_EQ(events_.Names(mark), "closequery closequery closequery closequery destroyed");
}

TEST_F(WindowContract, TextsTagsAndCaptionsReadAsStoredOrTyped) {
  Load();
  EXPECT_EQ(platform().ReadText(Ctl::编辑框1), "");
  EXPECT_EQ(platform().ReadTag(Ctl::编辑框1), "时");
  EXPECT_EQ(platform().ReadText(Ctl::标签6), "2000年1月1日");
  EXPECT_EQ(platform().ReadTag(Ctl::标签6), "0秒");
  platform().WriteText(Ctl::编辑框1, "23时-5");
  EXPECT_EQ(platform().ReadText(Ctl::编辑框1), "23时-5");
  platform().WriteText(Ctl::编辑框1, "");
  EXPECT_EQ(platform().ReadText(Ctl::编辑框1), "");
}

}  // namespace
