// A deterministic world in virtual milliseconds for running the program without Windows: the tick
// clock and a local wall clock that can jump, the event loop every message loop of every simulated
// process runs on, the profile files, the keyboard, the top-level windows, the question boxes and a
// recorder of what the user would see.
//
// Events at the same virtual time are taken in this order: posted messages, then input actions, then
// timer ticks; among equals, in the order they were posted, scheduled or armed.
#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "platform/form.h"
#include "values/datetime.h"
#include "values/text.h"

class SimProcess;

inline constexpr int64_t kSimNever = INT64_MAX;
// Windows raises shorter timer periods to this (USER_TIMER_MINIMUM).
inline constexpr int32_t kSimMinimumPeriod = 10;

enum class BoxAnswer { kOk, kCancel };

// One line of what happened: "shown", "question 关机 0x50021 ...", "poweroff", "exit 0".
struct SimRecord {
  int64_t time;    // virtual milliseconds
  int64_t wallMs;  // the local wall clock then, milliseconds since 1970-01-01 00:00:00
  Text text;
};

// A question box as it was asked and answered.
struct SimBoxRecord {
  const SimProcess* owner;
  Text text, title;  // title as shown: "信息：" when none was given
  int32_t style;     // as the program passed it
  int32_t flags;     // as MessageBoxA would get them
  int64_t openedAt;
  std::optional<int64_t> closedAt;
  std::optional<BoxAnswer> answer;  // none when the world stopped with the box open
};

// A window or thread timer. The world keeps every timer of every process in one list, so finding the
// next tick is a short scan and costs nothing per tick beyond it.
struct SimTimer {
  SimProcess* owner;
  Ctl control;             // a window timer's control
  uintptr_t threadId = 0;  // a thread timer's identifier, 0 for window timers
  int32_t period = 0;      // as last written, never negative
  bool running = false;
  int64_t due = 0;
  uint64_t order = 0;             // arming order, for ties
  std::function<void()> routine;  // thread timers
};

class SimWorld {
 public:
  // The clock reads 2026-01-01 00:00:00 at virtual time 0.
  SimWorld();
  ~SimWorld();
  SimWorld(const SimWorld&) = delete;
  SimWorld& operator=(const SimWorld&) = delete;

  // Time.
  int64_t Now() const { return now_; }
  // The wall clock reads `local` from now on; virtual time does not move.
  void SetClock(const CivilTime& local);
  CivilTime LocalTime() const;  // whole seconds
  int64_t WallMs() const { return wallBase_ + (now_ - wallBaseTick_); }

  // Running. RunFor runs everything due up to and including Now() + ms, then stops there. A message
  // loop or question box still running inside it at that moment cannot return to the caller: the
  // world then halts, as at the end of a scenario.
  void RunFor(int64_t ms);
  // Once the next event lies after `time`, the world halts (for loops run without RunFor).
  void HaltAfter(int64_t time) { haltAfter_ = time; }
  // Every loop returns; from then on the ports do nothing and record nothing.
  void Halt() { halted_ = true; }
  bool Halted() const { return halted_; }
  // A successful power-off: every process ends at once, nothing more happens.
  void PowerOff() { off_ = true; }
  bool PoweredOff() const { return off_; }
  bool Stopped() const { return halted_ || off_; }

  // Input actions: `action` runs at `time` (not before now), ahead of timers due then.
  void At(int64_t time, std::function<void()> action);
  void After(int64_t delay, std::function<void()> action) { At(now_ + delay, std::move(action)); }

  // Processes. The world owns them; the first is labelled "", later copies as the caller says.
  SimProcess& NewProcess(const Text& label = Text());
  const std::vector<std::unique_ptr<SimProcess>>& Processes() const { return processes_; }
  // The newest running process whose window is loaded, or null.
  SimProcess* WindowProcess() const;
  // The system's end-session query to every loaded window, oldest process first; false when one refused.
  bool QueryEndSession();

  // Profile files, by path, compared without ASCII case.
  std::optional<Text> File(const Text& path) const;
  void SetFile(const Text& path, const Text& content);
  void RemoveFile(const Text& path);
  void SetProfileWritesFail(bool fail) { profileWritesFail_ = fail; }
  bool ProfileWritesFail() const { return profileWritesFail_; }

  // The keyboard: GetAsyncKeyState reads these.
  void SetKeyDown(int32_t virtualKey, bool down);
  bool KeyDown(int32_t virtualKey) const { return virtualKey >= 0 && virtualKey < 256 && keys_[virtualKey]; }

  // Top-level windows of every process in Z order, highest first. New windows go on top.
  WindowHandle AddTopLevelWindow(const Text& className, const Text& title);
  void RemoveTopLevelWindow(WindowHandle window);
  WindowHandle FirstTopLevelWindow() const;
  WindowHandle NextTopLevelWindow(WindowHandle window) const;
  std::optional<std::pair<Text, Text>> WindowNames(WindowHandle window) const;  // class name, title

  // Question boxes. Answering affects the newest open box, the one whose loop runs innermost.
  bool AnswerNewestBox(BoxAnswer answer);
  // The next box to open is answered `delay` ms after it opens.
  void ScriptAnswer(BoxAnswer answer, int64_t delay) { scripted_.push_back({answer, delay}); }
  size_t OpenBoxCount() const { return openBoxes_.size(); }
  const std::deque<SimBoxRecord>& Boxes() const { return boxes_; }

  void SetPowerOffFails(bool fail) { powerOffFails_ = fail; }
  bool PowerOffFails() const { return powerOffFails_; }

  // What the user saw.
  void Record(const Text& text);
  const std::vector<SimRecord>& Records() const { return records_; }
  std::vector<Text> RecordTexts() const;
  // "HH:MM:SS.mmm" of a wall clock reading.
  static Text FormatTimeOfDay(int64_t wallMs);

  // For the simulated processes.
  // Runs events until done() holds or the world stops. Loops nest: a question box runs one inside the
  // action that opened it.
  void RunLoop(const std::function<bool()>& done) { Loop(done, kSimNever); }
  // How many loops are running, one inside the other.
  int LoopDepth() const { return depth_; }
  SimTimer& NewTimer(SimProcess* owner, Ctl control, uintptr_t threadId, std::function<void()> routine);
  // Arms a timer: the first tick `period` ms from now (at least the system minimum).
  void ArmTimer(SimTimer& timer);
  void PostMessage(SimProcess* process) { posted_.push_back(process); }
  // Opens a box; the caller runs the loop until its record has an answer.
  size_t OpenBox(SimBoxRecord record);
  void CloseBox(size_t index);

 private:
  void Loop(const std::function<bool()>& done, int64_t limit);
  void FireTimer(SimTimer& timer);

  int64_t now_ = 0;
  int64_t wallBase_ = 0, wallBaseTick_ = 0;
  int64_t deadline_ = kSimNever;  // the end of the innermost RunFor
  int64_t haltAfter_ = kSimNever;
  bool halted_ = false, off_ = false;
  uint64_t order_ = 0;
  int depth_ = 0;

  std::map<std::pair<int64_t, uint64_t>, std::function<void()>> inputs_;
  std::deque<SimProcess*> posted_;
  std::deque<SimTimer> timers_;  // never shrinks while the world lives, so references stay valid
  std::vector<std::unique_ptr<SimProcess>> processes_;

  std::map<Text, Text> files_;  // key: the path with ASCII letters lowered
  bool profileWritesFail_ = false, powerOffFails_ = false;
  bool keys_[256] = {};

  struct TopLevel {
    WindowHandle handle;
    Text className, title;
  };
  std::vector<TopLevel> windows_;  // Z order, highest first
  WindowHandle nextHandle_ = 0x10010;

  std::deque<SimBoxRecord> boxes_;
  std::vector<size_t> openBoxes_;  // indexes into boxes_, newest last
  struct Scripted {
    BoxAnswer answer;
    int64_t delay;
  };
  std::deque<Scripted> scripted_;

  std::vector<SimRecord> records_;
};
