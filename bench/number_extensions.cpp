// Cost of the locale-aware number texts that make a new formatter for every call: grouped integers and
// two cut fraction digits, beside one kept formatter of the same settings as the floor.
#include <benchmark/benchmark.h>

#include <cstdint>

#include "Bexlan/Double.hpp"
#include "Bexlan/Int.hpp"
#include "Platform/Foundation/NumberFormatter.hpp"
#include "Platform/Foundation/Region.hpp"

namespace {

void formattedWithSeparator(benchmark::State& state) {
  platform::ScopedRegion region("en_US", "UTC", {"en"});
  std::int64_t value = 1234567;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Bexlan::Int::formattedWithSeparator(value));
    ++value;
  }
}
BENCHMARK(formattedWithSeparator);

void keptGroupingFormatter(benchmark::State& state) {
  platform::ScopedRegion region("en_US", "UTC", {"en"});
  platform::NumberFormatter formatter;
  formatter.setUsesGrouping(true);
  std::int64_t value = 1234567;
  for (auto _ : state) {
    benchmark::DoNotOptimize(formatter.string(value));
    ++value;
  }
}
BENCHMARK(keptGroupingFormatter);

void formatted2(benchmark::State& state) {
  platform::ScopedRegion region("en_US", "UTC", {"en"});
  double value = 1234.5678;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Bexlan::Double::formatted2(value));
    value += 0.01;
  }
}
BENCHMARK(formatted2);

}  // namespace
