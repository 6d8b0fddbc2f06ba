#include <benchmark/benchmark.h>

#include "Orvane/ProcessorController.hpp"

namespace {

// A refresh without the process list: load, tasks and threads (each process's stat, no statm), cores. The
// refresh with the list, and its floor, are in full_tick.cpp, with child processes.
void refreshWithoutProcessCollection(benchmark::State& state) {
  Orvane::ProcessorController controller;
  controller.refresh(0);
  for (auto _ : state) controller.refresh(1);
}
BENCHMARK(refreshWithoutProcessCollection)->Unit(benchmark::kMicrosecond);

}  // namespace
