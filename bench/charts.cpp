#include <benchmark/benchmark.h>

#include <cmath>
#include <memory>
#include <vector>

#include "Platform/UI/Event.hpp"
#include "Platform/UI/EventHarness.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Graph/DoubleBarGraph.hpp"
#include "Tavrix/Graph/HistoryView.hpp"

namespace {

// A processor history of 60 samples, shifted by `tick`.
std::vector<double> history(int tick) {
  std::vector<double> values;
  for (int index = 0; index < 60; ++index) {
    values.push_back(50 + 45 * std::sin((index + tick) * 0.25));
  }
  return values;
}

// One tick of a history view: a new series of the same length, so only the lit squares are rebuilt.
void historyRedraw(benchmark::State& state) {
  auto view = platform::View::create<Tavrix::HistoryView>(platform::Rect(0, 0, 300, 48));
  const std::vector<double> series[] = {history(0), history(1)};
  int tick = 0;
  for (auto _ : state) {
    view->setData(series[++tick % 2]);
    benchmark::DoNotOptimize(view->gradientLayer()->mask().get());
  }
}
BENCHMARK(historyRedraw)->Unit(benchmark::kMicrosecond);

// Twelve months of download and upload totals.
std::shared_ptr<Tavrix::DoubleBarGraph> yearGraph() {
  auto graph = platform::View::create<Tavrix::DoubleBarGraph>(platform::Rect(0, 0, 600, 240));
  std::vector<Tavrix::DoubleBarGraph::Pair> data;
  std::vector<std::string> months;
  for (int month = 0; month < 12; ++month) {
    data.emplace_back(1'000'000'000ull * (month + 3), 400'000'000ull * (14 - month));
    months.push_back("M" + std::to_string(month + 1));
  }
  graph->setData(data);
  graph->setLegendLabelsX(months);
  graph->setLegendLabelsY({"0", "3.5 GB", "7 GB", "10.5 GB", "14 GB"});
  return graph;
}

// The whole chart drawn (display pass) and rendered into a new image at scale 1.
void doubleBarGraphDisplayAndRender(benchmark::State& state) {
  auto graph = yearGraph();
  for (auto _ : state) {
    graph->setNeedsDisplay(true);
    const auto image = platform::ViewRenderer::image(*graph, 1);
    benchmark::DoNotOptimize(image->surface());
  }
}
BENCHMARK(doubleBarGraphDisplayAndRender)->Unit(benchmark::kMicrosecond);

// One pointer move handled by the chart: within one column (argument 0), or to the next column and back
// (argument 1, a hover change that marks the whole view).
void doubleBarGraphHoverMove(benchmark::State& state) {
  auto graph = yearGraph();
  const bool crossColumns = state.range(0) == 1;
  platform::Event moves[2];
  moves[0].locationInWindow = {100, 100};
  moves[1].locationInWindow = {crossColumns ? 160.0 : 104.0, 100};
  int move = 0;
  for (auto _ : state) {
    graph->mouseMoved(moves[++move % 2]);
    benchmark::DoNotOptimize(graph->index());
  }
}
BENCHMARK(doubleBarGraphHoverMove)->Arg(0)->Arg(1)->Unit(benchmark::kNanosecond);

// The same move delivered by the event harness, which first checks every tracking area of the tree.
void doubleBarGraphHoverMoveThroughHarness(benchmark::State& state) {
  auto graph = yearGraph();
  platform::EventHarness pointer(graph);
  int move = 0;
  for (auto _ : state) {
    pointer.moveMouse({++move % 2 == 0 ? 100.0 : 104.0, 100});
  }
}
BENCHMARK(doubleBarGraphHoverMoveThroughHarness)->Unit(benchmark::kNanosecond);

}  // namespace
