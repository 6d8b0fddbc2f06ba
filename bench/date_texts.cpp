// Cost of one relative-time text and one today/yesterday text, each reading the clock, region, calendar
// and string table afresh as every call does.
#include <benchmark/benchmark.h>

#include "Bexlan/DateUtilities.hpp"
#include "Platform/Foundation/Clock.hpp"
#include "Platform/Foundation/Region.hpp"

namespace {

constexpr double now = 1700000000;  // 2023-11-14 22:13:20 UTC

void relativeTimeString(benchmark::State& state) {
  platform::ScopedRegion region("en_US", "Europe/Berlin", {"en"});
  platform::Clock::Override clock(now, 0);
  double elapsed = 7300;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Bexlan::DateUtilities::relativeTimeString(Bexlan::Date(now - elapsed)));
    elapsed = elapsed < 86000 ? elapsed + 1 : 7300;
  }
}
BENCHMARK(relativeTimeString);

void dayTimeString(benchmark::State& state) {
  platform::ScopedRegion region("en_US", "Europe/Berlin", {"en"});
  platform::Clock::Override clock(now, 0);
  double when = now - 3600;
  for (auto _ : state) {
    benchmark::DoNotOptimize(Bexlan::DateUtilities::dayTimeString(when));
    when = when > now - 40000 ? when - 60 : now - 3600;
  }
}
BENCHMARK(dayTimeString);

}  // namespace
