// How fast the simulated world runs the program: a day, and a year, of virtual time with the default
// settings (the window shown, the keyboard polled every 10 ms).
#include <benchmark/benchmark.h>

#include "app/program.h"
#include "platform/sim/sim_process.h"
#include "platform/sim/sim_world.h"

namespace {

constexpr int64_t kDayMs = 86400000;

void RunCopy(SimProcess& process) {
  Program program(process);
  process.EndProgram(program.Run());
}

// Starts the program at virtual time 0 and runs `days` of virtual time.
void PlayDays(benchmark::State& state, int64_t days) {
  for (auto _ : state) {
    SimWorld world;
    world.At(0, [&world] { RunCopy(world.NewProcess()); });
    world.RunFor(days * kDayMs);
    benchmark::DoNotOptimize(world.Records().size());
  }
  state.counters["virtual_days"] = static_cast<double>(days);
}

void BM_AdvanceOneDay(benchmark::State& state) { PlayDays(state, 1); }
void BM_AdvanceOneYear(benchmark::State& state) { PlayDays(state, 365); }

BENCHMARK(BM_AdvanceOneDay)->Unit(benchmark::kMillisecond);
BENCHMARK(BM_AdvanceOneYear)->Unit(benchmark::kSecond)->Iterations(1);

}  // namespace

BENCHMARK_MAIN();
