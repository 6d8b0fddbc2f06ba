#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "Platform/Foundation/Region.hpp"
#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/TextLayer.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/Gradients.hpp"
#include "Tavrix/Controls/ScaleMode.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/CurvedLinePlotter.hpp"
#include "Tavrix/Graph/GraphView.hpp"
#include "Tavrix/Graph/GridOptions.hpp"
#include "Tavrix/Graph/PointAxis.hpp"
#include "Tavrix/Graph/TextAxis.hpp"
#include "Tavrix/Graph/TimeAxis.hpp"
#include "Tavrix/Graph/ValueAxis.hpp"
#include "tests/Tavrix/GalleryPicture.hpp"
#include "tests/Tavrix/Graph/GraphFakes.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

// The graph view: drawing its plotters and axis when the main loop runs, its range and scale modes, its grid,
// ticks and labels; then where the value, point, time and text axes put their labels, ticks and slot
// backgrounds in a plot layer, and each axis under a graph view in gallery/axis-<name>.png.
namespace Tavrix {
namespace {

using graphtest::drainMainQueue;
using graphtest::RecordingAxis;
using graphtest::RecordingPlotter;
using platform::Point;
using platform::test::expectElements;
using platform::test::lineTo;
using platform::test::moveTo;
using Texts = std::vector<std::string>;
using Labels = std::vector<std::shared_ptr<platform::TextLayer>>;

constexpr double january2024 = 1704067200;  // 2024-01-01 00:00 UTC
constexpr double day = 86400;

// The text layers among an axis's layers, in order, and their strings.
template <typename Layer>
Labels labels(const std::vector<std::shared_ptr<Layer>>& layers) {
  Labels result;
  for (const auto& layer : layers) {
    if (auto label = std::dynamic_pointer_cast<platform::TextLayer>(layer)) result.push_back(label);
  }
  return result;
}

Texts texts(const Labels& labels) {
  Texts result;
  for (const auto& label : labels) result.push_back(label->string());
  return result;
}

Point midPoint(const platform::Rect& frame) { return {frame.midX(), frame.midY()}; }

std::shared_ptr<AxisPoint> point(double value, std::optional<std::string> text = std::nullopt) {
  return std::make_shared<AxisPoint>(value, std::move(text));
}

// A plot layer 100 points high in a pinned region, and a time and a text axis to draw into it.
struct Axes : testing::Test {
  platform::ScopedRegion region{"en_US", "UTC", {"en"}};
  std::shared_ptr<platform::Layer> layer = std::make_shared<platform::Layer>();
  std::shared_ptr<TimeAxis> time = std::make_shared<TimeAxis>();
  std::shared_ptr<TextAxis> text = std::make_shared<TextAxis>();

  template <typename Axis>
  Labels draw(Axis& axis, double width) {
    layer->setFrame({0, 0, width, 100});
    axis.draw(layer, 1);
    return labels(axis.layers());
  }
  Labels drawTime(double width, std::vector<double> stamps, TimePeriod period = TimePeriod::weekly) {
    time->setPeriod(period);
    time->setTimestamps(std::move(stamps));
    return draw(*time, width);
  }
  // Centred slots with backgrounds unless told to lay the texts out evenly without them.
  Labels drawText(double width, std::vector<std::string> texts, bool centred = true) {
    text->setAlignMode(centred ? TextAlignMode::centered : TextAlignMode::evenly);
    text->setFillLabel(centred);
    text->setTexts(std::move(texts));
    return draw(*text, width);
  }
};

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
  EXPECT_EQ(std::pair(plotter->draws[1].min, plotter->draws[1].max), std::pair(30.0, 110.0));

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
  EXPECT_EQ(
      std::tuple(view->plotterCount(), view->axisX(), plotter->clears, plotter->delegate(), axis->clears),
      std::tuple(0u, nullptr, 1, nullptr, 2));
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
  const auto maxAndUnit = [&] { return std::tuple(view->maxValue(), view->unit()); };
  view->setAutoGraphMode(AutoGraphMode::byteSpeed);
  view->setMaxValue(3000000);
  EXPECT_EQ(maxAndUnit(), std::tuple(3000000, "MB/s"));
  view->setMaxValue(-5);
  EXPECT_EQ(maxAndUnit(), std::tuple(-5, "B/s"));
  view->setAutoGraphMode(AutoGraphMode::bitSpeed);
  view->setMaxValue(125);
  EXPECT_EQ(view->unit(), "Kb/s");
  view->setScaleMode(ScaleMode::none);
  view->setMaxValue(3000000);
  EXPECT_EQ(maxAndUnit(), std::tuple(3000000, "Kb/s"));
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
  EXPECT_TRUE(drainMainQueue());
}

bool inTree(const std::shared_ptr<platform::Layer>& layer, const GraphView& view) {
  return layer->superlayer() == view.layer();
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
  EXPECT_EQ(texts(view->textLayers()), (Texts{"0 %", "50 %", "100 %"}));
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
  EXPECT_EQ(texts(view->textLayers()), (Texts{"60 ", "200 "}));

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
  EXPECT_EQ(texts(view->textLayers()), (Texts{"0 MB/s", "1 MB/s", "1 MB/s"}));
  view->setAutoGraphMode(AutoGraphMode::bitSpeed);
  view->setMaxValue(250000);
  view->refresh();
  EXPECT_EQ(texts(view->textLayers()), (Texts{"0 Mb/s", "1 Mb/s", "2 Mb/s"}));
  // A maximum no speed can be still gives texts.
  view->setScaleMode(ScaleMode::none);
  view->setMaxValue(-2048);
  view->refresh();
  EXPECT_EQ(texts(view->textLayers()), (Texts{"0 Mb/s", "-8192 Mb/s", "-16384 Mb/s"}));
}

TEST_F(Axes, ValueEndsAnchoredInnerLabelsCentredOnSegmentsWithUnitsFormatsAndMonths) {
  ValueAxis axis(0, 100, 4);
  const Labels drawn = draw(axis, 400);
  ASSERT_EQ(texts(drawn), (Texts{"0.00", "100.00", "25.00", "50.00", "75.00"}));
  EXPECT_EQ(layer->sublayers()->size(), 5u);
  EXPECT_EQ(drawn[0]->frame().minX(), 4);
  EXPECT_EQ(drawn[1]->frame().maxX(), 396);
  for (int i = 2; i < 5; ++i) EXPECT_EQ(midPoint(drawn[i]->frame()), (Point{100.0 * (i - 1), 88}));
  ValueAxis shifted(10, 110, 4), ends(0, 100, 1), months(1704067200, 1733011200, 0);  // 1 January, 1 December
  shifted.setUnit("MB");
  ends.setFormatString("%6.1f%%");
  months.setFormatType(ValueAxisFormatType::monthShortName);
  EXPECT_EQ(texts(draw(shifted, 400)), (Texts{"10.00 MB", "110.00 MB", "35.00 MB", "60.00 MB", "85.00 MB"}));
  EXPECT_EQ(texts(draw(ends, 400)), (Texts{"   0.0%", " 100.0%"}));
  EXPECT_EQ(texts(draw(months, 400)), (Texts{"Jan", "Dec"}));
}

TEST_F(Axes, ValueAxisWithAnUnusableRangeOrFormatRemovesItsLabelsAndDrawsNone) {
  const auto drawnAfter = [&](auto change) {
    ValueAxis axis(0, 100, 4);
    draw(axis, 400);
    change(axis);
    return draw(axis, 400).size() + layer->sublayers()->size();
  };
  EXPECT_EQ(drawnAfter([](ValueAxis& axis) { axis.setMax(0); }), 0u);
  EXPECT_EQ(drawnAfter([](ValueAxis& axis) { axis.setMin(100); }), 0u);
  for (const char* format : {"", "%s", "%n", "%d", "%f %f", "%*f", "%.1234f", "%Lf", "100%"}) {
    EXPECT_EQ(drawnAfter([format](ValueAxis& axis) { axis.setFormatString(format); }), 0u) << format;
  }
}

TEST_F(Axes, PointTicksAndLabelsUntilOneBeyondMaxAndNothingWhenClearedOrFlat) {
  PointAxis axis({point(25), point(50, "half"), point(100, "a wide label")}, 100);
  draw(axis, 400);
  ASSERT_EQ(axis.layers().size(), 3u);
  EXPECT_EQ(axis.layers().back(), axis.tickLayer());
  EXPECT_DOUBLE_EQ(axis.layers()[0]->frame().midX(), 199);
  EXPECT_DOUBLE_EQ(axis.layers()[1]->frame().maxX(), 399);
  const platform::Path& ticks = *axis.tickLayer()->path();
  ASSERT_EQ(ticks.elementCount(), 6u);
  EXPECT_EQ(ticks.element(0).points[0], (Point{99, 76}));
  EXPECT_EQ(ticks.element(1).points[0], (Point{99, 79}));
  axis.setPoints({point(0, "start"), point(50, "half"), point(150, "past")});
  draw(axis, 400);
  EXPECT_EQ(axis.layers().size(), 2u);
  EXPECT_EQ(axis.tickLayer()->superlayer(), nullptr);
  axis.clear();
  draw(axis, 400);
  EXPECT_TRUE(axis.layers().empty());
  EXPECT_TRUE(layer->sublayers()->empty());
  PointAxis flat({point(0, "zero")}, 0);
  draw(flat, 400);
  EXPECT_TRUE(layer->sublayers()->empty());
}

TEST_F(Axes, TimeLastYearSlotsAndMonthStartsInTheRegionsZone) {
  std::vector<double> stamps;
  for (int month = 0; month < 12; ++month) stamps.push_back(january2024 + month * 31 * day);
  const Labels drawn = drawTime(480, stamps, TimePeriod::lastYear);
  ASSERT_EQ(drawn.size(), 12u);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(drawn[i]->frame(), platform::Rect(4 + 40 * i, 80, 40, 20));
    EXPECT_EQ(time->tickLayer()->path()->element(2 * i).points[0], (Point{3.0 + 40 * i, 76})) << i;
  }
  EXPECT_EQ(drawn[0]->string() + drawn[11]->string(), "JanDec");
  EXPECT_EQ(drawn[0]->alignmentMode(), platform::TextAlignment::left);
  const platform::ScopedRegion berlin("en_US", "Europe/Berlin", {"en"});
  // 1 April 2024 00:30 in Berlin is still March in UTC; the month starts at 00:00 Berlin time (22:00 UTC).
  EXPECT_EQ(time->startOfMonth(1711924200), 1711922400);
}

TEST_F(Axes, TimeWeeklyLabelsEveryFourthSampleFromTheNewestSkippingOverlapsAndNeedsTwoSamples) {
  std::vector<double> weeks;
  for (int week = 0; week < 10; ++week) weeks.push_back(january2024 + week * 7 * day);
  // The newest is 4 March: 63 days span 630 points, a slot is 63.
  Labels drawn = drawTime(630, weeks);
  ASSERT_EQ(texts(drawn), (Texts{"Mar", "Feb", "Jan"}));
  EXPECT_DOUBLE_EQ(drawn[0]->frame().midX(), 630 - 63 - 3 * 10);   // 1 March
  EXPECT_DOUBLE_EQ(drawn[1]->frame().midX(), 630 - 63 - 32 * 10);  // 1 February
  EXPECT_DOUBLE_EQ(drawn[2]->frame().minX(), 4);  // clamped at the left edge, which ends the pass
  // February without a span: one slot in; the later labels overlap it. Touching is no overlap.
  drawn = drawTime(300, std::vector<double>(10, january2024 + 40 * day));
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_DOUBLE_EQ(drawn[0]->frame().midX(), 300 - 30);
  const double width =
      platform::TextMeasurer::boundingSize("Feb", {.font = platform::Font::systemFont(10)}, {32, 20}).width;
  time->addLabel(*layer, "Feb", platform::TextAlignment::center, 30 + width, 24);
  time->addLabel(*layer, "Feb", platform::TextAlignment::center, 30 - width + 1, 24);
  EXPECT_EQ(labels(time->layers()).size(), 2u);
  // Fewer than two samples: ticks only.
  EXPECT_TRUE(drawTime(300, {january2024}).empty());
  EXPECT_EQ(time->tickLayer()->path()->elementCount(), 2u);
  EXPECT_TRUE(drawTime(300, {}).empty());
  EXPECT_TRUE(time->tickLayer()->path()->isEmpty());
  EXPECT_EQ(time->layers().size(), 1u);
  time->clear();
  EXPECT_TRUE(layer->sublayers()->empty());
}

TEST_F(Axes, TextEvenlyAnchorsTheEndsAndCentredBackgroundsFillShiftedSlotsEndingAtWholeSteps) {
  Labels drawn = drawText(300, {"Mon", "Tue", "Wed"}, false);
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[0]->frame().minX(), 2);
  EXPECT_EQ(drawn[0]->alignmentMode(), platform::TextAlignment::left);
  EXPECT_EQ(midPoint(drawn[1]->frame()), (Point{149.5, 88}));
  EXPECT_DOUBLE_EQ(drawn[2]->frame().maxX(), 298);
  EXPECT_EQ(drawn[2]->alignmentMode(), platform::TextAlignment::right);
  EXPECT_EQ(text->height(), 24);
  text->setDetails({"one", "two"});  // one short of the texts: ignored
  drawn = drawText(100, {"A", "B", "C"});
  EXPECT_EQ(text->height(), 36);
  const platform::Rect expected[] = {{2, 64, 33, 36}, {35, 64, 33, 36}, {68, 64, 34, 36}};
  ASSERT_EQ(text->fillLayers().size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(text->fillLayers()[i]->path()->tightBounds(), expected[i]) << i;
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_DOUBLE_EQ(drawn[1]->frame().midY(), 82);
  EXPECT_DOUBLE_EQ(drawn[1]->frame().width(), 100.0 / 3);
  EXPECT_EQ(text->slotEnd(-1, {0, 0, 100, 10}), 33);
  EXPECT_EQ(text->slotEnd(1, {0, 0, 100, 10}), 66);
  text->draw(nullptr, 1);  // without a layer the old labels and backgrounds still go
  EXPECT_TRUE(layer->sublayers()->empty());
  // An empty text keeps its slot; a detail sits under its label, which comes again above its background.
  text->setDetails({"1", std::nullopt, "3"});
  drawn = drawText(90, {"A", "", "C"});
  EXPECT_EQ(text->fillLayers().size(), 2u);
  ASSERT_EQ(texts(drawn), (Texts{"A", "1", "A", "C", "3", "C"}));
  EXPECT_EQ(drawn[3]->frame().minX(), 60);
  EXPECT_EQ(drawn[4]->fontSize(), 10);
  EXPECT_EQ(drawn[4]->frame().minY(), drawn[3]->frame().maxY() + 2);
  text->setTexts({"only"});
  EXPECT_EQ(text->slotEnd(0, {0, 0, 99.5, 10}), 99.5);
}

TEST_F(Axes, TextSelectionFadesBothSlotsOverFourTenths) {
  text->setSelectedIndex(1);
  drawText(90, {"A", "B", "C"});
  text->setSelectedIndex(2);
  const std::tuple<platform::Layer*, const char*, platform::ColorRef> expected[] = {
      {text->fillLayers()[1].get(), "fillColor", SystemColors::separatorColor()},
      {text->layers()[1].get(), "foregroundColor", SystemColors::secondaryLabelColor()},
      {text->fillLayers()[2].get(), "fillColor", platform::Color::black()},
      {text->layers()[2].get(), "foregroundColor", platform::Color::white()}};
  for (const auto& [animated, key, to] : expected) {
    const std::optional<platform::BasicAnimation> animation = animated->animation(key);
    ASSERT_TRUE(animation) << key;
    EXPECT_EQ(animation->duration, 0.4);
    EXPECT_EQ(animation->timingFunction,
              platform::TimingFunction::named(platform::TimingFunctionName::easeInEaseOut));
    const auto shown = std::get<platform::Rgba>(*animated->presentationValue(key, animation->beginTime + 10));
    platform::test::expectRgba(shown, to->rgba(), 1e-9);
  }
  EXPECT_TRUE(text->fillLayers()[0]->animationKeys().empty());
}

// A 400 x 150 graph of a wave above the axis with a curved plotter, rendered at scale 2.
std::shared_ptr<platform::Image> render(const std::shared_ptr<IAxis>& axis, const std::string& name) {
  auto graph = platform::View::create<GraphView>(platform::Rect(0, 0, 400, 150));
  graph->setScaleMode(ScaleMode::none);
  graph->setMaxValue(100);
  graph->setAxisX(axis);
  auto plotter = std::make_shared<CurvedLinePlotter>(
      std::vector<platform::ColorRef>{Gradients::blue().start(), Gradients::blue().end()});
  plotter->setLineWidth(2);
  graph->addPlotter(plotter);
  PlotterData series;
  for (int i = 0; i < 30; ++i) series.push_back(50 + 30 * std::sin(i / 4.0));
  plotter->update(series);
  EXPECT_TRUE(drainMainQueue());
  return gallery::picture(*graph, "axis-" + name);
}

TEST_F(Axes, GalleryPicturesOfEachAxisUnderAGraph) {
  const platform::ScopedMainScreen screen{platform::Screen{1}};
  auto value = std::make_shared<ValueAxis>(0, 60, 4);
  value->setUnit("s");
  render(value, "value");
  auto points = std::make_shared<PointAxis>(std::vector{point(10, "start"), point(100, "end")}, 100);
  render(points, "point");
  EXPECT_EQ(value->layers().size() + points->layers().size(), 5u + 3u);

  std::vector<double> months;
  for (int month = 0; month < 12; ++month) months.push_back(january2024 + month * 31 * day);
  time->setTimestamps(months);
  time->setTickColor(SystemColors::systemRed());
  auto image = render(time, "time");
  // Slots of 100/3: the first tick is the column x = 2, from 24 to 22 points above the bottom edge.
  platform::test::expectRgba(platform::test::pixelAt(*image, 2.1, 23), SystemColors::systemRed()->rgba());
  EXPECT_EQ(platform::test::pixelAt(*image, 12, 23).alpha, 0);

  text->setSelectedIndex(1);
  drawText(400, {"CPU", "Memory", "Disk"});
  image = render(text, "text");
  // The selected slot is opaque black below its label; the first two points hold no background.
  const double separator = SystemColors::separatorColor()->rgba().alpha;
  platform::test::expectPixels(
      *image, {{200, 2, {0, 0, 0, 1}}, {60, 2, {0, 0, 0, separator}}, {2.5, 2, {0, 0, 0, separator}}});
  EXPECT_EQ(platform::test::pixelAt(*image, 1, 2).alpha, 0);
}

}  // namespace
}  // namespace Tavrix
