#include <benchmark/benchmark.h>

#include <cmath>

#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/MediaClock.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"

namespace {

// A history-graph outline: one smooth cubic per sample across a 600-point-wide plot.
platform::Path plotterOutline(int samples) {
  platform::BezierPath path;
  path.move({0, 50});
  const double step = 600.0 / samples;
  for (int i = 1; i <= samples; ++i) {
    const double x = step * i;
    const double y = 50 + 40 * std::sin(i * 0.37);
    path.curve({x, y}, {x - step * 2 / 3, 50 + 40 * std::sin((i - 1) * 0.37)}, {x - step / 3, y});
  }
  return path.path();
}

void pathLength(benchmark::State& state) {
  const platform::Path outline = plotterOutline(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(outline.length());
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(pathLength)->Arg(60)->Arg(600);

void pathTrimmed(benchmark::State& state) {
  const platform::Path outline = plotterOutline(static_cast<int>(state.range(0)));
  for (auto _ : state) {
    benchmark::DoNotOptimize(outline.trimmed(0.1, 0.7));
  }
  state.SetItemsProcessed(state.iterations() * state.range(0));
}
BENCHMARK(pathTrimmed)->Arg(60)->Arg(600);

// The renderer's per-frame question for an animated progress ring.
void strokeEndPresentation(benchmark::State& state) {
  platform::ShapeLayer layer;
  platform::BasicAnimation animation;
  animation.keyPath = "strokeEnd";
  animation.fromValue = 0.0;
  animation.toValue = 0.8;
  animation.duration = 0.66;
  animation.timingFunction = platform::TimingFunction::named(platform::TimingFunctionName::easeInEaseOut);
  layer.addAnimation(animation, "strokeEnd");
  double time = platform::MediaClock::now();
  for (auto _ : state) {
    time += 0.001;
    benchmark::DoNotOptimize(layer.presentationValue("strokeEnd", time));
  }
}
BENCHMARK(strokeEndPresentation);

}  // namespace
