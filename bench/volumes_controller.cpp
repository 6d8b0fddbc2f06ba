// A refresh of the volumes controller over this machine's mounted volumes, as the provider container's timer
// makes it, with and without the pass over the volumes' sizes.
#include <benchmark/benchmark.h>

#include <chrono>

#include "Draskel/VolumesController.hpp"
#include "Platform/Dispatch/RunLoop.hpp"

namespace {

// Runs the volumesUpdated blocks that the refreshes queued on the main queue, so that it does not grow.
void drainMainQueue() { platform::RunLoop::main().runOnce(std::chrono::nanoseconds(0)); }

void refreshLoop(benchmark::State& state, double storageInterval) {
  const auto controller = Draskel::VolumesController::create();
  // The first refresh discovers the volumes and reads their sizes.
  controller->refresh(1);
  controller->setStorageInterval(storageInterval);
  std::int64_t refreshes = 0;
  for (auto _ : state) {
    controller->refresh(1);
    if (++refreshes % 1024 == 0) {
      state.PauseTiming();
      drainMainQueue();
      state.ResumeTiming();
    }
  }
  state.counters["volumes"] = static_cast<double>(controller->volumeCount());
  drainMainQueue();
}

// Counters, the mount table's change check (one poll, no read while nothing changed), sorting and the store
// texts: a refresh between two size passes.
void BM_RefreshWithoutSizePass(benchmark::State& state) { refreshLoop(state, 1e12); }
BENCHMARK(BM_RefreshWithoutSizePass);

// The same with the size pass on every refresh, as it comes once per storage interval.
void BM_RefreshWithSizePass(benchmark::State& state) { refreshLoop(state, 0); }
BENCHMARK(BM_RefreshWithSizePass);

}  // namespace
