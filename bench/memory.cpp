#include <benchmark/benchmark.h>

#include "Orvane/MemoryController.hpp"

namespace {

// One refresh of the live machine: /proc/meminfo and the zram devices read, seven entries written.
void memoryRefresh(benchmark::State& state) {
  Orvane::MemoryController controller;
  for (auto _ : state) controller.refresh(1);
}
BENCHMARK(memoryRefresh)->Unit(benchmark::kMicrosecond);

}  // namespace
