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

namespace {

// A history graph as the application sets one up: a 400 x 150 graph view with four dashed rows, no labels,
// a fixed maximum of 100, and one curved line plotter with a filled area and no line.
struct HistoryGraph {
  HistoryGraph() {
    Tavrix::GridOptions& grid = view->gridOptions();
    grid.drawTopLine = false;
    grid.drawBottomLine = false;
    grid.verticalSegments = 0;
    grid.horizontalSegments = 4;
    grid.color = Tavrix::SystemColors::tertiaryLabelColor()->withAlphaComponent(0.3);
    grid.lineDashPattern = std::vector<double>{2, 2};
    grid.lineDashPhase = 3;
    view->fontOptions().showMinValue = false;
    view->fontOptions().showHalfValue = false;
    view->fontOptions().showMaxValue = false;
    view->setScaleMode(Tavrix::ScaleMode::none);
    view->setAutoCalculateMax(false);
    view->setMaxValue(100);
    plotter->setLineWidth(0);
    view->addPlotter(plotter);
    view->refresh();
  }

  std::shared_ptr<Tavrix::GraphView> view =
      platform::View::create<Tavrix::GraphView>(platform::Rect(0, 0, 400, 150));
  std::shared_ptr<Tavrix::CurvedLinePlotter> plotter = std::make_shared<Tavrix::CurvedLinePlotter>(
      std::vector<platform::ColorRef>{Tavrix::Colors::gradientStart(), Tavrix::Colors::gradientEnd()});
};

// Sixty samples of a processor-load history, shifted by one sample per tick.
Tavrix::PlotterData samples(int tick) {
  Tavrix::PlotterData data;
  for (int i = 0; i < 60; ++i) {
    data.push_back(50 + 40 * std::sin((i + tick) * 0.37) * std::cos((i + tick) * 0.11));
  }
  return data;
}

// One tick of a history graph: the new series through update(), then the redraw it queues, run by one
// pass of the main loop.
void updateAndRedraw(benchmark::State& state) {
  HistoryGraph graph;
  int tick = 0;
  for (auto _ : state) {
    graph.plotter->update(samples(++tick));
    platform::RunLoop::main().runOnce(std::chrono::nanoseconds(0));
    benchmark::DoNotOptimize(graph.plotter->fillLayer());
  }
  if (graph.plotter->fillLayer()->gradientLayer()->superlayer() != graph.view->layer()) {
    state.SkipWithError("the queued redraw did not run");
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(updateAndRedraw);

// The drawn graph rendered into a new image, at one and at two pixels per point.
void render(benchmark::State& state) {
  HistoryGraph graph;
  graph.plotter->update(samples(0));
  platform::RunLoop::main().runOnce(std::chrono::nanoseconds(0));
  const double scale = static_cast<double>(state.range(0));
  for (auto _ : state) {
    benchmark::DoNotOptimize(platform::ViewRenderer::image(*graph.view, scale));
  }
  state.SetItemsProcessed(state.iterations());
}
BENCHMARK(render)->Arg(1)->Arg(2);

}  // namespace
