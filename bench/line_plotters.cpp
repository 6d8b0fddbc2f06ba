#include <benchmark/benchmark.h>

#include <chrono>
#include <cmath>
#include <memory>
#include <vector>

#include "Platform/Dispatch/RunLoop.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/CurvedLinePlotter.hpp"
#include "Tavrix/Graph/GraphView.hpp"
#include "Tavrix/Graph/PositiveNegativePlotter.hpp"
#include "Tavrix/Graph/StraightLinePlotter.hpp"

// The three line plotters side by side, each alone in a 400 x 150 graph view with four dashed rows, no
// labels and a fixed range of 0...100: curved and straight with their areas, positive/negative against 50.
namespace {

std::vector<platform::ColorRef> lineColors() {
  return {Tavrix::Colors::gradientStart(), Tavrix::Colors::gradientEnd()};
}

std::shared_ptr<Tavrix::CurvedLinePlotter> makePlotter(const Tavrix::CurvedLinePlotter*) {
  return std::make_shared<Tavrix::CurvedLinePlotter>(lineColors());
}

std::shared_ptr<Tavrix::StraightLinePlotter> makePlotter(const Tavrix::StraightLinePlotter*) {
  return std::make_shared<Tavrix::StraightLinePlotter>(lineColors());
}

std::shared_ptr<Tavrix::PositiveNegativePlotter> makePlotter(const Tavrix::PositiveNegativePlotter*) {
  auto plotter = std::make_shared<Tavrix::PositiveNegativePlotter>(Tavrix::SystemColors::systemGreen(),
                                                                   Tavrix::SystemColors::systemRed());
  plotter->setInitial(50);
  return plotter;
}

template <typename Plotter>
struct Graph {
  Graph() {
    Tavrix::GridOptions& grid = view->gridOptions();
    grid.drawTopLine = false;
    grid.drawBottomLine = false;
    grid.verticalSegments = 0;
    grid.lineDashPattern = std::vector<double>{2, 2};
    view->setScaleMode(Tavrix::ScaleMode::none);
    view->setMaxValue(100);
    view->setLabelsEnabled(false);
    view->addPlotter(plotter);
  }

  std::shared_ptr<Tavrix::GraphView> view =
      platform::View::create<Tavrix::GraphView>(platform::Rect(0, 0, 400, 150));
  std::shared_ptr<Plotter> plotter = makePlotter(static_cast<const Plotter*>(nullptr));
};

// Sixty samples of a processor-load history, shifted by one sample per tick.
Tavrix::PlotterData samples(int tick) {
  Tavrix::PlotterData data;
  for (int i = 0; i < 60; ++i) {
    data.push_back(50 + 40 * std::sin((i + tick) * 0.37) * std::cos((i + tick) * 0.11));
  }
  return data;
}

// One tick: the new series through update(), then the redraw it queues, run by one pass of the main loop.
template <typename Plotter>
void updateAndRedraw(benchmark::State& state) {
  Graph<Plotter> graph;
  int tick = 0;
  for (auto _ : state) {
    graph.plotter->update(samples(++tick));
    platform::RunLoop::main().runOnce(std::chrono::nanoseconds(0));
    benchmark::DoNotOptimize(graph.plotter->strokeLayer());
  }
  if (graph.plotter->strokeLayer()->gradientLayer()->superlayer() != graph.view->layer()) {
    state.SkipWithError("the queued redraw did not run");
  }
}
BENCHMARK(updateAndRedraw<Tavrix::CurvedLinePlotter>);
BENCHMARK(updateAndRedraw<Tavrix::StraightLinePlotter>);
BENCHMARK(updateAndRedraw<Tavrix::PositiveNegativePlotter>);

// The drawn view rendered into a new image at one pixel per point.
template <typename Plotter>
void render(benchmark::State& state) {
  Graph<Plotter> graph;
  graph.plotter->update(samples(0));
  platform::RunLoop::main().runOnce(std::chrono::nanoseconds(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(platform::ViewRenderer::image(*graph.view, 1));
  }
}
BENCHMARK(render<Tavrix::CurvedLinePlotter>);
BENCHMARK(render<Tavrix::StraightLinePlotter>);
BENCHMARK(render<Tavrix::PositiveNegativePlotter>);

}  // namespace
