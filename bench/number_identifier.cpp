// The cost of writing a sample into a number entry (current number, history shift, minimum, maximum),
// of copying its history and of its display text; and the history's ring shift against the baseline it
// replaced, shifting a 60-sample vector by erasing its front.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <optional>
#include <vector>

#include "Bexlan/NumberIdentifier.hpp"
#include "Bexlan/SampleHistory.hpp"
#include "Platform/Foundation/Number.hpp"
#include "Platform/Foundation/Region.hpp"

namespace {

using Bexlan::IdentifierCategory;
using Bexlan::NumberIdentifier;

void SetDouble(benchmark::State& state) {
  NumberIdentifier entry("CPU_T", "Total", IdentifierCategory::percentage, true, 1);
  double sample = 0;
  for (auto _ : state) {
    entry.setDouble(sample);
    sample += 0.25;  // a new maximum on every call
  }
  benchmark::DoNotOptimize(entry.max());
}
BENCHMARK(SetDouble);

void SetUInt64(benchmark::State& state) {
  NumberIdentifier entry("M_F", "Free", IdentifierCategory::size, false);
  std::uint64_t sample = 1u << 30;
  for (auto _ : state) {
    entry.setUInt64(sample);
    sample ^= 0x5555;  // moves between two values: the extremes stay after the first two calls
  }
  benchmark::DoNotOptimize(entry.min());
}
BENCHMARK(SetUInt64);

void SetThroughTheOptionalSetter(benchmark::State& state) {
  NumberIdentifier entry("TASKS");
  std::int32_t sample = 0;
  for (auto _ : state) entry.setOptionalInt32(++sample);
  benchmark::DoNotOptimize(entry.value());
}
BENCHMARK(SetThroughTheOptionalSetter);

void CopyHistory(benchmark::State& state) {
  NumberIdentifier entry("CPU_T");
  for (int i = 0; i < 90; ++i) entry.setInt(i);  // the ring has wrapped
  for (auto _ : state) benchmark::DoNotOptimize(entry.history());
}
BENCHMARK(CopyHistory);

void PercentDescription(benchmark::State& state) {
  platform::ScopedRegion region("en_US", "UTC", {"en-US"});
  NumberIdentifier entry("CPU_T", "Total", IdentifierCategory::percentage, true, 1);
  entry.setDouble(12.34);
  for (auto _ : state) benchmark::DoNotOptimize(entry.description());
}
BENCHMARK(PercentDescription);

void RingShift(benchmark::State& state) {
  Bexlan::SampleHistory history(60);
  double sample = 0;
  for (auto _ : state) {
    history.shift(sample);
    sample += 1;
    benchmark::ClobberMemory();
  }
}
BENCHMARK(RingShift);

void BaselineVectorEraseFrontShift(benchmark::State& state) {
  std::vector<platform::Number> history(60, platform::Number::of(std::int64_t{0}));
  history.reserve(61);
  double sample = 0;
  for (auto _ : state) {
    history.erase(history.begin());
    history.push_back(platform::Number::of(sample));
    sample += 1;
    benchmark::ClobberMemory();
  }
}
BENCHMARK(BaselineVectorEraseFrontShift);

}  // namespace
