#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <optional>
#include <thread>
#include <vector>

#include "Platform/UI/View.hpp"
#include "Platform/UI/ViewRenderer.hpp"
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

TEST(GraphViewTest, APlotterWithoutDataIsDrawnAtOnce) {
  const auto view = makeView();
  const auto plotter = std::make_shared<RecordingPlotter>();
  view->addPlotter(plotter);
  EXPECT_EQ(plotter->delegate(), view);
  ASSERT_EQ(plotter->draws.size(), 1u);
  EXPECT_EQ(plotter->draws[0].layer, view->layer());
  EXPECT_EQ(plotter->draws[0].min, 0);
  EXPECT_EQ(plotter->draws[0].max, 100);
  EXPECT_EQ(plotter->draws[0].bottomInset, 0);
}

// New data recomputes the maximum at once; the drawing waits for the main queue and reads the range as it
// is when it runs.
TEST(GraphViewTest, NewDataIsDrawnWhenTheMainLoopRuns) {
  const auto view = makeView();
  view->setAutoCalculateMax(true);
  const auto plotter = std::make_shared<RecordingPlotter>(Tavrix::PlotterData{42});
  view->addPlotter(plotter);
  EXPECT_TRUE(plotter->draws.empty());
  EXPECT_EQ(view->maxValue(), 50);

  plotter->update({std::nullopt, 95});
  EXPECT_EQ(view->maxValue(), 110);
  EXPECT_TRUE(plotter->draws.empty());
  view->setMinValue(37);
  ASSERT_TRUE(drainMainQueue());
  ASSERT_EQ(plotter->draws.size(), 2u);
  EXPECT_EQ(plotter->draws[1].min, 30);
  EXPECT_EQ(plotter->draws[1].max, 110);

  // Without autoCalculateMax the range stays.
  view->setAutoCalculateMax(false);
  plotter->update({500});
  EXPECT_EQ(view->maxValue(), 110);
  ASSERT_TRUE(drainMainQueue());
  EXPECT_EQ(plotter->draws.size(), 3u);
}

// A curved plotter fed through update() draws its layers into the view on the next turn of the main loop.
TEST(GraphViewTest, CurvedPlotterUpdateReachesTheLayerTree) {
  const auto view = makeView();
  const auto plotter = std::make_shared<Tavrix::CurvedLinePlotter>(
      std::vector<platform::ColorRef>{Tavrix::Colors::gradientStart(), Tavrix::Colors::gradientEnd()});
  view->addPlotter(plotter);
  plotter->update({10, 80, 40});
  EXPECT_EQ(plotter->strokeLayer()->gradientLayer()->superlayer(), nullptr);
  ASSERT_TRUE(drainMainQueue());
  EXPECT_EQ(plotter->strokeLayer()->gradientLayer()->superlayer(), view->layer());
  EXPECT_EQ(plotter->fillLayer()->gradientLayer()->superlayer(), view->layer());

  // Points ask for a redraw the same way.
  const auto before = plotter->strokeLayer();
  plotter->setPoints({{50, 50}});
  EXPECT_EQ(plotter->strokeLayer(), before);
  ASSERT_TRUE(drainMainQueue());
  EXPECT_NE(plotter->strokeLayer(), before);
  EXPECT_EQ(plotter->calculatedPoints().size(), 1u);
}

// From another thread the whole step (store, maximum, drawing) waits for the main thread.
TEST(GraphViewTest, UpdatesFromAnotherThreadMoveToTheMainThread) {
  const auto view = makeView();
  view->setAutoCalculateMax(true);
  const auto plotter = std::make_shared<Tavrix::CurvedLinePlotter>(
      std::vector<platform::ColorRef>{Tavrix::Colors::gradientStart()});
  view->addPlotter(plotter);
  std::thread([plotter] { plotter->update({10, 95}); }).join();
  EXPECT_TRUE(plotter->data().empty());
  EXPECT_EQ(view->maxValue(), 100);
  ASSERT_TRUE(drainMainQueue());
  ASSERT_TRUE(drainMainQueue());
  EXPECT_EQ(plotter->data().size(), 2u);
  EXPECT_EQ(view->maxValue(), 110);
  EXPECT_EQ(plotter->strokeLayer()->gradientLayer()->superlayer(), view->layer());

  const auto recording = std::make_shared<RecordingPlotter>();
  view->addPlotter(recording);
  std::thread([view, recording] { view->plotterDidUpdateData(recording); }).join();
  EXPECT_EQ(recording->draws.size(), 1u);
  ASSERT_TRUE(drainMainQueue());
  ASSERT_TRUE(drainMainQueue());
  EXPECT_EQ(recording->draws.size(), 2u);
}

// A refresh draws the grid, the plotters in order and the axis, then the labels on top.
TEST(GraphViewTest, RefreshRebuildsEverythingInOrder) {
  const auto view = makeView();
  const auto first = std::make_shared<RecordingPlotter>();
  const auto second = std::make_shared<graphtest::AnimatedPlotter>();
  const auto axis = std::make_shared<RecordingAxis>(20);
  view->addPlotter(first);
  view->addPlotter(second);
  view->setAxisX(axis);
  EXPECT_EQ(view->secondPlotter(), second);
  const std::size_t firstDraws = first->draws.size();
  const std::size_t axisDraws = axis->draws.size();
  view->refresh();
  EXPECT_EQ(first->draws.size(), firstDraws + 1);
  EXPECT_EQ(first->draws.back().bottomInset, 20);
  EXPECT_EQ(axis->draws.size(), axisDraws + 1);
  EXPECT_EQ(axis->draws.back().second, view->gridOptions().gridLineWidth);
  EXPECT_EQ(view->layer()->sublayers()->front(), view->bottomLineLayer());
  EXPECT_EQ(view->layer()->sublayers()->at(1), view->gridLayer());

  view->animate();
  ASSERT_EQ(second->animations.size(), 1u);
  EXPECT_EQ(second->animations[0].max, 100);
  EXPECT_EQ(second->animations[0].bottomInset, 20);
}

TEST(GraphViewTest, AssigningAnAxisClearsThePreviousOne) {
  const auto view = makeView();
  const auto former = std::make_shared<RecordingAxis>(10);
  const auto next = std::make_shared<RecordingAxis>(30);
  view->setAxisX(former);
  view->setAxisX(next);
  EXPECT_EQ(former->clears, 1);
  EXPECT_EQ(next->clears, 0);
  EXPECT_EQ(view->bottomInset(), 30);
  EXPECT_EQ(view->gridLayer()->path()->element(0).points[0].y, 1);
  EXPECT_EQ(view->bottomLineLayer()->path()->element(0).points[0].y, 100 - 30 - 1);
}

TEST(GraphViewTest, ReverseCoordinatesFlipsAndLaysOutAgain) {
  const auto view = makeView();
  const auto plotter = std::make_shared<RecordingPlotter>();
  view->addPlotter(plotter);
  EXPECT_TRUE(view->isFlipped());
  view->setReverseCoordinates(false);
  EXPECT_FALSE(view->isFlipped());
  EXPECT_EQ(plotter->draws.size(), 2u);
}

// Leaving the superview clears every plotter and the axis (the old axis twice: once directly, once as the
// previous axis) and sets the axis to none.
TEST(GraphViewTest, LeavingTheSuperviewClearsPlottersAndAxis) {
  const auto parent = platform::View::create(platform::Rect(0, 0, 300, 300));
  const auto view = makeView();
  parent->addSubview(view);
  const auto plotter = std::make_shared<RecordingPlotter>(Tavrix::PlotterData{1, 2});
  const auto axis = std::make_shared<RecordingAxis>(24);
  view->addPlotter(plotter);
  view->setAxisX(axis);
  view->removeFromSuperview();
  EXPECT_EQ(view->plotterCount(), 0u);
  EXPECT_EQ(view->axisX(), nullptr);
  EXPECT_EQ(plotter->clears, 1);
  EXPECT_EQ(plotter->delegate(), nullptr);
  EXPECT_EQ(axis->clears, 2);
  EXPECT_TRUE(drainMainQueue());
}

// The application's history graph rendered: a flat series at half height gives a gradient area under the
// curve (y = 75 down to the bottom), fading downwards, and nothing above it.
TEST(GraphViewTest, HistoryGraphRendersTheAreaUnderTheCurve) {
  const auto view = platform::View::create<GraphView>(platform::Rect(0, 0, 400, 150));
  Tavrix::GridOptions& grid = view->gridOptions();
  grid.drawTopLine = false;
  grid.drawBottomLine = false;
  grid.verticalSegments = 0;
  grid.horizontalSegments = 0;
  view->fontOptions().showMinValue = false;
  view->fontOptions().showHalfValue = false;
  view->fontOptions().showMaxValue = false;
  view->setScaleMode(Tavrix::ScaleMode::none);
  view->setMaxValue(100);
  view->refresh();
  const auto plotter = std::make_shared<Tavrix::CurvedLinePlotter>(
      std::vector<platform::ColorRef>{Tavrix::Colors::gradientStart(), Tavrix::Colors::gradientEnd()});
  plotter->setLineWidth(0);
  view->addPlotter(plotter);
  plotter->update(Tavrix::PlotterData(60, 50.0));
  ASSERT_TRUE(drainMainQueue());

  const auto image = platform::ViewRenderer::image(*view);
  EXPECT_EQ(image->pixel(150, 40).alpha, 0) << "above the line at half height";
  const platform::Rgba upper = image->pixel(150, 80);
  const platform::Rgba lower = image->pixel(150, 145);
  // The area's gradient runs over the whole view, from 0.6 opacity at the top edge to 0.25 at the bottom.
  EXPECT_NEAR(upper.alpha, 0.6 - 0.35 * 80.5 / 150, 0.02);
  EXPECT_NEAR(lower.alpha, 0.6 - 0.35 * 145.5 / 150, 0.02);
}

}  // namespace
