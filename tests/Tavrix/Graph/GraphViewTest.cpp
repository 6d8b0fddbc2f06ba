#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/ScaleMode.hpp"
#include "Tavrix/Graph/CurvedLinePlotter.hpp"
#include "Tavrix/Graph/GraphView.hpp"
#include "Tavrix/Graph/GridOptions.hpp"
#include "tests/Tavrix/Graph/GraphFakes.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"

namespace Tavrix {
namespace {

using graphtest::drainMainQueue;
using graphtest::RecordingAxis;
using graphtest::RecordingPlotter;
using platform::Point;
using platform::test::expectElements;
using platform::test::lineTo;
using platform::test::moveTo;

// A plotter without data is drawn at once. New data recomputes the maximum at once; the drawing waits for
// the main queue and reads the range as it is when it runs.
TEST(GraphViewTest, NewDataIsDrawnWhenTheMainLoopRuns) {
  const auto view = graphtest::graphView();
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
  const auto second = std::make_shared<RecordingPlotter>(PlotterData{420});
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
  const auto view = graphtest::graphView();
  view->setAutoCalculateMax(true);
  const auto plotter = std::make_shared<CurvedLinePlotter>(
      std::vector<platform::ColorRef>{Colors::gradientStart(), Colors::gradientEnd()});
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

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// One value through each setter for a spread of modes (every mode's raw value round-trips in the scale
// mode test), worked out by hand: the minimum is
// step * round((v - step) / step) and the maximum step * round((v + step) / step), halves away from zero.
// The last rows: negative values, halves that round away from zero where rounding to even would not, and
// products beyond the 64-bit range, which stop at its limits.
TEST(GraphRangeTest, ScaleModesRoundBothEndsByTheirStep) {
  struct Case {
    ScaleMode mode;
    double min, expectedMin, max, expectedMax;
  };
  for (const Case& c : std::vector<Case>{{ScaleMode::none, 37, 0, 95, 95},
                                         {ScaleMode::one, 3.7, 3, 9.5, 11},
                                         {ScaleMode::five, 12, 5, 12, 15},
                                         {ScaleMode::ten, 37, 30, 95, 110},
                                         {ScaleMode::thousand, 2400, 1000, 2400, 3000},
                                         {ScaleMode::kilobytes, 3000000, 2097152, 3000000, 4194304},
                                         {ScaleMode::megabytes, 5e9, 4294967296, 1e9, 2147483648},
                                         {ScaleMode::ten, -15, -30, 15, 30},
                                         {ScaleMode::ten, -37, -50, -37, -30},
                                         {ScaleMode::ten, 35, 30, 105, 120},
                                         {ScaleMode::ten, -1e30, -0x1p63, 1e30, 0x1p63},
                                         {ScaleMode::megabytes, 0, 0, 1e19, 0x1p63}}) {
    const auto view = graphtest::graphView();
    view->setScaleMode(c.mode);
    view->setMinValue(c.min);
    view->setMaxValue(c.max);
    EXPECT_EQ(view->minValue(), c.expectedMin) << rawValue(c.mode) << ": " << c.min;
    EXPECT_EQ(view->maxValue(), c.expectedMax) << rawValue(c.mode) << ": " << c.max;
  }
}

// Zero and values that are not finite give a minimum of 0 and a maximum of 100, except that scale mode none
// keeps any maximum as it is; useZeroAsMin pins the minimum.
TEST(GraphRangeTest, ZeroNonFiniteAndPinnedValues) {
  const auto view = graphtest::graphView();
  for (const double value : {0.0, nan, std::numeric_limits<double>::infinity()}) {
    view->setMinValue(37);
    view->setMinValue(value);
    EXPECT_EQ(view->minValue(), 0) << value;
    view->setMaxValue(value);
    EXPECT_EQ(view->maxValue(), 100) << value;
  }
  view->setUseZeroAsMin(true);
  view->setMinValue(37);
  EXPECT_EQ(view->minValue(), 0);
  view->setScaleMode(ScaleMode::none);
  view->setMaxValue(0);
  EXPECT_EQ(view->maxValue(), 0);
  view->setMaxValue(nan);
  EXPECT_TRUE(std::isnan(view->maxValue()));
}

// In the speed modes the maximum is kept exactly and names the unit (a negative one as 0 bytes); scale mode
// none leaves the unit as it was.
TEST(GraphRangeTest, SpeedModesKeepTheMaximumAndChooseTheUnit) {
  const auto view = graphtest::graphView();
  view->setAutoGraphMode(AutoGraphMode::byteSpeed);
  view->setMaxValue(3000000);
  EXPECT_EQ(view->maxValue(), 3000000);
  EXPECT_EQ(view->unit(), "MB/s");
  view->setMaxValue(-5);
  EXPECT_EQ(view->maxValue(), -5);
  EXPECT_EQ(view->unit(), "B/s");
  view->setAutoGraphMode(AutoGraphMode::bitSpeed);
  view->setMaxValue(125);
  EXPECT_EQ(view->unit(), "Kb/s");
  view->setScaleMode(ScaleMode::none);
  view->setMaxValue(3000000);
  EXPECT_EQ(view->maxValue(), 3000000);
  EXPECT_EQ(view->unit(), "Kb/s");
}

TEST(GraphRangeTest, CalculateMaxTakesTheLargestPresentValue) {
  const auto view = graphtest::graphView();
  view->addPlotter(std::make_shared<RecordingPlotter>(PlotterData{std::nullopt, 3, std::nullopt, 7.5}));
  view->addPlotter(std::make_shared<RecordingPlotter>(PlotterData{2}));
  view->calculateMax();
  EXPECT_EQ(view->maxValue(), 20);

  // NaN never wins; with nothing above the smallest normal double the maximum is one step.
  const auto other = graphtest::graphView();
  other->addPlotter(std::make_shared<RecordingPlotter>(PlotterData{nan, -5}));
  other->calculateMax();
  EXPECT_EQ(other->maxValue(), 10);
  other->setScaleMode(ScaleMode::none);
  other->calculateMax();
  EXPECT_EQ(other->maxValue(), std::numeric_limits<double>::min());
  EXPECT_TRUE(graphtest::drainMainQueue());
}

bool inTree(const std::shared_ptr<platform::Layer>& layer, const GraphView& view) {
  return layer->superlayer() == view.layer();
}

std::vector<std::string> labelTexts(const GraphView& view) {
  std::vector<std::string> texts;
  for (const auto& label : view.textLayers()) texts.push_back(label->string());
  return texts;
}

// The centres of the dots of a tick layer: each dot is a move to its centre, then a circle.
std::vector<Point> dotCentres(const GradientLayer& layer) {
  std::vector<Point> centres;
  for (const platform::PathElement& element : layer.maskingLayer()->path()->elements()) {
    if (element.kind == platform::PathElementKind::moveTo) centres.push_back(element.points[0]);
  }
  return centres;
}

// The default grid of a 200 x 100 view (line width 2): top line, three inner rows and three inner columns
// in one layer, the solid bottom line in another. The history graphs' grid: four dashed rows above an axis.
TEST(GraphGridTest, DefaultAndHistoryGraphGrids) {
  const auto view = graphtest::graphView(200, 100);
  expectElements(*view->gridLayer()->path(),
                 {moveTo({0, 1}), lineTo({200, 1}), moveTo({0, 24}), lineTo({200, 24}), moveTo({0, 49}),
                  lineTo({200, 49}), moveTo({0, 74}), lineTo({200, 74}), moveTo({50, 0}), lineTo({50, 100}),
                  moveTo({100, 0}), lineTo({100, 100}), moveTo({150, 0}), lineTo({150, 100})});
  expectElements(*view->bottomLineLayer()->path(), {moveTo({0, 99}), lineTo({200, 99})});
  EXPECT_TRUE(inTree(view->bottomLineLayer(), *view));
  EXPECT_TRUE(view->gridLayer()->lineDashPattern().empty());

  view->setFrameSize({200, 124});
  GridOptions& grid = view->gridOptions();
  grid.drawTopLine = false;
  grid.drawBottomLine = false;
  grid.verticalSegments = 0;
  grid.lineDashPattern = std::vector<double>{2, 2};
  view->setAxisX(std::make_shared<RecordingAxis>(24));
  expectElements(*view->gridLayer()->path(), {moveTo({0, 24}), lineTo({200, 24}), moveTo({0, 49}),
                                              lineTo({200, 49}), moveTo({0, 74}), lineTo({200, 74})});
  EXPECT_EQ(view->gridLayer()->lineDashPattern(), (std::vector<double>{2, 2}));
  EXPECT_FALSE(inTree(view->bottomLineLayer(), *view));

  grid.horizontalSegments = 0;
  view->refresh();
  EXPECT_FALSE(inTree(view->gridLayer(), *view));
}

// Five ticks on a 400-wide view: large dots at both ends (in by their radius) and every quarter, small dots
// midway (the first half a step left of the view), on the bottom of the plot. One tick has no small dot;
// no ticks take the old dots away.
TEST(GraphTickTest, DotsAlongTheBottomOfThePlot) {
  const auto view = graphtest::graphView(400, 100);
  view->tickOptions().showTickMarks = true;
  view->tickOptions().numberOfTicks = 5;
  view->setAxisX(nullptr);
  EXPECT_EQ(dotCentres(*view->largeTickLayer()),
            (std::vector<Point>{{2, 96}, {100, 96}, {200, 96}, {300, 96}, {398, 96}}));
  EXPECT_EQ(dotCentres(*view->smallTickLayer()),
            (std::vector<Point>{{-50, 96}, {50, 96}, {150, 96}, {250, 96}, {350, 96}}));
  EXPECT_NEAR(view->largeTickLayer()->maskingLayer()->path()->controlBounds().height(), 4, 1e-9);
  EXPECT_TRUE(inTree(view->smallTickLayer()->gradientLayer(), *view));

  view->tickOptions().numberOfTicks = 1;
  view->setAxisX(nullptr);
  EXPECT_EQ(dotCentres(*view->largeTickLayer()), (std::vector<Point>{{2, 96}}));
  EXPECT_TRUE(view->smallTickLayer()->maskingLayer()->path()->isEmpty());

  const auto former = view->largeTickLayer();
  view->tickOptions().numberOfTicks = 0;
  view->setAxisX(nullptr);
  EXPECT_FALSE(inTree(former->gradientLayer(), *view));
}

// Minimum, half and maximum at the right edge, 128 wide and as high as the font's size.
TEST(GraphLabelTest, TextsAndFrames) {
  const auto view = graphtest::graphView(300, 100);
  view->setUnit("%");
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"0 %", "50 %", "100 %"}));
  const double textHeight =
      platform::TextMeasurer::boundingSize("0 %", {.font = view->fontOptions().font}, {128, 96}).height;
  const auto& labels = view->textLayers();
  platform::test::expectRectNear(labels[0]->frame(), {168, 100 - 4 - textHeight, 128, 13});
  platform::test::expectRectNear(labels[1]->frame(), {168, 50 - textHeight / 2, 128, 13});
  platform::test::expectRectNear(labels[2]->frame(), {168, 4, 128, 13});
  EXPECT_EQ(labels[0]->foregroundColor(), (platform::Rgba{0, 0, 0, 1}));

  // An empty unit leaves the blank; the text scale multiplies; the range is read at each pass.
  view->setUnit("");
  view->setAutoGraphModeTextScale(2);
  view->setMinValue(37);
  view->fontOptions().showHalfValue = false;
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"60 ", "200 "}));

  view->setAppearance(platform::Appearance(std::string(platform::Appearance::darkAqua)));
  EXPECT_EQ(view->textLayers()[0]->foregroundColor(), (platform::Rgba{1, 1, 1, 1}));
  EXPECT_EQ(view->textLayers().size(), 2u);
  view->setLabelsEnabled(false);
  EXPECT_TRUE(view->textLayers().empty());
  EXPECT_EQ(view->layer()->sublayers()->size(), 2u) << "grid and bottom line only";
}

// In the speed modes every label reads in the unit the maximum chose, even one below that unit's step.
TEST(GraphLabelTest, SpeedModeLabelsReadInTheUnitOfTheMaximum) {
  const auto view = graphtest::graphView(300, 100);
  view->setAutoGraphMode(AutoGraphMode::byteSpeed);
  view->setMaxValue(1500000);
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"0 MB/s", "1 MB/s", "1 MB/s"}));
  view->setAutoGraphMode(AutoGraphMode::bitSpeed);
  view->setMaxValue(250000);
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"0 Mb/s", "1 Mb/s", "2 Mb/s"}));
  // A maximum no speed can be still gives texts.
  view->setScaleMode(ScaleMode::none);
  view->setMaxValue(-2048);
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"0 Mb/s", "-8192 Mb/s", "-16384 Mb/s"}));
}

}  // namespace
}  // namespace Tavrix
