// A refresh of the volumes controller over this machine's mounted volumes, as the provider container's timer
// makes it, with and without the pass over the volumes' sizes.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

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

// The floor for a refresh without a size pass: what a C program does for the same facts with raw system
// calls into a fixed buffer: the namespace's name, one poll of the mount table, and the counters of the
// startup volume's device.
void BM_FloorRawSyscalls(benchmark::State& state) {
  struct stat root {};
  ::stat("/", &root);
  char counters[64];
  std::snprintf(counters, sizeof counters, "/sys/dev/block/%u:%u/stat", major(root.st_dev),
                minor(root.st_dev));
  const int table = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
  char buffer[512];
  for (auto _ : state) {
    benchmark::DoNotOptimize(::readlink("/proc/self/ns/mnt", buffer, sizeof buffer));
    pollfd check{table, POLLPRI, 0};
    benchmark::DoNotOptimize(::poll(&check, 1, 0));
    const int fd = ::open(counters, O_RDONLY | O_CLOEXEC);
    benchmark::DoNotOptimize(::read(fd, buffer, sizeof buffer));
    ::close(fd);
  }
  ::close(table);
}
BENCHMARK(BM_FloorRawSyscalls);

}  // namespace
