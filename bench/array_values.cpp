// cgFloatValues over a history of 120 numbers (a graph's series), with the allocations each call makes.
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdlib>
#include <new>
#include <vector>

#include "Bexlan/Array.hpp"

namespace {

std::size_t allocations = 0;

}  // namespace

// The replaced operators pair with each other; GCC cannot see that malloc and free match here.
#pragma GCC diagnostic ignored "-Wmismatched-new-delete"

void* operator new(std::size_t size) {
  ++allocations;
  if (void* memory = std::malloc(size == 0 ? 1 : size)) return memory;
  throw std::bad_alloc();
}
void operator delete(void* memory) noexcept { std::free(memory); }
void operator delete(void* memory, std::size_t) noexcept { std::free(memory); }

namespace {

void CgFloatValues(benchmark::State& state) {
  std::vector<platform::Number> history;
  for (int i = 0; i < 120; ++i) history.push_back(platform::Number::of(i * 0.37));
  const std::size_t before = allocations;
  for (auto _ : state) {
    auto values = Bexlan::Array::cgFloatValues(history);
    benchmark::DoNotOptimize(values.data());
  }
  state.counters["allocations"] =
      benchmark::Counter(double(allocations - before), benchmark::Counter::kAvgIterations);
}
BENCHMARK(CgFloatValues);

}  // namespace
