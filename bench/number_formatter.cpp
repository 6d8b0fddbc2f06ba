// Cost of one locale-aware number text: with a formatter made for the call (as code that builds a new
// formatter per text does) and with one formatter kept and reused.
#include <benchmark/benchmark.h>

#include "Platform/Foundation/NumberFormatter.hpp"
#include "Platform/Foundation/Region.hpp"

namespace {

platform::NumberFormatter twoDigitsDown() {
  platform::NumberFormatter formatter;
  formatter.setMinimumFractionDigits(2);
  formatter.setMaximumFractionDigits(2);
  formatter.setRoundingMode(platform::NumberFormatter::RoundingMode::down);
  return formatter;
}

void newFormatterPerCall(benchmark::State& state) {
  platform::ScopedRegion region("en_US", "UTC", {"en"});
  double value = 1234.5678;
  for (auto _ : state) {
    benchmark::DoNotOptimize(twoDigitsDown().string(value));
    value += 0.01;
  }
}
BENCHMARK(newFormatterPerCall);

void reusedFormatter(benchmark::State& state) {
  platform::ScopedRegion region("en_US", "UTC", {"en"});
  const platform::NumberFormatter formatter = twoDigitsDown();
  double value = 1234.5678;
  for (auto _ : state) {
    benchmark::DoNotOptimize(formatter.string(value));
    value += 0.01;
  }
}
BENCHMARK(reusedFormatter);

// The reused formatter when the locale comes from the environment (no override): each text reads the
// locale variables again.
void reusedFormatterFollowingTheEnvironment(benchmark::State& state) {
  const platform::NumberFormatter formatter = twoDigitsDown();
  double value = 1234.5678;
  for (auto _ : state) {
    benchmark::DoNotOptimize(formatter.string(value));
    value += 0.01;
  }
}
BENCHMARK(reusedFormatterFollowingTheEnvironment);

}  // namespace
