#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdio>

#include "Orvane/ProcessorController.hpp"

namespace {

// Reads a whole file into a buffer on the stack and throws the text away.
std::size_t readAndDiscard(const char* path) {
  int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  char buffer[4096];
  std::size_t total = 0;
  for (ssize_t count; (count = ::read(fd, buffer, sizeof buffer)) > 0;) {
    total += static_cast<std::size_t>(count);
  }
  ::close(fd);
  return total;
}

// The floor of a refresh with process collection: /proc/stat and every /proc/[pid]/stat read once, with
// nothing parsed and nothing allocated.
void procStatAndEveryProcessStat(benchmark::State& state) {
  std::size_t processes = 0;
  for (auto _ : state) {
    std::size_t bytes = readAndDiscard("/proc/stat");
    processes = 0;
    DIR* proc = ::opendir("/proc");
    while (const dirent* entry = ::readdir(proc)) {
      if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
      char path[sizeof entry->d_name + 16];
      std::snprintf(path, sizeof path, "/proc/%s/stat", entry->d_name);
      bytes += readAndDiscard(path);
      ++processes;
    }
    ::closedir(proc);
    benchmark::DoNotOptimize(bytes);
  }
  state.counters["processes"] = static_cast<double>(processes);
}
BENCHMARK(procStatAndEveryProcessStat)->Unit(benchmark::kMicrosecond);

// A whole refresh of the live machine as the application runs it: processes collected with normalized
// shares, load, tasks and threads, the store written, the cores rebuilt with their loads.
void refreshWithProcessCollection(benchmark::State& state) {
  Orvane::ProcessorController controller;
  controller.setCollectProcessInformation(true);
  controller.setNormalize(true);
  controller.refresh(0);
  for (auto _ : state) controller.refresh(1);
  state.counters["processes"] = static_cast<double>(controller.processes().size());
}
BENCHMARK(refreshWithProcessCollection)->Unit(benchmark::kMicrosecond);

// The same without the process list: load, tasks and threads (each process's stat, no statm), cores.
void refreshWithoutProcessCollection(benchmark::State& state) {
  Orvane::ProcessorController controller;
  controller.refresh(0);
  for (auto _ : state) controller.refresh(1);
}
BENCHMARK(refreshWithoutProcessCollection)->Unit(benchmark::kMicrosecond);

}  // namespace
