#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Graph/BarPlotter.hpp"
#include "Tavrix/Graph/CapsulePlotter.hpp"
#include "Tavrix/Graph/ColorizedSegmentPlotter.hpp"
#include "Tavrix/Graph/GradientBarPlotter.hpp"
#include "Tavrix/Graph/GraphView.hpp"
#include "Tavrix/Graph/MultiColorBarPlotter.hpp"

// The bar plotters and the colour segment plotter drawing into a 400 x 150 graph view with a fixed range of
// 0...100, no grid and no labels.
namespace {

std::vector<platform::ColorRef> gradient() {
  return {Tavrix::Colors::gradientStart(), Tavrix::Colors::gradientEnd()};
}

std::shared_ptr<Tavrix::GraphView> graphView() {
  auto view = platform::View::create<Tavrix::GraphView>(platform::Rect(0, 0, 400, 150));
  view->gridOptions().drawTopLine = false;
  view->gridOptions().drawBottomLine = false;
  view->gridOptions().verticalSegments = 0;
  view->gridOptions().horizontalSegments = 0;
  view->setScaleMode(Tavrix::ScaleMode::none);
  view->setMaxValue(100);
  view->setLabelsEnabled(false);
  return view;
}

Tavrix::PlotterData samples(int count) {
  Tavrix::PlotterData data;
  for (int i = 0; i < count; ++i) {
    data.push_back(50 + 40 * std::sin(i * 0.37));
  }
  return data;
}

// One draw of 60 bars: the previous bars removed and new ones built.
void drawBars(benchmark::State& state, const std::shared_ptr<Tavrix::BarSeriesPlotter>& plotter) {
  const auto view = graphView();
  plotter->update(samples(60));
  for (auto _ : state) {
    plotter->draw(view->layer(), 0, 100, 0);
  }
}
BENCHMARK_CAPTURE(drawBars, bars, std::make_shared<Tavrix::BarPlotter>(Tavrix::Colors::gradientStart()));
BENCHMARK_CAPTURE(drawBars, multicolor, std::make_shared<Tavrix::MultiColorBarPlotter>(gradient()));
BENCHMARK_CAPTURE(drawBars, gradient, std::make_shared<Tavrix::GradientBarPlotter>(gradient()));
BENCHMARK_CAPTURE(drawBars, capsules, std::make_shared<Tavrix::CapsulePlotter>(gradient()));

// The view with 60 gradient bars rendered into a new image at one pixel per point.
void renderGradientBars(benchmark::State& state) {
  const auto view = graphView();
  const auto plotter = std::make_shared<Tavrix::GradientBarPlotter>(gradient());
  plotter->update(samples(60));
  view->addPlotter(plotter);
  plotter->draw(view->layer(), 0, 100, 0);
  for (auto _ : state) {
    benchmark::DoNotOptimize(platform::ViewRenderer::image(*view, 1));
  }
}
BENCHMARK(renderGradientBars);

// 1,000 samples alternating between two ranges: a shape per sample.
void drawAlternatingSegments(benchmark::State& state) {
  const auto view = graphView();
  Tavrix::PlotterData data;
  for (int i = 0; i < 1000; ++i) {
    data.push_back(i % 2 == 0 ? 25 : 75);
  }
  const auto plotter = std::make_shared<Tavrix::ColorizedSegmentPlotter>(
      Tavrix::ColorRanges{std::make_shared<Tavrix::ColorRange>(0, 50, platform::Color::red()),
                          std::make_shared<Tavrix::ColorRange>(50, 100, platform::Color::green())},
      data);
  for (auto _ : state) {
    plotter->draw(view->layer(), 0, 100, 0);
  }
  if (plotter->segmentLayers().size() != 1000) {
    state.SkipWithError("expected a shape per sample");
  }
}
BENCHMARK(drawAlternatingSegments);

}  // namespace
