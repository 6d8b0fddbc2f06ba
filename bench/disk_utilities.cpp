// Byte and rate texts, as formatted on every refresh tick for each displayed size and rate.
#include <benchmark/benchmark.h>

#include <array>
#include <cstdint>
#include <string>

#include "Bexlan/DiskUtilities.hpp"

namespace {

using Bexlan::DiskUtilities;

// Sizes and rates from every step: bytes, kilobytes (whole-number texts), megabytes and up (printf texts).
constexpr std::array<std::uint64_t, 8> kCounts{
    512, 48'000, 1'500'000, 12'939'428, 350'000'000, 3'221'225'472, 5'000'000'000'000, 1'200'000'000'000'000};

// Counts below one megabyte only: the whole-number texts that need no printf.
constexpr std::array<std::uint64_t, 4> kSmallCounts{0, 512, 48'000, 1'000'000};

// Counts from one megabyte up: the texts with decimals.
constexpr std::array<std::uint64_t, 4> kLargeCounts{1'500'000, 12'939'428, 350'000'000, 3'221'225'472};

template <std::size_t N, class Format>
void run(benchmark::State& state, const std::array<std::uint64_t, N>& counts, Format format) {
  std::size_t i = 0;
  for (auto _ : state) {
    std::string text = format(counts[i++ % N]);
    benchmark::DoNotOptimize(text);
  }
}

void BytesString(benchmark::State& state) { run(state, kCounts, DiskUtilities::bytesString); }

void RateStringBytes(benchmark::State& state) {
  run(state, kCounts, [](std::uint64_t n) { return DiskUtilities::rateString(n, false); });
}

void RateStringBits(benchmark::State& state) {
  run(state, kCounts, [](std::uint64_t n) { return DiskUtilities::rateString(n, true); });
}

void RateStringBytesWholeNumbers(benchmark::State& state) {
  run(state, kSmallCounts, [](std::uint64_t n) { return DiskUtilities::rateString(n, false); });
}

void RateStringBytesDecimals(benchmark::State& state) {
  run(state, kLargeCounts, [](std::uint64_t n) { return DiskUtilities::rateString(n, false); });
}

void RateStringVariantBits(benchmark::State& state) {
  run(state, kCounts, [](std::uint64_t n) { return DiskUtilities::rateStringVariant(n, true); });
}

void RateStringInterval(benchmark::State& state) {
  run(state, kCounts, [](std::uint64_t n) { return DiskUtilities::rateString(n, false, 1.0017); });
}

void RateStringVariantInterval(benchmark::State& state) {
  run(state, kCounts, [](std::uint64_t n) { return DiskUtilities::rateStringVariant(n, true, 1.0017); });
}

BENCHMARK(BytesString);
BENCHMARK(RateStringBytes);
BENCHMARK(RateStringBits);
BENCHMARK(RateStringBytesWholeNumbers);
BENCHMARK(RateStringBytesDecimals);
BENCHMARK(RateStringVariantBits);
BENCHMARK(RateStringInterval);
BENCHMARK(RateStringVariantInterval);

}  // namespace
