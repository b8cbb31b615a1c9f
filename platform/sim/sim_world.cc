#include "platform/sim/sim_world.h"

#include <algorithm>
#include <cstdio>

#include "platform/sim/sim_process.h"

namespace {

constexpr int64_t kMsPerDay = 86400000;

int64_t FloorDiv(int64_t a, int64_t b) { return a / b - ((a % b != 0) && ((a < 0) != (b < 0))); }

// Days since 1970-01-01 of a proleptic Gregorian date. Years are counted from March so that the leap
// day ends the year; an era is the 400-year cycle of 146097 days.
int64_t DaysFromCivil(int64_t year, int64_t month, int64_t day) {
  year -= month <= 2;
  const int64_t era = FloorDiv(year, 400);
  const int64_t yearOfEra = year - era * 400;
  const int64_t dayOfYear = (153 * (month > 2 ? month - 3 : month + 9) + 2) / 5 + day - 1;
  const int64_t dayOfEra = yearOfEra * 365 + yearOfEra / 4 - yearOfEra / 100 + dayOfYear;
  return era * 146097 + dayOfEra - 719468;
}

CivilTime CivilFromWallMs(int64_t wallMs) {
  const int64_t days = FloorDiv(wallMs, kMsPerDay);
  const int64_t msOfDay = wallMs - days * kMsPerDay;
  const int64_t shifted = days + 719468;
  const int64_t era = FloorDiv(shifted, 146097);
  const int64_t dayOfEra = shifted - era * 146097;
  const int64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const int64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const int64_t monthFromMarch = (5 * dayOfYear + 2) / 153;
  const int64_t day = dayOfYear - (153 * monthFromMarch + 2) / 5 + 1;
  const int64_t month = monthFromMarch < 10 ? monthFromMarch + 3 : monthFromMarch - 9;
  const int64_t year = yearOfEra + era * 400 + (month <= 2);
  const int64_t seconds = msOfDay / 1000;
  return {static_cast<int32_t>(year),
          static_cast<int32_t>(month),
          static_cast<int32_t>(day),
          static_cast<int32_t>(seconds / 3600),
          static_cast<int32_t>(seconds / 60 % 60),
          static_cast<int32_t>(seconds % 60)};
}

Text LowerAscii(Text s) {
  for (char& c : s) {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  return s;
}

}  // namespace

SimWorld::SimWorld() { SetClock({2026, 1, 1, 0, 0, 0}); }

SimWorld::~SimWorld() = default;

void SimWorld::SetClock(const CivilTime& local) {
  wallBase_ = DaysFromCivil(local.year, local.month, local.day) * kMsPerDay +
              ((local.hour * 60 + local.minute) * 60 + local.second) * int64_t{1000};
  wallBaseTick_ = now_;
}

CivilTime SimWorld::LocalTime() const { return CivilFromWallMs(WallMs()); }

Text SimWorld::FormatTimeOfDay(int64_t wallMs) {
  const int64_t ms = wallMs - FloorDiv(wallMs, kMsPerDay) * kMsPerDay;
  char buffer[16];
  std::snprintf(buffer, sizeof buffer, "%02d:%02d:%02d.%03d", static_cast<int>(ms / 3600000),
                static_cast<int>(ms / 60000 % 60), static_cast<int>(ms / 1000 % 60),
                static_cast<int>(ms % 1000));
  return buffer;
}

void SimWorld::RunFor(int64_t ms) {
  const int64_t end = now_ + std::max<int64_t>(ms, 0);
  const int64_t outer = deadline_;
  deadline_ = std::min(outer, end);
  Loop(nullptr, end);
  deadline_ = outer;
}

void SimWorld::Loop(const std::function<bool()>& done, int64_t limit) {
  struct Depth {
    int& depth;
    explicit Depth(int& d) : depth(++d) {}
    ~Depth() { --depth; }
  } depth(depth_);
  while (!Stopped()) {
    if (done && done()) return;
    if (!posted_.empty()) {
      SimProcess* process = posted_.front();
      posted_.pop_front();
      process->HandlePostedMessage();
      continue;
    }
    const int64_t inputTime = inputs_.empty() ? kSimNever : inputs_.begin()->first.first;
    SimTimer* timer = nullptr;
    for (SimTimer& t : timers_) {
      if (t.running && (!timer || t.due < timer->due || (t.due == timer->due && t.order < timer->order))) {
        timer = &t;
      }
    }
    const int64_t next = std::min(inputTime, timer ? timer->due : kSimNever);
    if (next > limit && limit <= haltAfter_) {
      now_ = std::max(now_, limit);
      return;
    }
    // Nothing more can happen, or it would happen after the end: the world halts.
    const int64_t stop = std::min(deadline_, haltAfter_);
    if (next > stop || next == kSimNever) {
      if (stop != kSimNever) now_ = std::max(now_, stop);
      Halt();
      return;
    }
    now_ = std::max(now_, next);
    if (inputTime <= next) {
      auto first = inputs_.begin();
      std::function<void()> action = std::move(first->second);
      inputs_.erase(first);
      action();
    } else {
      FireTimer(*timer);
    }
  }
}

void SimWorld::FireTimer(SimTimer& timer) {
  // The next tick keeps the rhythm of the due times; ticks missed meanwhile are not made up.
  const int64_t interval = std::max(timer.period, kSimMinimumPeriod);
  timer.due += interval * ((now_ - timer.due) / interval + 1);
  timer.order = ++order_;
  timer.owner->FireTimer(timer);
}

void SimWorld::At(int64_t time, std::function<void()> action) {
  inputs_.emplace(std::make_pair(std::max(time, now_), ++order_), std::move(action));
}

SimProcess& SimWorld::NewProcess(const Text& label) {
  processes_.push_back(std::make_unique<SimProcess>(*this, label));
  return *processes_.back();
}

SimProcess* SimWorld::WindowProcess() const {
  for (auto it = processes_.rbegin(); it != processes_.rend(); ++it) {
    if ((*it)->Running() && (*it)->WindowLoaded()) return it->get();
  }
  return nullptr;
}

bool SimWorld::QueryEndSession() {
  bool allowed = true;
  for (size_t i = 0; i < processes_.size() && !Stopped(); ++i) {
    if (!processes_[i]->QueryEndSession()) allowed = false;
  }
  return allowed;
}

std::optional<Text> SimWorld::File(const Text& path) const {
  const auto found = files_.find(LowerAscii(path));
  if (found == files_.end()) return std::nullopt;
  return found->second;
}

void SimWorld::SetFile(const Text& path, const Text& content) { files_[LowerAscii(path)] = content; }

void SimWorld::RemoveFile(const Text& path) { files_.erase(LowerAscii(path)); }

void SimWorld::SetKeyDown(int32_t virtualKey, bool down) {
  if (virtualKey >= 0 && virtualKey < 256) keys_[virtualKey] = down;
}

WindowHandle SimWorld::AddTopLevelWindow(const Text& className, const Text& title) {
  nextHandle_ += 4;
  windows_.insert(windows_.begin(), {nextHandle_, className, title});
  return nextHandle_;
}

void SimWorld::RemoveTopLevelWindow(WindowHandle window) {
  std::erase_if(windows_, [&](const TopLevel& w) { return w.handle == window; });
}

WindowHandle SimWorld::FirstTopLevelWindow() const { return windows_.empty() ? 0 : windows_.front().handle; }

WindowHandle SimWorld::NextTopLevelWindow(WindowHandle window) const {
  for (size_t i = 0; i + 1 < windows_.size(); ++i) {
    if (windows_[i].handle == window) return windows_[i + 1].handle;
  }
  return 0;
}

std::optional<std::pair<Text, Text>> SimWorld::WindowNames(WindowHandle window) const {
  for (const TopLevel& w : windows_) {
    if (w.handle == window) return std::make_pair(w.className, w.title);
  }
  return std::nullopt;
}

size_t SimWorld::OpenBox(SimBoxRecord record) {
  const size_t index = boxes_.size();
  boxes_.push_back(std::move(record));
  openBoxes_.push_back(index);
  if (!scripted_.empty()) {
    const Scripted script = scripted_.front();
    scripted_.pop_front();
    After(script.delay, [this, index, answer = script.answer] {
      if (std::find(openBoxes_.begin(), openBoxes_.end(), index) == openBoxes_.end()) return;
      boxes_[index].answer = answer;
      Record(answer == BoxAnswer::kOk ? "answered ok" : "answered cancel");
    });
  }
  return index;
}

void SimWorld::CloseBox(size_t index) {
  std::erase(openBoxes_, index);
  boxes_[index].closedAt = now_;
}

bool SimWorld::AnswerNewestBox(BoxAnswer answer) {
  for (auto it = openBoxes_.rbegin(); it != openBoxes_.rend(); ++it) {
    if (boxes_[*it].answer) continue;  // answered, its loop not yet returned
    boxes_[*it].answer = answer;
    Record(answer == BoxAnswer::kOk ? "answered ok" : "answered cancel");
    return true;
  }
  return false;
}

SimTimer& SimWorld::NewTimer(SimProcess* owner, Ctl control, uintptr_t threadId,
                             std::function<void()> routine) {
  timers_.push_back(SimTimer{owner, control, threadId, 0, false, 0, 0, std::move(routine)});
  return timers_.back();
}

void SimWorld::ArmTimer(SimTimer& timer) {
  timer.running = true;
  timer.due = now_ + std::max(timer.period, kSimMinimumPeriod);
  timer.order = ++order_;
}

void SimWorld::Record(const Text& text) { records_.push_back({now_, WallMs(), text}); }

std::vector<Text> SimWorld::RecordTexts() const {
  std::vector<Text> texts;
  for (const SimRecord& r : records_) texts.push_back(r.text);
  return texts;
}
