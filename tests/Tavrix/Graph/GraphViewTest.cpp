#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "Platform/UI/View.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Graph/CurvedLinePlotter.hpp"
#include "Tavrix/Graph/GraphView.hpp"
#include "tests/Tavrix/Graph/GraphFakes.hpp"

namespace {

using graphtest::drainMainQueue;
using graphtest::RecordingAxis;
using graphtest::RecordingPlotter;
using Tavrix::GraphView;

std::shared_ptr<GraphView> makeView() {
  return platform::View::create<GraphView>(platform::Rect(0, 0, 200, 100));
}

std::shared_ptr<Tavrix::CurvedLinePlotter> makeCurvedPlotter() {
  return std::make_shared<Tavrix::CurvedLinePlotter>(
      std::vector<platform::ColorRef>{Tavrix::Colors::gradientStart(), Tavrix::Colors::gradientEnd()});
}

// A plotter without data is drawn at once. New data recomputes the maximum at once; the drawing waits for
// the main queue and reads the range as it is when it runs.
TEST(GraphViewTest, NewDataIsDrawnWhenTheMainLoopRuns) {
  const auto view = makeView();
  view->setAutoCalculateMax(true);
  const auto plotter = std::make_shared<RecordingPlotter>();
  view->addPlotter(plotter);
  EXPECT_EQ(plotter->delegate(), view);
  ASSERT_EQ(plotter->draws.size(), 1u);
  EXPECT_EQ(plotter->draws[0].layer, view->layer());

  plotter->update({std::nullopt, 95});
  EXPECT_EQ(view->maxValue(), 110);
  EXPECT_EQ(plotter->draws.size(), 1u);
  view->setMinValue(37);
  ASSERT_TRUE(drainMainQueue());
  ASSERT_EQ(plotter->draws.size(), 2u);
  EXPECT_EQ(plotter->draws[1].min, 30);
  EXPECT_EQ(plotter->draws[1].max, 110);

  // A plotter added with data goes the same way.
  const auto second = std::make_shared<RecordingPlotter>(Tavrix::PlotterData{420});
  view->addPlotter(second);
  EXPECT_EQ(view->maxValue(), 430);
  EXPECT_TRUE(second->draws.empty());
  ASSERT_TRUE(drainMainQueue());
  EXPECT_EQ(second->draws.size(), 1u);
  EXPECT_EQ(view->secondPlotter(), second);
  EXPECT_EQ(view->thirdPlotter(), nullptr);
}

// A curved plotter's update() and points reach the layer tree on the next turn of the main loop; from
// another thread the whole step (store, maximum, drawing) waits for the main thread.
TEST(GraphViewTest, CurvedPlotterUpdatesFromAnyThread) {
  const auto view = makeView();
  view->setAutoCalculateMax(true);
  const auto plotter = makeCurvedPlotter();
  view->addPlotter(plotter);
  std::thread([plotter] { plotter->update({10, 95}); }).join();
  EXPECT_TRUE(plotter->data().empty());
  EXPECT_EQ(view->maxValue(), 100);
  ASSERT_TRUE(drainMainQueue());
  EXPECT_EQ(view->maxValue(), 110);
  EXPECT_EQ(plotter->strokeLayer()->gradientLayer()->superlayer(), nullptr);
  ASSERT_TRUE(drainMainQueue());
  EXPECT_EQ(plotter->strokeLayer()->gradientLayer()->superlayer(), view->layer());

  const auto before = plotter->strokeLayer();
  plotter->setPoints({{50, 50}});
  EXPECT_EQ(plotter->strokeLayer(), before);
  ASSERT_TRUE(drainMainQueue());
  EXPECT_NE(plotter->strokeLayer(), before);
}

// A refresh draws the grid, the plotters and the axis (given the grid's line width); assigning another axis
// clears the old one; reverseCoordinates lays out again. Leaving the superview clears every plotter and the
// axis (twice: directly, then as the previous axis).
TEST(GraphViewTest, RefreshDrawsPlottersAndAxisAndLeavingTheSuperviewClearsThem) {
  const auto parent = platform::View::create(platform::Rect(0, 0, 300, 300));
  const auto view =
      std::dynamic_pointer_cast<GraphView>(platform::ViewClass::make("GraphView", {0, 0, 200, 100}));
  ASSERT_NE(view, nullptr);
  parent->addSubview(view);
  const auto plotter = std::make_shared<RecordingPlotter>();
  const auto former = std::make_shared<RecordingAxis>(10);
  const auto axis = std::make_shared<RecordingAxis>(20);
  view->addPlotter(plotter);
  view->setAxisX(former);
  view->setAxisX(axis);
  EXPECT_EQ(former->clears, 1);
  const std::size_t draws = plotter->draws.size();
  view->refresh();
  EXPECT_EQ(plotter->draws.size(), draws + 1);
  EXPECT_EQ(plotter->draws.back().bottomInset, 20);
  EXPECT_EQ(axis->draws.back().second, view->gridOptions().gridLineWidth);
  EXPECT_EQ(view->layer()->sublayers()->front(), view->bottomLineLayer());
  view->setReverseCoordinates(false);
  EXPECT_FALSE(view->isFlipped());
  EXPECT_EQ(plotter->draws.size(), draws + 2);

  view->removeFromSuperview();
  EXPECT_EQ(view->plotterCount(), 0u);
  EXPECT_EQ(view->axisX(), nullptr);
  EXPECT_EQ(plotter->clears, 1);
  EXPECT_EQ(plotter->delegate(), nullptr);
  EXPECT_EQ(axis->clears, 2);
}

}  // namespace
