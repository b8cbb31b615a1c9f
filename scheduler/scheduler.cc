#include "scheduler/scheduler.h"

#include <algorithm>
#include <climits>

namespace {

constexpr char kSection[] = "关机设置";
constexpr char kHourKey[] = "小时";
constexpr char kMinuteKey[] = "分钟";
constexpr char kWaitKey[] = "等待秒数";
constexpr char kSpanKey[] = "关机有效间隔";
constexpr char kSnoozeKey[] = "下次提醒间隔";

// One less, staying at the lowest value: the count never wraps round to a large positive one, which would
// silence the snooze's re-arming or the countdown's power-off for thousands of years.
int32_t CountDown(int32_t count) { return count == INT32_MIN ? count : count - 1; }

}  // namespace

HoursMinutes SplitMinutes(int32_t span, int32_t minute) {
  double d = span;
  minute = std::max(minute, 0);
  if (minute > 0) d = d + minute;
  if (!ReachesLimit(d, 60)) return {0, TruncateToInt32(d)};
  const double q = d / 60;
  const int32_t hours = FloorWithSnap(q);
  const double f = q - hours;
  return {hours, FloorWithSnap(f * 60)};
}

double Scheduler::FieldNumber(Ctl field) { return TextToNumber(window_.ReadText(field)); }

void Scheduler::CheckSchedule() {
  const Text hourText = window_.ReadText(Ctl::编辑框1);
  if (CompareText(hourText, "") == 0) {
    window_.WritePeriod(Ctl::时钟1, 0);
    return;
  }
  window_.WritePeriod(Ctl::时钟1, 1000);
  Globals& g = globals_;
  g.timeOfDayNow = TimeOfDay(CurrentDateTime(system_.LocalTime()));

  const Text date = window_.ReadText(Ctl::标签6);
  const Text hourSuffix = window_.ReadTag(Ctl::编辑框1);
  const Text minuteSuffix = window_.ReadTag(Ctl::编辑框2);
  const Text seconds = window_.ReadTag(Ctl::标签6);
  const std::optional<DateTime> start = TryParseDateTime(JoinTexts(
      {date, window_.ReadText(Ctl::编辑框1), hourSuffix, window_.ReadText(Ctl::编辑框2), minuteSuffix, seconds}));
  g.targetTime = start.value_or(MinDateTime);

  const int32_t span = TruncateToInt32(FieldNumber(Ctl::编辑框4));
  const int32_t minute = TruncateToInt32(FieldNumber(Ctl::编辑框2));
  const HoursMinutes split = SplitMinutes(span, minute);
  int32_t endHour = TruncateToInt32(FieldNumber(Ctl::编辑框1) + split.hours);
  const bool capped = endHour >= 24;
  if (capped) endHour = 23;
  g.windowEndTime = ParseDateTime(
      JoinTexts({date, IntToText(endHour), hourSuffix, IntToText(split.minutes), minuteSuffix, seconds}));
  // Capping the end hour must not close an interval that began late in the evening: it then runs
  // to the last second of the day instead.
  if (capped && DateTimeOrderKey(g.windowEndTime) < DateTimeOrderKey(g.targetTime)) {
    g.windowEndTime = MakeDateTime(2000, 1, 1, 23, 59, 59);
  }

  // A start time that does not parse offers nothing: it would otherwise count as midnight.
  if (!start) return;
  const double now = DateTimeOrderKey(g.timeOfDayNow);
  if (now < DateTimeOrderKey(g.targetTime) || now > DateTimeOrderKey(g.windowEndTime)) return;
  if (g.questionOpen) {
    // Never a second question: checking stops as if the prompt had been entered, and the open
    // question keeps its countdown.
    window_.WritePeriod(Ctl::时钟1, 0);
    return;
  }
  EnterPrompt();
}

void Scheduler::EnterPrompt() {
  Globals& g = globals_;
  window_.WritePeriod(Ctl::时钟1, 0);
  window_.WritePeriod(Ctl::时钟2, 1);
  g.countdown = TruncateToInt32(FieldNumber(Ctl::编辑框3));
  const Text message = JoinTexts({"时间过", window_.ReadText(Ctl::编辑框1), window_.ReadTag(Ctl::编辑框1),
                                   window_.ReadText(Ctl::编辑框2), window_.ReadTag(Ctl::编辑框2),
                                   window_.ReadTag(Ctl::标签6), "你要现在关机吗？\r\n", window_.ReadText(Ctl::编辑框3),
                                   "秒后自动关机！\r\n取消后，在", window_.ReadText(Ctl::编辑框5), "分钟内不会提示！"});
  g.questionOpen = true;
  const int32_t answer = system_.ShowMessageBox(message, kShutdownQuestionStyle, Text("关机"));
  g.questionOpen = false;
  if (answer == kBoxOk) {
    RequestPowerOff();
    window_.WritePeriod(Ctl::时钟2, 0);
  } else {
    window_.WritePeriod(Ctl::时钟2, 0);
    window_.WritePeriod(Ctl::时钟3, 1);
    g.countdown = TruncateToInt32(FieldNumber(Ctl::编辑框5));
  }
}

void Scheduler::CountdownTick() {
  window_.WritePeriod(Ctl::时钟2, 1000);
  globals_.countdown = CountDown(globals_.countdown);
  if (globals_.countdown <= 0) {
    window_.WritePeriod(Ctl::时钟2, 0);
    RequestPowerOff();
  }
}

void Scheduler::SnoozeTick() {
  window_.WritePeriod(Ctl::时钟3, 60000);
  globals_.countdown = CountDown(globals_.countdown);
  if (globals_.countdown < 0) window_.WritePeriod(Ctl::时钟1, 1);
}

void Scheduler::RequestPowerOff() { system_.ShutDownSystem(1, true); }

void Scheduler::LoadSettings() {
  Globals& g = globals_;
  g.loadedHour = system_.ReadProfileText(g.configPath, kSection, kHourKey);
  g.loadedMinute = system_.ReadProfileText(g.configPath, kSection, kMinuteKey);
  const Text wait = system_.ReadProfileText(g.configPath, kSection, kWaitKey);
  const Text span = system_.ReadProfileText(g.configPath, kSection, kSpanKey);
  const Text snooze = system_.ReadProfileText(g.configPath, kSection, kSnoozeKey);

  if (!g.loadedHour.empty()) {
    if (ReachesLimit(TextToNumber(g.loadedHour), 24)) g.loadedHour = "23";
    window_.WriteText(Ctl::编辑框1, g.loadedHour);
  }
  if (!g.loadedMinute.empty()) {
    if (ReachesLimit(TextToNumber(g.loadedMinute), 60)) g.loadedMinute = "59";
    window_.WriteText(Ctl::编辑框2, g.loadedMinute);
  }
  if (!wait.empty()) window_.WriteText(Ctl::编辑框3, wait);
  if (!span.empty()) window_.WriteText(Ctl::编辑框4, span);
  if (!snooze.empty()) window_.WriteText(Ctl::编辑框5, snooze);
}

void Scheduler::SaveAndHide() {
  Globals& g = globals_;
  if (ReachesLimit(FieldNumber(Ctl::编辑框1), 24)) window_.WriteText(Ctl::编辑框1, "23");
  if (ReachesLimit(FieldNumber(Ctl::编辑框2), 60)) window_.WriteText(Ctl::编辑框2, "59");

  static constexpr struct {
    const char* key;
    Ctl field;
  } kWrites[] = {{kHourKey, Ctl::编辑框1},
                 {kMinuteKey, Ctl::编辑框2},
                 {kWaitKey, Ctl::编辑框3},
                 {kSpanKey, Ctl::编辑框4},
                 {kSnoozeKey, Ctl::编辑框5}};
  bool saved = true;
  for (const auto& write : kWrites) {
    saved = system_.WriteProfileText(g.configPath, kSection, write.key, window_.ReadText(write.field)) && saved;
  }
  // A failed save is said, and the fields keep what the user typed rather than what the file holds.
  if (!saved) system_.ShowMessageBox(JoinTexts({"设置未能保存到配置文件：\r\n", g.configPath}), 48, Text("警告"));

  window_.WritePeriod(Ctl::时钟1, 1);
  window_.SetVisible(false);
  if (saved) LoadSettings();
}

void Scheduler::RegisterHotkey(const HotkeyRecord& record) {
  auto& list = globals_.hotkeyList;
  const auto same = std::find_if(list.begin(), list.end(),
                                 [&](const HotkeyRecord& r) { return CompareText(r.name, record.name) == 0; });
  HotkeyRecord copy{record.keys, record.action, record.name};
  if (same == list.end()) {
    list.push_back(std::move(copy));
  } else {
    *same = std::move(copy);
  }
}

void Scheduler::RemoveHotkey() { globals_.hotkeyList.clear(); }

void Scheduler::StartHotkeyPolling(int32_t period) {
  system_.KillThreadTimer(globals_.pollTimerId);
  globals_.pollTimerId = 0;
  globals_.pollTimerId = system_.SetThreadTimer(period, [this] { HotkeyPollTick(); });
}

void Scheduler::HotkeyPollTick() {
  // Every record's held state is brought up to date; the first one newly pressed acts, at most one a tick.
  auto& list = globals_.hotkeyList;
  size_t pressed = 0;
  for (size_t i = 1; i <= list.size(); ++i) {
    const bool held = IsChordHeld(i);
    if (held && !list[i - 1].heldAtLastPoll && pressed == 0) pressed = i;
    list[i - 1].heldAtLastPoll = held;
  }
  if (pressed == 0) return;
  // The action may change the list: take what it needs first.
  const auto action = list[pressed - 1].action;
  const Text name = list[pressed - 1].name;
  if (action) action(name);
}

bool Scheduler::IsChordHeld(size_t index) {
  for (const int32_t key : globals_.hotkeyList[index - 1].keys) {
    const int32_t state = system_.AsyncKeyState(key);
    if (state == 0 || state == 1) return false;
  }
  return true;
}

void Scheduler::ToggleMainWindow(const Text&) { window_.SetVisible(!window_.IsVisible()); }
