// The cost of thinning a series with tolerance 1, as the series extensions do: a 60-sample history (the
// size the monitors keep) and longer random walks, which show how the cost grows with the length.
#include <benchmark/benchmark.h>

#include <cstdint>
#include <random>
#include <vector>

#include "Bexlan/RamerDouglasPeucker.hpp"

namespace {

using Bexlan::Point;
using Bexlan::RamerDouglasPeucker;

// A random walk with steps of up to 4 either way, each sample at its position in the list.
std::vector<Point> randomWalk(int64_t count) {
  std::mt19937 random(42);
  std::uniform_real_distribution<double> step(-4, 4);
  std::vector<Point> series;
  double y = 50;
  for (int64_t i = 0; i < count; ++i) {
    series.push_back({double(i), y});
    y += step(random);
  }
  return series;
}

void SimplifyRandomWalk(benchmark::State& state) {
  const std::vector<Point> series = randomWalk(state.range(0));
  size_t kept = 0;
  for (auto _ : state) {
    const std::vector<Point> simplified = RamerDouglasPeucker::simplify(series, 1.0);
    kept = simplified.size();
    benchmark::DoNotOptimize(simplified.data());
  }
  state.counters["kept"] = double(kept);
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(SimplifyRandomWalk)->Arg(60)->Arg(1000)->Arg(10000);

}  // namespace
