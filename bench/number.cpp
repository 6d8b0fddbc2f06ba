#include "Platform/Foundation/Number.hpp"

#include <benchmark/benchmark.h>

#include <cstdint>
#include <cstdio>
#include <functional>

#include "Platform/Foundation/TextFormat.hpp"

namespace {

using platform::Number;

void numberDescription(benchmark::State& state) {
  const Number number = Number::of(1234.5678);
  for (auto _ : state) benchmark::DoNotOptimize(number.description());
}
BENCHMARK(numberDescription);

void shortestDouble(benchmark::State& state) {
  double value = 0.1;
  for (auto _ : state) {
    benchmark::DoNotOptimize(value);
    benchmark::DoNotOptimize(platform::shortestDouble(value));
  }
}
BENCHMARK(shortestDouble);

// The price of switching the thread to the C locale and back, against a bare snprintf.
void formatCTwoDecimals(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(platform::formatC("%.2f MB/s", 12.345));
}
BENCHMARK(formatCTwoDecimals);

void snprintfTwoDecimals(benchmark::State& state) {
  char buffer[64];
  for (auto _ : state) {
    std::snprintf(buffer, sizeof buffer, "%.2f MB/s", 12.345);
    benchmark::DoNotOptimize(buffer);
  }
}
BENCHMARK(snprintfTwoDecimals);

void compareIntegerWithDouble(benchmark::State& state) {
  Number integer = Number::of(std::int64_t{1} << 53);
  Number floating = Number::of(0x1p53 + 0.5);
  for (auto _ : state) {
    benchmark::DoNotOptimize(integer);
    benchmark::DoNotOptimize(floating);
    benchmark::DoNotOptimize(integer < floating);
  }
}
BENCHMARK(compareIntegerWithDouble);

void hashNumber(benchmark::State& state) {
  Number number = Number::of(42.0);
  const std::hash<Number> hash;
  for (auto _ : state) {
    benchmark::DoNotOptimize(number);
    benchmark::DoNotOptimize(hash(number));
  }
}
BENCHMARK(hashNumber);

}  // namespace
