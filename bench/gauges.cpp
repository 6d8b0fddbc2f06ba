#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/UI/ViewLoader.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Controls/DoubleGauge.hpp"
#include "Tavrix/Controls/Gauge.hpp"
#include "Tavrix/Controls/StackedSegmentView.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace {

template <class T>
std::shared_ptr<T> loaded(const std::string& className) {
  return std::dynamic_pointer_cast<T>(
      platform::ViewLoader::load({className, platform::Rect(0, 0, 100, 100), {}, {}}));
}

// One layout of a three-quarter gauge: two new ring layers.
void gaugeLayout(benchmark::State& state) {
  auto gauge = loaded<Tavrix::Gauge>("Gauge");
  gauge->setColor(Tavrix::SystemColors::systemGreen());
  gauge->setValue(0.6);
  for (auto _ : state) {
    gauge->layout();
    benchmark::DoNotOptimize(gauge->progressLayer().get());
  }
}
BENCHMARK(gaugeLayout)->Unit(benchmark::kMicrosecond);

std::shared_ptr<Tavrix::DoubleGauge> processorGauge() {
  auto gauge = loaded<Tavrix::DoubleGauge>("DoubleGauge");
  gauge->setColorInner(Tavrix::SystemColors::systemBlue());
  gauge->setColorOuter(Tavrix::SystemColors::systemOrange());
  gauge->setValue1(0.42);
  gauge->setValue2(0.17);
  return gauge;
}

// One layout of the two-ring gauge: four ring layers set up again.
void doubleGaugeLayout(benchmark::State& state) {
  auto gauge = processorGauge();
  for (auto _ : state) {
    gauge->layout();
    benchmark::DoNotOptimize(gauge->progressLayerOuter().get());
  }
}
BENCHMARK(doubleGaugeLayout)->Unit(benchmark::kMicrosecond);

// One rebuild of a memory bar of five shares.
void fiveShareRebuild(benchmark::State& state) {
  auto bar = platform::View::create<Tavrix::StackedSegmentView>(platform::Rect(0, 0, 300, 16));
  const std::vector<double> shares = {0.3, 0.15, 0.1, 0.05, 0.4};
  const std::vector<platform::ColorRef> colors = {
      Tavrix::SystemColors::systemBlue(), Tavrix::SystemColors::systemTeal(),
      Tavrix::SystemColors::systemOrange(), Tavrix::SystemColors::systemPink(),
      Tavrix::SystemColors::systemGray()};
  std::vector<Tavrix::StackedSegment> segments;
  for (std::size_t index = 0; index < shares.size(); ++index)
    segments.push_back({shares[index], colors[index]});
  bar->setSegments(segments);
  for (auto _ : state) {
    bar->rebuildLayers();
    benchmark::DoNotOptimize(bar->layers().data());
  }
}
BENCHMARK(fiveShareRebuild)->Unit(benchmark::kMicrosecond);

// The two-ring gauge, 100 x 100 points, laid out and rendered into a new image at scale 2.
void doubleGaugeRender(benchmark::State& state) {
  auto gauge = processorGauge();
  for (auto _ : state) {
    gauge->setNeedsLayout(true);
    const auto image = platform::ViewRenderer::image(*gauge, 2);
    benchmark::DoNotOptimize(image->surface());
  }
}
BENCHMARK(doubleGaugeRender)->Unit(benchmark::kMicrosecond);

}  // namespace
