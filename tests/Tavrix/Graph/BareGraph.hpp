#pragma once

#include <memory>

#include "Platform/UI/View.hpp"
#include "Tavrix/Controls/ScaleMode.hpp"
#include "Tavrix/Graph/GraphView.hpp"

namespace graphtest {

// A graph view with no grid and no labels, its maximum stored as given and its minimum 0.
inline std::shared_ptr<Tavrix::GraphView> bareGraph(double width, double height, double max) {
  auto graph = platform::View::create<Tavrix::GraphView>(platform::Rect(0, 0, width, height));
  graph->gridOptions().drawTopLine = false;
  graph->gridOptions().drawBottomLine = false;
  graph->gridOptions().verticalSegments = 0;
  graph->gridOptions().horizontalSegments = 0;
  graph->setScaleMode(Tavrix::ScaleMode::none);
  graph->setMaxValue(max);
  graph->setLabelsEnabled(false);
  return graph;
}

}  // namespace graphtest
