#include <gtest/gtest.h>
#include <pthread.h>

#include <limits>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/MediaClock.hpp"
#include "Platform/UI/Screen.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/Constants.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/BarPlotter.hpp"
#include "Tavrix/Graph/CapsulePlotter.hpp"
#include "Tavrix/Graph/ColorizedSegmentPlotter.hpp"
#include "Tavrix/Graph/CurvedLinePlotter.hpp"
#include "Tavrix/Graph/GradientBarPlotter.hpp"
#include "Tavrix/Graph/MultiColorBarPlotter.hpp"
#include "Tavrix/Graph/PercentageBarPlotter.hpp"
#include "Tavrix/Graph/PositiveNegativePlotter.hpp"
#include "Tavrix/Graph/StraightLinePlotter.hpp"
#include "tests/Tavrix/GalleryPicture.hpp"
#include "tests/Tavrix/Graph/GraphFakes.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

// The line plotters (straight, curved, positive/negative) and the bar plotters (bars, gradient bars,
// capsules, coloured bars, the percentage band, colourized segments): paths, layers and colours in a host
// layer, then galleries of each in a graph view.
namespace Tavrix {
namespace {

using platform::Color;
using platform::Layer;
using platform::Point;
using platform::Rect;
using platform::Rgba;
using platform::ShapeLayer;
using platform::test::closePath;
using platform::test::curveTo;
using platform::test::expectElements;
using platform::test::expectRectNear;
using platform::test::expectRgba;
using platform::test::lineTo;
using platform::test::moveTo;
using platform::test::transparent;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr auto gap = std::nullopt;
constexpr double third = 1.0 / 3.0;
const std::vector<platform::ColorRef> redToBlue{Color::red(), Color::rgb(0, 0, 1)};
const std::vector<platform::ColorRef> redGreenGray{Color::red(), Color::green(), Color::gray()};

// A line plotter in the gradient's two colours, and the paths of its line's and area's masks.
template <class Plotter>
struct LinePlotterTest : testing::Test {
  const platform::Path& strokePath() const { return *plotter->strokeLayer()->maskingLayer()->path(); }
  const platform::Path& fillPath() const { return *plotter->fillLayer()->maskingLayer()->path(); }

  std::shared_ptr<Plotter> plotter = std::make_shared<Plotter>(
      std::vector<platform::ColorRef>{Colors::gradientStart(), Colors::gradientEnd()});
};

// A 200 x 100 host and 4-point lines over 0...100: U = 96. The first sample lies at (0, y + 1), the others
// half a line lower than their value's y, at x = step * i + 1 with step = (200 - 8) / (n - 1), the last at
// x = 204. The area closes at (204, 100) and (-4, 100). The positive/negative line rises in green.
struct StraightLinePlotters : LinePlotterTest<StraightLinePlotter> {
  template <typename Plotter>
  void draw(Plotter& line, PlotterData data, DrawNilMode mode = DrawNilMode::drawMinValue, double min = 0,
            double max = 100) {
    line.setLineWidth(4);
    line.setDrawNilMode(mode);
    line.update(std::move(data));
    line.draw(host, min, max, 0);
  }
  void draw(PlotterData data, DrawNilMode mode = DrawNilMode::drawMinValue) { draw(*plotter, data, mode); }

  std::shared_ptr<Layer> host = platform::test::canvas(200, 100);
  std::shared_ptr<PositiveNegativePlotter> signs =
      std::make_shared<PositiveNegativePlotter>(Color::green(), Color::red());
};

// A gap lies on the bottom line, L/2 above it (U + 1 for the first sample), or ends the line: at the first
// sample nothing is drawn and the new layers stay out of the tree; at the third the line has two points
// and the area runs from the second straight down to the bottom right corner.
TEST_F(StraightLinePlotters, GapsUnderEachMode) {
  draw({gap, 50, gap, 100});
  EXPECT_EQ(plotter->calculatedPoints(), (std::vector<Point>{{0, 97}, {65, 50}, {129, 98}, {204, 2}}));
  for (const DrawNilMode mode : {DrawNilMode::stop, DrawNilMode::stopAndHighlightPreviousValue}) {
    draw({gap, 50, 100}, mode);
    EXPECT_TRUE(host->sublayers()->empty());
    EXPECT_TRUE(plotter->calculatedPoints().empty());
  }
  draw({0, 50, gap, 100}, DrawNilMode::stop);
  expectElements(strokePath(), {moveTo({0, 97}), lineTo({65, 50})});
  expectElements(fillPath(),
                 {moveTo({0, 97}), lineTo({65, 50}), lineTo({204, 100}), lineTo({-4, 100}), closePath()});
  EXPECT_TRUE(plotter->markerLayers().empty());
  // NaN lies on the baseline like a gap; equal bounds put every value there.
  EXPECT_EQ(plotter->yPosition(nan, 0, 100, {200, 100}, 10), 86);
  EXPECT_EQ(plotter->yPosition(70, 50, 50, {200, 100}, 0), 96);
}

// Markers go on inner samples above the minimum: not the first or last, a gap, NaN or the minimum. The
// highlight sits on the sample before the gap: an outer dot of radius 5 in the stroke colour at a quarter
// alpha, then an opaque inner dot of radius 3 (the gallery shows the pair made again by the area's pass).
TEST_F(StraightLinePlotters, MarkersAndHighlight) {
  plotter->setFillArea(false);
  plotter->setLineJoinMarker(LineJoinMarker::circle);
  draw({20, gap, 50, nan, 0, 90});
  ASSERT_EQ(plotter->markerLayers().size(), 1u);
  const Point centre = plotter->markerLayers()[0]->path()->element(0).points[0];
  EXPECT_NEAR(centre.x, 2 * 38.4 + 1, 1e-9);
  EXPECT_EQ(centre.y, 50);

  plotter->setLineJoinMarker(LineJoinMarker::none);
  draw({50, gap, 100}, DrawNilMode::stopAndHighlightPreviousValue);
  const auto& dots = plotter->markerLayers();
  ASSERT_EQ(dots.size(), 2u);
  for (const double radius : {5, 3}) {
    const auto& dot = dots[radius == 5 ? 0 : 1];
    expectRectNear(dot->path()->tightBounds(), {-radius, 49 - radius, 2 * radius, 2 * radius});
    EXPECT_EQ(dot->fillColor()->alpha, radius == 5 ? 0.25 : 1);
    EXPECT_EQ(dot->fillColor()->green, Colors::gradientStart()->rgba().green);
  }
}

// Explicit points ignore the gap mode: lines through x / maxX * W and U - y / max * U (NaN: W - L and U),
// the last not pushed past the edge; the line's own gradient fills the area and the area layer stays unused.
TEST_F(StraightLinePlotters, PointsReplaceTheSeries) {
  plotter->setPoints({{0, 0}, {50, 50}, {nan, nan}});
  draw({gap, 10}, DrawNilMode::stop);
  expectElements(strokePath(), {moveTo({0, 96}), lineTo({100, 48}), lineTo({196, 96}), lineTo({204, 100}),
                                lineTo({-4, 100}), closePath()});
  EXPECT_EQ(plotter->strokeLayer()->fillColor(), Color::black());
  EXPECT_EQ(plotter->fillLayer()->gradientLayer()->superlayer(), nullptr);
}

// The positive/negative line: black when the newest sample is missing, equal to initial or NaN (the gallery
// shows rises and falls); the reference line for 0 in -10...10 half-way down plus one, 2 pixels, under the
// line; the highlight mode stops only at a missing first sample. (The range guard is the line plotters'
// shared step, checked on the curved plotter.)
TEST_F(StraightLinePlotters, SignedLine) {
  for (const PlotterData& data : std::vector<PlotterData>{{5, gap}, {-5, 0}, {5, nan}}) {
    draw(*signs, data, DrawNilMode::drawMinValue, -10, 10);
    EXPECT_EQ(signs->strokeLayer()->colors(), std::vector(2, Color::black())) << data.size();
  }
  draw(*signs, {-10, 10}, DrawNilMode::drawMinValue, -10, 10);
  const auto& reference = signs->initialLayer();
  expectElements(*reference->maskingLayer()->path(), {moveTo({0, 49}), lineTo({200, 49})});
  EXPECT_EQ(reference->lineWidth() / Constants::onePixel(), 2);
  EXPECT_EQ(*host->sublayers(),
            (Layer::LayerList{reference->gradientLayer(), signs->strokeLayer()->gradientLayer()}));

  draw(*signs, {0, 50, gap, 100}, DrawNilMode::stop);
  EXPECT_EQ(signs->calculatedPoints(), (std::vector<Point>{{0, 97}, {65, 50}}));
  EXPECT_EQ(host->sublayers()->size(), 2u);
  draw(*signs, {0, gap, 100}, DrawNilMode::stopAndHighlightPreviousValue);
  EXPECT_EQ(signs->calculatedPoints(), (std::vector<Point>{{0, 97}, {97, 98}, {204, 2}}));
  EXPECT_EQ(host->sublayers()->size(), 2u);
  draw(*signs, {gap, 50, 100}, DrawNilMode::stopAndHighlightPreviousValue);
  EXPECT_EQ(*host->sublayers(), (Layer::LayerList{signs->initialLayer()->gradientLayer()}));
}

// Steps called before any drawing pass have no layers to configure; drawPoints without positions neither.
TEST_F(StraightLinePlotters, StepsOutOfTurn) {
  plotter->update({0, 50, 100});
  plotter->drawLine(host, 0, 100, 0);
  plotter->drawArea(host, 0, 100, 0);
  plotter->setPoints({{0, 0}});
  plotter->drawPoints(host, 100, 0);
  EXPECT_EQ(plotter->calculatedPoints().size(), 4u);
  signs->update({0, 50});
  signs->drawInitialLine(host, 0, 100, 0);
  signs->drawLine(host, 0, 100, 0);
  EXPECT_EQ(signs->calculatedPoints().size(), 2u);
  EXPECT_TRUE(host->sublayers()->empty());
  const auto unused = std::make_shared<StraightLinePlotter>(Color::red(), false);
  unused->draw(host, 0, 100, 0);
  unused->drawPoints(host, 100, 0);
  EXPECT_FALSE(unused->strokeLayer()->path().has_value());
}

// A 100 x 60 host layer and a plotter with a 4-point line: U = 60 - 4 = 56, the step between samples of a
// three-value series is (100 - 8) / 2 = 46 and the last sample lies at x = 104.
struct CurvedLinePlotterTest : LinePlotterTest<CurvedLinePlotter> {
  void SetUp() override { plotter->setLineWidth(4); }
  std::size_t hostLayerCount() const { return host->sublayers() ? host->sublayers()->size() : 0; }

  std::shared_ptr<Layer> host = platform::test::canvas(100, 60);
};

// Samples 0, 50 and 100 of 0...100 lie at (0, 58), (46, 30) and (104, 2). Each interval is two quadratic
// halves through its middle, written as cubics with control points two thirds of the way to the quadratic
// control point, which sits at the sample's height: the tangent is flat at every sample. The area starts
// half a line lower, follows the same curves and closes along the bottom, a line width beyond both edges.
TEST_F(CurvedLinePlotterTest, CurveAndAreaOfASmallSeries) {
  plotter->update({0, 50, 100});
  plotter->draw(host, 0, 100, 0);
  const std::vector<platform::test::ExpectedElement> curves{
      curveTo({92 * third, 104 * third}, {115 * third, 30}, {46, 30}),
      curveTo({167 * third, 30}, {196 * third, 76 * third}, {75, 16}),
      curveTo({254 * third, 20 * third}, {283 * third, 2}, {104, 2})};
  std::vector<platform::test::ExpectedElement> line{
      moveTo({0, 58}), curveTo({23 * third, 58}, {46 * third, 160 * third}, {23, 44})};
  line.insert(line.end(), curves.begin(), curves.end());
  expectElements(strokePath(), line);

  std::vector<platform::test::ExpectedElement> area{
      moveTo({0, 60}), curveTo({23 * third, 176 * third}, {46 * third, 160 * third}, {23, 44})};
  area.insert(area.end(), curves.begin(), curves.end());
  area.insert(area.end(), {lineTo({104, 60}), lineTo({-4, 60}), closePath()});
  expectElements(fillPath(), area);

  // The line goes in first and the area on top of it (the area's fade shows in the gallery's graph).
  EXPECT_EQ(*host->sublayers(), (Layer::LayerList{plotter->strokeLayer()->gradientLayer(),
                                                  plotter->fillLayer()->gradientLayer()}));
}

// Missing samples lie on the bottom line (H - I - L/2), NaN samples one line width higher; equal
// neighbours give a straight piece. A sample above the maximum lies outside the band, and only the
// quadratic control points stop at the top edge (cubic controls a third of the way from y = -54 to 0).
TEST_F(CurvedLinePlotterTest, MissingValuesAndValuesOutsideTheRange) {
  plotter->update({std::nullopt, nan, 25, 25});
  plotter->draw(host, 0, 100, 10);
  const platform::Path& path = strokePath();
  ASSERT_EQ(path.elementCount(), 7u);
  EXPECT_EQ(path.element(0).points[0], (Point{0, 48}));
  EXPECT_DOUBLE_EQ(path.element(2).points[2].y, 44);
  for (std::size_t i = 5; i < 7; ++i) {
    for (const Point& point : path.element(i).points) {
      EXPECT_DOUBLE_EQ(point.y, 2 + 46 * 0.75) << "element " << i;
    }
  }
  EXPECT_EQ(fillPath().element(fillPath().elementCount() - 2).points[0], (Point{-4, 50}));

  plotter->update({200, 200});
  plotter->draw(host, 0, 100, 0);
  EXPECT_EQ(strokePath().element(0).points[0], (Point{0, -54}));
  EXPECT_DOUBLE_EQ(strokePath().element(1).points[0].y, -18);
  EXPECT_DOUBLE_EQ(strokePath().element(2).points[1].y, -18);

  // Equal bounds put every value on the baseline instead of dividing by zero.
  EXPECT_DOUBLE_EQ(plotter->yPosition(70, 50, 50, {100, 60}, 0), 56);
}

TEST_F(CurvedLinePlotterTest, NothingNewWithoutALayerARangeOrTwoSamples) {
  plotter->update({10, 20, 30});
  for (const auto& [min, max] :
       std::vector<std::pair<double, double>>{{0, 0}, {0, -5}, {60, 50}, {nan, 50}}) {
    plotter->draw(host, 0, 100, 0);
    ASSERT_EQ(hostLayerCount(), 2u);
    plotter->draw(host, min, max, 0);
    EXPECT_EQ(hostLayerCount(), 0u) << min << "..." << max;
  }
  plotter->draw(host, 0, 100, 0);
  plotter->draw(nullptr, 0, 100, 0);
  EXPECT_EQ(hostLayerCount(), 0u);
  plotter->update({42});
  plotter->draw(host, 0, 100, 0);
  EXPECT_EQ(hostLayerCount(), 0u);
}

// An interval that ends in a present sample above the minimum marks both its samples; the last interval
// never does. Markers of the line pass read the line's gradient before it has colours, so they are clear;
// those of the area pass read the finished line. Order: line markers, line, area markers, area.
TEST_F(CurvedLinePlotterTest, MarkersOnIntervalsThatEndInAPresentSample) {
  plotter->setLineJoinMarker(LineJoinMarker::circle);
  plotter->update({10, std::nullopt, 50, 0, 70, 90});
  plotter->draw(host, 0, 100, 0);
  // Step (100 - 8) / 5 = 18.4; intervals 2 (ends at 50) and 4 (ends at 70) mark.
  const std::vector<Point> centres{{18.4, 58}, {36.8, 30}, {55.2, 58}, {73.6, 18.8}};
  const auto& markers = plotter->markerLayers();
  ASSERT_EQ(markers.size(), 8u);
  for (std::size_t i = 0; i < markers.size(); ++i) {
    const Point centre = markers[i]->path()->element(0).points[0];
    EXPECT_NEAR(centre.x, centres[i % 4].x, 1e-9) << i;
    EXPECT_NEAR(centre.y, centres[i % 4].y, 1e-9) << i;
    EXPECT_NEAR(markers[i]->path()->controlBounds().width(), 6, 1e-9) << "radius 3";
    if (i < 4) {
      EXPECT_EQ(markers[i]->fillColor()->alpha, 0) << "line pass " << i;
    } else {
      EXPECT_GT(markers[i]->fillColor()->alpha, 0.5) << "area pass " << i;
    }
  }
  const auto& layers = *host->sublayers();
  ASSERT_EQ(layers.size(), 10u);
  EXPECT_EQ(layers[4], plotter->strokeLayer()->gradientLayer());
  EXPECT_EQ(layers[5], markers[4]);
  EXPECT_EQ(layers[9], plotter->fillLayer()->gradientLayer());
}

// Thinning keeps k = width / minimumDistance samples, every (n / k)-th; a series that fits, a width that
// holds less than one slot, or a plotter marked as truncated keeps the whole series.
TEST_F(CurvedLinePlotterTest, ThinningKeepsEveryNthSample) {
  PlotterData data;
  for (int i = 0; i < 1000; ++i) data.push_back(i);
  host->setBounds({0, 0, 200, 60});
  plotter->setTruncateData(true);
  plotter->update(data);
  plotter->draw(host, 0, 1000, 0);
  ASSERT_EQ(plotter->drawnData().size(), 40u);
  for (std::size_t i = 0; i < 40; ++i) EXPECT_EQ(plotter->drawnData()[i], 25.0 * i);
  EXPECT_EQ(strokePath().elementCount(), 1 + 2 * 39u);

  host->setBounds({0, 0, 3, 60});
  plotter->draw(host, 0, 1000, 0);
  EXPECT_EQ(plotter->drawnData().size(), 1000u);
  host->setBounds({0, 0, 200, 60});
  plotter->setTruncated(true);
  plotter->draw(host, 0, 1000, 0);
  EXPECT_EQ(plotter->drawnData().size(), 1000u);
}

// Explicit points replace the series: x by maxX across the width, y by the maximum, the last point pushed to
// W + L. One point is a flat line across the whole width; NaN coordinates sit L inside the far edges.
TEST_F(CurvedLinePlotterTest, PointsReplaceTheSeries) {
  plotter->update({0, 100});
  plotter->setPoints({{50, 50}});
  plotter->draw(host, 0, 100, 0);
  EXPECT_EQ(plotter->calculatedPoints(), (std::vector<Point>{{50, 28}}));
  expectElements(strokePath(), {moveTo({0, 28}), curveTo({52 * third, 28}, {104 * third, 28}, {52, 28}),
                                curveTo({52 + 52 * third, 28}, {52 + 104 * third, 28}, {104, 28})});

  plotter->setMaxX(200);
  plotter->setPoints({{50, 100}, {nan, nan}});
  plotter->draw(host, 0, 100, 0);
  EXPECT_EQ(plotter->calculatedPoints(), (std::vector<Point>{{25, 0}, {96, 52}}));

  plotter->clear();
  EXPECT_EQ(hostLayerCount(), 0u);
  EXPECT_TRUE(plotter->data().empty() && plotter->points().empty() && plotter->calculatedPoints().empty());
}

Rect outline(const ShapeLayer& bar) { return bar.path()->tightBounds(); }

// The bar of value index: its own shape layer, or the mask of its gradient.
const ShapeLayer& barOf(const BarSeriesPlotter& plotter, std::size_t index) {
  if (const auto* outlined = dynamic_cast<const OutlinedBarSeries*>(&plotter)) {
    return *outlined->barLayers()[index];
  }
  return *dynamic_cast<const GradientBarSeries&>(plotter).maskingLayers()[index];
}

// [gap, 0, 5] of 10 in 100-wide slots (min is never read): a flat bar, none for 0, a half bar; capsules
// (middle 60 %): a plain flat rectangle, a 1-point capsule, corners 30 across and (clamped) 25 high.
TEST(BarPlotters, BarsOfAGapAZeroAndAHalf) {
  const auto host = platform::test::canvas(300, 100);
  const auto bars = std::make_shared<BarPlotter>(Color::red());
  const auto gradient = std::make_shared<GradientBarPlotter>(redToBlue);
  const auto capsules = std::make_shared<CapsulePlotter>(redToBlue);
  const std::vector<std::shared_ptr<BarSeriesPlotter>> plotters{bars, gradient, capsules};
  for (const auto& plotter : plotters) {
    plotter->update({gap, 0, 5});
    plotter->draw(host, 4, 10, 0);
  }
  EXPECT_EQ(host->sublayers()->size(), 2u + 2 + 3);
  for (const auto& plotter : {plotters[0], plotters[1]}) {
    expectRectNear(outline(barOf(*plotter, 0)), {10, 99, 80, 1});
    expectRectNear(outline(barOf(*plotter, 2)), {210, 50, 80, 50});
  }
  EXPECT_EQ(std::tuple(bars->barLayers()[1], gradient->gradientLayers()[1]), std::tuple(nullptr, nullptr));
  const auto& masks = capsules->maskingLayers();
  EXPECT_EQ(masks[0]->path()->elementCount(), 5u);
  expectRectNear(outline(*masks[1]), {120, 99, 60, 1});
  EXPECT_EQ(masks[1]->path()->element(2).kind, platform::PathElementKind::curveTo);
  EXPECT_EQ(masks[2]->path()->element(0).points[0], (Point{250, 50}));
  EXPECT_EQ(masks[2]->path()->element(2).points[2], (Point{280, 75}));
  // An index beyond the data is an error, not a read past the end.
  EXPECT_THROW(bars->createBar(host, 3, 10, 0), std::out_of_range);
  EXPECT_THROW(capsules->createBar(host, 3, 10, 0), std::out_of_range);
}

// animate() grows each flat bar that still has a value, the model path staying flat (the gallery shows it
// under way); once animated it does nothing and new data is drawn full at once, until resetAnimation().
TEST(BarPlotters, GrowInFromTheBaseline) {
  const auto host = platform::test::canvas(300, 100);
  const auto bars = std::make_shared<MultiColorBarPlotter>();
  bars->setAnimationDuration(0.5);
  bars->update({5, 6, 7});
  bars->draw(host, 0, 10, 0);
  bars->animate(host, 10, 0);
  EXPECT_FALSE(bars->alreadyAnimated()) << "no timing function yet";
  bars->setTimingFunction(platform::TimingFunctionName::easeInEaseOut);
  bars->update({5});
  bars->animate(host, 10, 0);
  const std::shared_ptr<ShapeLayer> bar = bars->barLayers()[0];
  const std::optional<platform::BasicAnimation> grow = bar->animation("path");
  ASSERT_TRUE(grow.has_value());
  EXPECT_EQ(std::tuple(grow->duration, grow->timingFunction, grow->fillMode, grow->removedOnCompletion),
            std::tuple(0.5, platform::TimingFunction::named(platform::TimingFunctionName::easeInEaseOut),
                       platform::FillMode::forwards, false));
  expectRectNear(std::get<platform::Path>(*grow->toValue).tightBounds(), {2, 50, 296, 50});
  expectRectNear(outline(*bar), {2, 99, 96, 1});
  EXPECT_TRUE(bars->barLayers()[2]->animationKeys().empty());
  bars->animate(host, 20, 0);
  EXPECT_EQ(bar->animation("path")->toValue, grow->toValue);
  bars->update({5, 10});
  bars->draw(host, 0, 10, 0);
  expectRectNear(outline(*bars->barLayers()[1]), {152, 0, 146, 100});
  EXPECT_TRUE(bars->barLayers()[1]->animationKeys().empty());
  bars->resetAnimation();
  bars->draw(host, 0, 10, 0);
  expectRectNear(outline(*bars->barLayers()[1]), {152, 99, 146, 1});
}

// A graph view that keeps its maximum as given (scale mode none) hands 0 or NaN on; every bar plotter then
// grows to and draws the flat bar instead of dividing by it.
TEST(BarPlotters, MaximumOfZeroOrNaNGivesFlatBars) {
  for (const double max : {0.0, nan}) {
    const auto graph = graphtest::bareGraph(200, 100, max);
    const std::vector<std::shared_ptr<BarSeriesPlotter>> plotters{
        std::make_shared<BarPlotter>(Color::red()), std::make_shared<MultiColorBarPlotter>(),
        std::make_shared<GradientBarPlotter>(redToBlue), std::make_shared<CapsulePlotter>(redToBlue)};
    for (const auto& plotter : plotters) {
      plotter->setAnimationDuration(1);
      plotter->setTimingFunction(platform::TimingFunctionName::linear);
      graph->addPlotter(plotter);
      plotter->update({5, 10});
    }
    ASSERT_TRUE(graphtest::drainMainQueue());
    graph->animate();
    for (const auto& plotter : plotters) {
      ASSERT_TRUE(barOf(*plotter, 1).animation("path").has_value());
      const auto grown = std::get<platform::Path>(*barOf(*plotter, 1).animation("path")->toValue);
      EXPECT_EQ(grown.tightBounds().minY(), 99);
    }
    graph->refresh();
    for (const auto& plotter : plotters) EXPECT_EQ(outline(barOf(*plotter, 1)).height(), 1) << max;
  }
}

// Ranges 0...50 green, 50...100 red: 50 green (first wins), 150 system blue, 0 no bar, a gap the shape's
// own black fill. Colours by index only as many as values, else the first. Ten bars in 100: 6 wide at 2, 12.
TEST(ColoredBars, ColoursAndFixedGaps) {
  const auto host = platform::test::canvas(100, 100);
  const auto ranged = std::make_shared<MultiColorBarPlotter>(
      ColorRanges{std::make_shared<ColorRange>(0, 50, Color::green()),
                  std::make_shared<ColorRange>(50, 100, Color::red())});
  EXPECT_EQ(ColorRange(0, 50, Color::red()), *ranged->colorRanges()[0]);
  ranged->update({50, 75, 150, 0, gap});
  ranged->draw(host, 0, 100, 0);
  const auto& layers = ranged->barLayers();
  EXPECT_EQ(std::tuple(layers[0]->strokeColor(), layers[1]->strokeColor(), layers[2]->strokeColor()),
            std::tuple(Rgba{0, 1, 0, 1}, Rgba{1, 0, 0, 1}, SystemColors::systemBlue()->rgba()));
  EXPECT_EQ(layers[3], nullptr);
  EXPECT_EQ(layers[4]->fillColor(), (Rgba{0, 0, 0, 1}));
  EXPECT_FALSE(layers[4]->strokeColor().has_value());

  const auto bars = std::make_shared<MultiColorBarPlotter>(redGreenGray);
  bars->update({1, 2, 3, 4});
  bars->draw(host, 0, 10, 0);
  EXPECT_EQ(bars->barLayers()[1]->strokeColor(), (Rgba{1, 0, 0, 1}));
  bars->setColors({Color::red(), Color::green(), Color::gray(), Color::white()});
  bars->draw(host, 0, 10, 0);
  EXPECT_EQ(bars->barLayers()[3]->strokeColor(), (Rgba{1, 1, 1, 1}));
  bars->update({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  bars->draw(host, 0, 10, 0);
  for (std::size_t i = 0; i < 3; ++i) {
    expectRectNear(outline(*bars->barLayers()[i]), {2 + 10.0 * i, 90 - 10.0 * i, 6, 10 + 10.0 * i});
  }
}

// Ranges 0...50 red and 50...100 green over a 300 x 100 plot: each shape's colour and span of x.
using Shapes = std::vector<std::pair<std::optional<Rgba>, std::pair<double, double>>>;
Shapes segments(ColorizedSegmentPlotter& plotter, PlotterData data, double min = 0, double max = 100) {
  plotter.update(std::move(data));
  plotter.draw(platform::test::canvas(300, 100), min, max, 0);
  Shapes shapes;
  for (const auto& layer : plotter.segmentLayers()) {
    shapes.push_back({layer->fillColor(), {outline(*layer).minX(), outline(*layer).maxX()}});
  }
  return shapes;
}
std::shared_ptr<ColorizedSegmentPlotter> redThenGreen(PlotterData data = {}) {
  return std::make_shared<ColorizedSegmentPlotter>(
      ColorRanges{std::make_shared<ColorRange>(0, 50, Color::red()),
                  std::make_shared<ColorRange>(50, 100, Color::green())},
      std::move(data));
}

// A shape reaches the next band's first sample; a one-sample shape takes the next colour; a last sample in
// a new band leaves a zero-width shape; 50 is in the first range; equal bounds flatten onto the baseline.
TEST(ColorizedSegments, ShapesPerBand) {
  const auto plotter = redThenGreen();
  constexpr Rgba red{1, 0, 0, 1};
  constexpr Rgba green{0, 1, 0, 1};
  EXPECT_EQ(segments(*plotter, {10, 20, 60, 70}), (Shapes{{red, {0, 200}}, {green, {200, 300}}}));
  expectElements(*plotter->segmentLayers()[0]->path(), {moveTo({0, 90}), lineTo({100, 80}), lineTo({200, 40}),
                                                        lineTo({200, 100}), lineTo({0, 100}), closePath()});
  EXPECT_EQ(segments(*plotter, {10, 60, 70}), (Shapes{{green, {0, 150}}, {green, {150, 300}}}));
  EXPECT_EQ(segments(*plotter, {10, 50, 60}), (Shapes{{red, {0, 300}}, {green, {300, 300}}}));
  EXPECT_TRUE(segments(*plotter, {10}).empty());
  EXPECT_TRUE(segments(*plotter, {10, 20}, 0, 0).empty());
  segments(*plotter, {10, 60}, 50, 50);
  EXPECT_EQ(outline(*plotter->segmentLayers()[0]).minY(), 100);
  EXPECT_THROW(plotter->buildSegment(platform::test::canvas(300, 100), 2, 0, {}, 0, 100, 0),
               std::out_of_range);
}

// The walk takes no stack per sample: 200,000 samples in one band draw as one shape on a thread with a
// 256 KiB stack.
TEST(ColorizedSegments, LongSeriesOnASmallStack) {
  const auto plotter = redThenGreen();
  plotter->update(PlotterData(200000, 30));
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, 256 * 1024);
  pthread_t thread;
  const auto run = [](void* segmentPlotter) -> void* {
    auto* walker = static_cast<ColorizedSegmentPlotter*>(segmentPlotter);
    walker->draw(platform::test::canvas(300, 100), 0, 100, 0);
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, run, plotter.get()), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
  ASSERT_EQ(plotter->segmentLayers().size(), 1u);
  EXPECT_EQ(plotter->segmentLayers()[0]->path()->elementCount(), 200000u + 3);
}

// Galleries: plotters in graph views without grid or labels, rendered at scale 1 and written to the gallery
// (gallery/ beside the build tree's bin/) for a person to look at.

// The picture of a view after one plotter's series has been drawn.
template <typename Plotter>
std::shared_ptr<platform::Image> plotted(GraphView& graph, const std::shared_ptr<Plotter>& plotter,
                                         PlotterData data, const std::string& name) {
  plotter->setLineWidth(4);
  graph.addPlotter(plotter);
  plotter->update(std::move(data));
  EXPECT_TRUE(graphtest::drainMainQueue());
  return gallery::picture(graph, name, 1);
}

// [0, 50, 100]: the line from (0, 97) to (97, 50) to (204, 2).
TEST(LinePlotterGallery, StraightLineWithAndWithoutArea) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  auto red = std::make_shared<StraightLinePlotter>(std::vector(2, Color::red()));
  red->setFillArea(false);
  auto image = plotted(*graphtest::bareGraph(200, 100, 100), red, {0, 50, 100}, "straight-line");
  // The first segment passes y = 73.5 at x = 48.5; nothing above it.
  expectRgba(graphtest::pixelBelowTop(*image, 48.5, 73.5), Rgba{1, 0, 0, 1});
  expectRgba(graphtest::pixelBelowTop(*image, 48.5, 40.5), transparent);

  auto area = std::make_shared<StraightLinePlotter>(Colors::gradientStart(), true);
  image = plotted(*graphtest::bareGraph(200, 100, 100), area, {0, 50, 100}, "straight-area");
  // Under the line the area's gradient runs down the whole view from the first fill colour at 0.6 alpha
  // to the second at 0.25.
  const Rgba top = Colors::gradientStart()->withAlphaComponent(0.6)->rgba();
  const Rgba bottom = Colors::gradientEnd()->withAlphaComponent(0.25)->rgba();
  expectRgba(graphtest::pixelBelowTop(*image, 150.5, 80.5),
             gallery::premultiplied(gallery::mix(top, bottom, 80.5 / 100)), 4.0 / 255);
}

// [20, 60, 40, 80, gap, 30, 70] with the area: samples 32 apart from x = 1, sample 3 at (97, 21.2), the
// gap at x = 129. (Where each mode puts the gap is checked on the paths in the unit tests.)
TEST(LinePlotterGallery, StraightLineHighlightBeforeAGap) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  const Rgba stroke = Colors::gradientStart()->rgba();
  auto plotter = std::make_shared<StraightLinePlotter>(Colors::gradientStart(), true);
  plotter->setDrawNilMode(DrawNilMode::stopAndHighlightPreviousValue);
  const auto image = plotted(*graphtest::bareGraph(200, 100, 100), plotter,
                             {20, 60, 40, 80, std::nullopt, 30, 70}, "straight-gap-highlight");
  // After the stop the area's outline runs on to the bottom right corner, so only the area (0.26 alpha
  // down there) shows under the gap.
  EXPECT_NEAR(graphtest::pixelBelowTop(*image, 129.5, 96.5).alpha, 0.6 - 0.35 * 96.5 / 100, 0.02);
  // Above the end of the line, inside the outer dots only: two at a quarter alpha, one per pass.
  const Rgba ring{stroke.red, stroke.green, stroke.blue, 1 - 0.75 * 0.75};
  expectRgba(graphtest::pixelBelowTop(*image, 97.5, 17.5), gallery::premultiplied(ring));
}

// Rising and falling series in -10...10 against the reference at 0: y = 49, dashed on 0-1, off 1-4, on 4-7.
TEST(LinePlotterGallery, PositiveAndNegativeLines) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  for (const bool rising : {true, false}) {
    // With steps of 5 the range setters give -5 - 5 and 5 + 5.
    auto graph = graphtest::bareGraph(200, 100, 5);
    graph->setScaleMode(ScaleMode::five);
    graph->setMinValue(-5);
    graph->setMaxValue(5);
    auto plotter = std::make_shared<PositiveNegativePlotter>(Color::green(), Color::red());
    const auto image = plotted(*graph, plotter, {rising ? -5.0 : 5.0, rising ? 5.0 : -5.0},
                               rising ? "positive-line" : "negative-line");
    // From (0, 73) to (204, 26) rising, from (0, 25) to (204, 74) falling.
    const Rgba line = rising ? Rgba{0, 1, 0, 1} : Rgba{1, 0, 0, 1};
    expectRgba(graphtest::pixelBelowTop(*image, 40.5, rising ? 63.5 : 34.5), line);
    expectRgba(graphtest::pixelBelowTop(*image, 2.5, 48.5), transparent);
    const Rgba separator = SystemColors::separatorColor()->rgba();
    expectRgba(graphtest::pixelBelowTop(*image, 5.5, 48.5), gallery::premultiplied(separator));
  }
}

// [2.5, 5, 10] of 10 growing in over one second from media time 100: each plotter's pictures at the start,
// half-way and settled. Bar 1 stands in the slot from x = 100 to 200 and grows to y = 50. Settled: fills
// at 0.75 (premultiplied); near the baseline a gradient bar shows the bottom of the red-to-blue run over
// the whole height; the capsule (x 120 to 180) is rounded, its top corner clear.
TEST(BarPlotterGallery, BarsGrowingIn) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  using Case = std::tuple<std::string, std::shared_ptr<BarSeriesPlotter>, Point, Rgba>;
  const Case cases[] = {
      {"bars", std::make_shared<BarPlotter>(Color::red()), {150.5, 75.5}, {0.75, 0, 0, 0.75}},
      {"gradient-bars", std::make_shared<GradientBarPlotter>(redToBlue), {150.5, 97.5}, {0.025, 0, 0.975, 1}},
      {"capsules", std::make_shared<CapsulePlotter>(redToBlue), {120.5, 50.5}, transparent},
      {"multicolor-bars",
       std::make_shared<MultiColorBarPlotter>(redGreenGray),
       {150.5, 75.5},
       {0, 0.75, 0, 0.75}}};
  for (const auto& [name, plotter, at, settled] : cases) {
    platform::MediaClock::set(100);
    const auto graph = graphtest::bareGraph(300, 100, 10);
    plotter->setAnimationDuration(1);
    plotter->setTimingFunction(platform::TimingFunctionName::linear);
    graph->addPlotter(plotter);
    plotter->update({2.5, 5, 10});
    ASSERT_TRUE(graphtest::drainMainQueue());
    graph->animate();
    const auto flat = gallery::picture(*graph, name + "-flat", 1, platform::RenderTime::at(100));
    const auto half = gallery::picture(*graph, name + "-half", 1, platform::RenderTime::at(100.5));
    const auto grown = gallery::picture(*graph, name + "-grown", 1);
    SCOPED_TRACE(name);
    EXPECT_GT(graphtest::pixelBelowTop(*flat, 150.5, 99.5).alpha, 0.7);
    EXPECT_LT(graphtest::pixelBelowTop(*flat, 150.5, 97.5).alpha, 0.01);
    // Half-way a bar is 25 high, but a capsule shows its flat rectangle until the end.
    EXPECT_NEAR(graphtest::pixelBelowTop(*half, 150.5, 80.5).alpha, name == "capsules" ? 0 : 1, 0.3);
    EXPECT_LT(graphtest::pixelBelowTop(*half, 150.5, 70.5).alpha, 0.01);
    EXPECT_GT(graphtest::pixelBelowTop(*grown, 150.5, 55.5).alpha, 0.7);
    expectRgba(graphtest::pixelBelowTop(*grown, at.x, at.y), settled,
               name == "gradient-bars" ? 4.0 / 255 : 2.5 / 255);
  }
}

// The band from 0.25 to 0.5 of the width over the whole height, filled red at 0.75; narrower than minDelta
// it is not shown. update() keeps the data but still brings a redraw.
TEST(BarPlotterGallery, BandAndSegments) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  auto graph = graphtest::bareGraph(200, 100, 100);
  const auto band = std::make_shared<PercentageBarPlotter>(Color::red());
  graph->addPlotter(band);
  band->setStart(0.25);
  band->setEnd(0.5);
  band->update({1, 2});
  EXPECT_TRUE(band->data().empty());
  EXPECT_EQ(band->barLayer()->superlayer(), nullptr);
  ASSERT_TRUE(graphtest::drainMainQueue());
  expectRectNear(band->barLayer()->path()->tightBounds(), {50, band->lineWidth() / 2, 50, 100});
  expectRgba(graphtest::pixelBelowTop(*gallery::picture(*graph, "percentage-band", 1), 75.5, 50.5),
             Rgba{0.75, 0, 0, 0.75});
  band->setEnd(0.2505);
  graph->refresh();
  EXPECT_EQ(band->barLayer()->superlayer(), nullptr);

  // [10, 20, 60, 70]: red from x = 0 to 200, green from 200 to 300.
  graph = graphtest::bareGraph(300, 100, 100);
  graph->addPlotter(redThenGreen({10, 20, 60, 70}));
  ASSERT_TRUE(graphtest::drainMainQueue());
  const auto image = gallery::picture(*graph, "colorized-segments", 1);
  expectRgba(graphtest::pixelBelowTop(*image, 100.5, 95.5), Rgba{1, 0, 0, 1});
  expectRgba(graphtest::pixelBelowTop(*image, 250.5, 95.5), Rgba{0, 1, 0, 1});
  expectRgba(graphtest::pixelBelowTop(*image, 100.5, 15.5), transparent);
}

}  // namespace
}  // namespace Tavrix
