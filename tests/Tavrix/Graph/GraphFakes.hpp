#pragma once

#include <chrono>
#include <memory>
#include <utility>
#include <vector>

#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/Dispatch/RunLoop.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/Rgba.hpp"
#include "Platform/UI/View.hpp"
#include "Tavrix/Controls/ScaleMode.hpp"
#include "Tavrix/Graph/GraphView.hpp"
#include "Tavrix/Graph/IAxis.hpp"
#include "Tavrix/Graph/IDataPlotter.hpp"
#include "Tavrix/Graph/PlotterDelegate.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace graphtest {

// Runs the main loop until every block queued on the main queue so far has run.
inline bool drainMainQueue() {
  auto done = std::make_shared<bool>(false);
  platform::DispatchQueue::main().async([done] { *done = true; });
  return platform::RunLoop::main().runUntil([done] { return *done; }, std::chrono::seconds(5));
}

// A graph view of the size with its default grid, labels and range.
inline std::shared_ptr<Tavrix::GraphView> graphView(double width = 200, double height = 100) {
  return platform::View::create<Tavrix::GraphView>(platform::Rect(0, 0, width, height));
}

// A graph view with no grid and no labels, its maximum stored as given and its minimum 0.
inline std::shared_ptr<Tavrix::GraphView> bareGraph(double width, double height, double max) {
  auto graph = graphView(width, height);
  graph->gridOptions().drawTopLine = false;
  graph->gridOptions().drawBottomLine = false;
  graph->gridOptions().verticalSegments = 0;
  graph->gridOptions().horizontalSegments = 0;
  graph->setScaleMode(Tavrix::ScaleMode::none);
  graph->setMaxValue(max);
  graph->setLabelsEnabled(false);
  return graph;
}

// The pixel of a picture at (x, y) in points, y down from the top as the plotters place things.
inline platform::Rgba pixelBelowTop(const platform::Image& image, double x, double y) {
  return platform::test::pixelAt(image, x, image.pixelHeight() / image.scale() - y);
}

// One call of draw as a plotter received it.
struct DrawCall {
  std::shared_ptr<platform::Layer> layer;
  double min = 0;
  double max = 0;
  double bottomInset = 0;
};

// A plotter that records what the graph view asks of it.
class RecordingPlotter : public Tavrix::IDataPlotter, public std::enable_shared_from_this<RecordingPlotter> {
 public:
  explicit RecordingPlotter(Tavrix::PlotterData data = {}) : data_(std::move(data)) {}

  const Tavrix::PlotterData& data() const override { return data_; }
  std::shared_ptr<Tavrix::PlotterDelegate> delegate() const override { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<Tavrix::PlotterDelegate>& delegate) override {
    delegate_ = delegate;
  }
  void update(Tavrix::PlotterData data) override {
    data_ = std::move(data);
    if (auto delegate = delegate_.lock()) delegate->plotterDidUpdateData(shared_from_this());
  }
  void draw(const std::shared_ptr<platform::Layer>& layer, double min, double max, double inset) override {
    draws.push_back({layer, min, max, inset});
  }
  void clear() override {
    ++clears;
    data_.clear();
    delegate_.reset();
  }

  std::vector<DrawCall> draws;
  int clears = 0;

 private:
  Tavrix::PlotterData data_;
  std::weak_ptr<Tavrix::PlotterDelegate> delegate_;
};

// An axis of a fixed height that records its draws and clears.
class RecordingAxis : public Tavrix::IAxis {
 public:
  explicit RecordingAxis(double height) : height_(height) {}

  double height() const override { return height_; }
  void draw(const std::shared_ptr<platform::Layer>& layer, double lineWidth) override {
    draws.emplace_back(layer, lineWidth);
  }
  void clear() override { ++clears; }

  std::vector<std::pair<std::shared_ptr<platform::Layer>, double>> draws;
  int clears = 0;

 private:
  double height_;
};

}  // namespace graphtest
