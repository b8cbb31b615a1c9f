// Cost of one schedule check outside the interval, the work the program does every second while it waits.
#include <benchmark/benchmark.h>

#include "scheduler/scheduler.h"

namespace {

// Ports that answer from fixed fields and do nothing else, so the figure is the scheduler's own work.
class QuietPorts : public WindowServices, public SystemServices {
 public:
  Text ReadText(Ctl control) override {
    switch (control) {
      case Ctl::编辑框1:
        return "22";
      case Ctl::编辑框2:
        return "30";
      case Ctl::编辑框3:
        return "30";
      case Ctl::编辑框4:
        return "120";
      case Ctl::编辑框5:
        return "30";
      case Ctl::标签6:
        return "2000年1月1日";
      default:
        return Text();
    }
  }
  Text ReadTag(Ctl control) override {
    switch (control) {
      case Ctl::编辑框1:
        return "时";
      case Ctl::编辑框2:
        return "分";
      case Ctl::标签6:
        return "0秒";
      default:
        return Text();
    }
  }
  void WriteText(Ctl, const Text&) override {}
  void WritePeriod(Ctl, int32_t) override {}
  bool IsVisible() override { return false; }
  void SetVisible(bool) override {}
  void RequestWindowDestroy() override {}
  int32_t ShowMessageBox(const Text&, int32_t, const std::optional<Text>&) override { return kBoxCancel; }
  bool ShutDownSystem(int32_t, bool) override { return false; }
  void OpenWebAddress(const Text&) override {}
  Text GetRunDirectory() override { return "C:"; }
  Text ReadProfileText(const Text&, const Text&, const Text&) override { return Text(); }
  bool WriteProfileText(const Text&, const Text&, const Text&, const Text&) override { return true; }
  CivilTime LocalTime() override { return {2026, 3, 14, 12, 0, 0}; }
  int32_t AsyncKeyState(int32_t) override { return 0; }
  uintptr_t SetThreadTimer(int32_t, std::function<void()>) override { return 1; }
  void KillThreadTimer(uintptr_t) override {}
  WindowHandle FirstTopLevelWindow() override { return 0; }
  WindowHandle NextTopLevelWindow(WindowHandle) override { return 0; }
  Text WindowClassName(WindowHandle) override { return Text(); }
  Text WindowTitle(WindowHandle) override { return Text(); }
  void EndProgram(int32_t) override {}
  void SetExitAction(std::function<void()>) override {}
};

void BM_CheckScheduleOutsideTheInterval(benchmark::State& state) {
  QuietPorts ports;
  Scheduler scheduler(ports, ports);
  for (auto _ : state) {
    scheduler.CheckSchedule();
    benchmark::DoNotOptimize(scheduler.globals().windowEndTime);
  }
}
BENCHMARK(BM_CheckScheduleOutsideTheInterval);

void BM_HotkeyPollNothingHeld(benchmark::State& state) {
  QuietPorts ports;
  Scheduler scheduler(ports, ports);
  scheduler.RegisterHotkey({{kVkControl, kVkF12}, [](const Text&) {}, "tovi"});
  for (auto _ : state) scheduler.HotkeyPollTick();
}
BENCHMARK(BM_HotkeyPollNothingHeld);

}  // namespace

BENCHMARK_MAIN();
