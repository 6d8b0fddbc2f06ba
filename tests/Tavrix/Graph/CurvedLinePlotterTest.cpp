#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <vector>

#include "Platform/Graphics/Layer.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Graph/CurvedLinePlotter.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"

namespace {

using platform::Point;
using platform::test::closePath;
using platform::test::curveTo;
using platform::test::expectElements;
using platform::test::lineTo;
using platform::test::moveTo;
using Tavrix::CurvedLinePlotter;
using Tavrix::PlotterData;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

// A 100 x 60 host layer and a plotter with a 4-point line: U = 60 - 4 = 56, the step between samples of a
// three-value series is (100 - 8) / 2 = 46 and the last sample lies at x = 104.
class CurvedLinePlotterTest : public ::testing::Test {
 protected:
  void SetUp() override {
    host->setBounds({0, 0, 100, 60});
    plotter->setLineWidth(4);
  }

  const platform::Path& strokePath() const { return *plotter->strokeLayer()->maskingLayer()->path(); }
  const platform::Path& fillPath() const { return *plotter->fillLayer()->maskingLayer()->path(); }
  bool attached(const std::shared_ptr<Tavrix::GradientLayer>& layer) const {
    return layer && layer->gradientLayer()->superlayer() == host;
  }

  std::shared_ptr<platform::Layer> host = std::make_shared<platform::Layer>();
  std::shared_ptr<CurvedLinePlotter> plotter = std::make_shared<CurvedLinePlotter>(
      std::vector<platform::ColorRef>{Tavrix::Colors::gradientStart(), Tavrix::Colors::gradientEnd()});
};

// Samples 0, 50 and 100 of 0...100 lie at (0, 58), (46, 30) and (104, 2). Each interval is two quadratic
// halves through its middle, written as cubics with control points two thirds of the way to the quadratic
// control point, which sits at the sample's height: the tangent is flat at every sample.
TEST_F(CurvedLinePlotterTest, CurveThroughASmallSeriesHasFlatTangentsAtTheSamples) {
  plotter->update({0, 50, 100});
  plotter->draw(host, 0, 100, 0);
  const double third = 1.0 / 3.0;
  expectElements(strokePath(),
                 {moveTo({0, 58}), curveTo({23 * third, 58}, {46 * third, 160 * third}, {23, 44}),
                  curveTo({92 * third, 104 * third}, {115 * third, 30}, {46, 30}),
                  curveTo({167 * third, 30}, {196 * third, 76 * third}, {75, 16}),
                  curveTo({254 * third, 20 * third}, {283 * third, 2}, {104, 2})});
}

// The area starts half a line lower at the left edge, follows the same curves and closes along the bottom
// of the plot, one line width beyond both edges.
TEST_F(CurvedLinePlotterTest, AreaFollowsTheCurveAndClosesAlongTheBottom) {
  plotter->update({0, 50, 100});
  plotter->draw(host, 0, 100, 0);
  const double third = 1.0 / 3.0;
  expectElements(fillPath(),
                 {moveTo({0, 60}), curveTo({23 * third, 176 * third}, {46 * third, 160 * third}, {23, 44}),
                  curveTo({92 * third, 104 * third}, {115 * third, 30}, {46, 30}),
                  curveTo({167 * third, 30}, {196 * third, 76 * third}, {75, 16}),
                  curveTo({254 * third, 20 * third}, {283 * third, 2}, {104, 2}), lineTo({104, 60}),
                  lineTo({-4, 60}), closePath()});

  // With a bottom inset the area closes above it.
  plotter->draw(host, 0, 100, 10);
  const platform::Path& inset = fillPath();
  EXPECT_EQ(inset.element(inset.elementCount() - 3).points[0], (Point{104, 50}));
  EXPECT_EQ(inset.element(inset.elementCount() - 2).points[0], (Point{-4, 50}));
}

// Missing samples lie on the bottom line (y = H - I - L/2), NaN samples one line width higher. Equal
// neighbours give a straight piece: every control point at their height.
TEST_F(CurvedLinePlotterTest, MissingAndNaNSamplesAndFlatPieces) {
  plotter->update({std::nullopt, nan, 25, 25});
  plotter->draw(host, 0, 100, 0);
  const platform::Path& path = strokePath();
  ASSERT_EQ(path.elementCount(), 7u);
  EXPECT_EQ(path.element(0).points[0], (Point{0, 58}));
  EXPECT_DOUBLE_EQ(path.element(2).points[2].y, 54);
  EXPECT_DOUBLE_EQ(path.element(4).points[2].y, 2 + 56 * 0.75);
  for (std::size_t i = 5; i < 7; ++i) {
    for (const Point& point : path.element(i).points) {
      EXPECT_DOUBLE_EQ(point.y, 44) << "element " << i;
    }
  }
}

// A sample above the maximum is drawn outside the band; only the quadratic control points are held at the
// top edge, so the cubic controls lie a third of the way from the samples to y = 0.
TEST_F(CurvedLinePlotterTest, ControlPointsNeverRiseAboveTheTopEdge) {
  plotter->update({200, 200});
  plotter->draw(host, 0, 100, 0);
  const double y = 2 - 56;
  const platform::Path& path = strokePath();
  EXPECT_EQ(path.element(0).points[0], (Point{0, y}));
  EXPECT_DOUBLE_EQ(path.element(1).points[0].y, y / 3);
  EXPECT_DOUBLE_EQ(path.element(1).points[2].y, y);
  EXPECT_DOUBLE_EQ(path.element(2).points[1].y, y / 3);
}

// With lineWidth 0 (the history graphs) the samples span exactly 0 to W and sit on the band's edges.
TEST_F(CurvedLinePlotterTest, ZeroLineWidthSpansTheWidth) {
  plotter->setLineWidth(0);
  plotter->update({0, 100});
  plotter->draw(host, 0, 100, 0);
  const platform::Path& path = strokePath();
  EXPECT_EQ(path.element(0).points[0], (Point{0, 60}));
  EXPECT_EQ(path.element(path.elementCount() - 1).points[2], (Point{100, 0}));
}

TEST_F(CurvedLinePlotterTest, YPositionOfValuesGapsAndAFlatRange) {
  const platform::Size size{100, 60};
  EXPECT_DOUBLE_EQ(plotter->yPosition(25, 0, 100, size, 10), 46 - 0.25 * 46);
  EXPECT_DOUBLE_EQ(plotter->yPosition(std::nullopt, 0, 100, size, 10), 46);
  EXPECT_DOUBLE_EQ(plotter->yPosition(nan, 0, 100, size, 10), 42);
  // Equal bounds map every value to the baseline instead of dividing by zero.
  EXPECT_DOUBLE_EQ(plotter->yPosition(70, 50, 50, size, 0), 56);
}

// The line's gradient is attached first, the area's after it, so the area lies on top; each runs from the
// top edge to the bottom edge in its own colours.
TEST_F(CurvedLinePlotterTest, LayersAndTheirGradients) {
  plotter->update({10, 20, 30});
  plotter->draw(host, 0, 100, 0);
  ASSERT_TRUE(attached(plotter->strokeLayer()));
  ASSERT_TRUE(attached(plotter->fillLayer()));
  ASSERT_EQ(host->sublayers()->size(), 2u);
  EXPECT_EQ(host->sublayers()->at(0), plotter->strokeLayer()->gradientLayer());
  EXPECT_EQ(host->sublayers()->at(1), plotter->fillLayer()->gradientLayer());

  const auto& stroke = *plotter->strokeLayer();
  EXPECT_EQ(stroke.maskingLayer()->fillColor(), std::nullopt);
  EXPECT_EQ(stroke.maskingLayer()->lineWidth(), 4);
  EXPECT_EQ(stroke.gradientLayer()->startPoint(), (Point{0.5, 0}));
  EXPECT_EQ(stroke.gradientLayer()->endPoint(), (Point{0.5, 1}));
  EXPECT_EQ(stroke.gradientLayer()->frame(), host->bounds());

  const auto& fill = *plotter->fillLayer();
  ASSERT_EQ(fill.gradientLayer()->colors().size(), 2u);
  EXPECT_NEAR(fill.gradientLayer()->colors()[0].alpha, 0.6, 1e-12);
  EXPECT_NEAR(fill.gradientLayer()->colors()[1].alpha, 0.25, 1e-12);
  EXPECT_EQ(fill.maskingLayer()->fillColor(), (platform::Rgba{0, 0, 0, 1}));
  EXPECT_EQ(fill.maskingLayer()->strokeColor(), (platform::Rgba{0, 0, 0, 0}));

  // The next pass replaces both.
  const auto oldStroke = plotter->strokeLayer();
  plotter->draw(host, 0, 100, 0);
  EXPECT_EQ(oldStroke->gradientLayer()->superlayer(), nullptr);
  EXPECT_EQ(host->sublayers()->size(), 2u);

  // Without fillArea only the line is drawn.
  plotter->setFillArea(false);
  plotter->draw(host, 0, 100, 0);
  EXPECT_EQ(host->sublayers()->size(), 1u);
}

TEST_F(CurvedLinePlotterTest, DrawOnlyRemovesWithoutALayerOrAUsableRange) {
  plotter->update({10, 20, 30});
  for (const auto& [min, max] :
       std::vector<std::pair<double, double>>{{0, 0}, {0, -5}, {60, 50}, {nan, 50}}) {
    plotter->draw(host, 0, 100, 0);
    ASSERT_EQ(host->sublayers()->size(), 2u);
    plotter->draw(host, min, max, 0);
    EXPECT_TRUE(host->sublayers()->empty()) << min << "..." << max;
  }
  plotter->draw(host, 0, 100, 0);
  plotter->draw(nullptr, 0, 100, 0);
  EXPECT_TRUE(host->sublayers()->empty());
}

TEST_F(CurvedLinePlotterTest, FewerThanTwoSamplesDrawNothing) {
  for (const PlotterData& data : {PlotterData{}, PlotterData{42}}) {
    plotter->update(data);
    plotter->draw(host, 0, 100, 0);
    EXPECT_FALSE(attached(plotter->strokeLayer()));
    EXPECT_FALSE(attached(plotter->fillLayer()));
  }
}

// An interval that ends in a present sample above the minimum marks both of its samples; the last interval
// never does. Markers of the line pass come before the line and read its gradient before it has any
// colours, so they are clear; those of the area pass read the finished line and come before the area.
TEST_F(CurvedLinePlotterTest, MarkersOnIntervalsThatEndInAPresentSample) {
  plotter->setLineJoinMarker(Tavrix::LineJoinMarker::circle);
  plotter->update({10, std::nullopt, 50, 0, 70, 90});
  plotter->draw(host, 0, 100, 0);
  // Positions: step (100 - 8) / 5 = 18.4; only interval 2 (ends at 50) and 4 (ends at 70) mark.
  const std::vector<Point> centres{{18.4, 58}, {36.8, 2 + 28}, {55.2, 58}, {73.6, 2 + 56 * 0.3}};
  const auto& markers = plotter->markerLayers();
  ASSERT_EQ(markers.size(), 2 * centres.size());
  for (std::size_t i = 0; i < markers.size(); ++i) {
    const Point centre = markers[i]->path()->element(0).points[0];
    EXPECT_NEAR(centre.x, centres[i % 4].x, 1e-9) << i;
    EXPECT_NEAR(centre.y, centres[i % 4].y, 1e-9) << i;
    EXPECT_EQ(markers[i]->frame(), host->bounds());
    EXPECT_NEAR(markers[i]->path()->controlBounds().size.width, 2 * 3, 1e-9) << "a circle of radius 3";
    const double alpha = markers[i]->fillColor()->alpha;
    if (i < 4) {
      EXPECT_EQ(alpha, 0) << "line pass " << i;
    } else {
      EXPECT_GT(alpha, 0.5) << "area pass " << i;
    }
  }
  const auto& layers = *host->sublayers();
  ASSERT_EQ(layers.size(), 10u);
  EXPECT_EQ(layers[4], plotter->strokeLayer()->gradientLayer());
  EXPECT_EQ(layers[5], markers[4]);
  EXPECT_EQ(layers[9], plotter->fillLayer()->gradientLayer());

  // The next pass takes the markers away with the rest.
  plotter->setLineJoinMarker(Tavrix::LineJoinMarker::none);
  plotter->draw(host, 0, 100, 0);
  EXPECT_TRUE(plotter->markerLayers().empty());
  EXPECT_EQ(host->sublayers()->size(), 2u);
}

// Thinning keeps k = width / minimumDistance samples, every (n / k)-th.
TEST_F(CurvedLinePlotterTest, ThinningKeepsEveryNthSample) {
  PlotterData data;
  for (int i = 0; i < 1000; ++i) {
    data.push_back(i);
  }
  host->setBounds({0, 0, 200, 60});
  plotter->setTruncateData(true);
  plotter->update(data);
  plotter->draw(host, 0, 1000, 0);
  ASSERT_EQ(plotter->drawnData().size(), 40u);
  for (std::size_t i = 0; i < 40; ++i) {
    EXPECT_EQ(plotter->drawnData()[i], 25.0 * i);
  }
  EXPECT_EQ(strokePath().elementCount(), 1 + 2 * 39u);

  // A series that fits is kept whole, and so is one whose width holds less than one slot.
  plotter->update({1, 2, 3});
  plotter->draw(host, 0, 1000, 0);
  EXPECT_EQ(plotter->drawnData().size(), 3u);
  plotter->update(data);
  host->setBounds({0, 0, 3, 60});
  plotter->draw(host, 0, 1000, 0);
  EXPECT_EQ(plotter->drawnData().size(), 1000u);

  // Marked as truncated, or with thinning off, the series is drawn whole.
  host->setBounds({0, 0, 200, 60});
  plotter->setTruncated(true);
  plotter->draw(host, 0, 1000, 0);
  EXPECT_EQ(plotter->drawnData().size(), 1000u);
  plotter->resetTruncation();
  plotter->setTruncateData(false);
  plotter->draw(host, 0, 1000, 0);
  EXPECT_EQ(plotter->drawnData().size(), 1000u);
}

// Explicit points replace the series: x by maxX across the width, y by the maximum, the last point pushed
// to W + L. One point draws a flat line across the whole width.
TEST_F(CurvedLinePlotterTest, PointsReplaceTheSeries) {
  plotter->update({0, 100});
  plotter->setPoints({{50, 50}});
  plotter->draw(host, 0, 100, 0);
  ASSERT_EQ(plotter->calculatedPoints().size(), 1u);
  EXPECT_EQ(plotter->calculatedPoints()[0], (Point{50, 28}));
  expectElements(strokePath(), {moveTo({0, 28}), curveTo({52.0 / 3, 28}, {104.0 / 3, 28}, {52, 28}),
                                curveTo({52 + 52.0 / 3, 28}, {52 + 104.0 / 3, 28}, {104, 28})});
  const platform::Path& area = fillPath();
  EXPECT_EQ(area.element(area.elementCount() - 2).points[0], (Point{-4, 60}));

  plotter->setMaxX(200);
  plotter->setPoints({{50, 100}, {nan, nan}});
  plotter->draw(host, 0, 100, 0);
  ASSERT_EQ(plotter->calculatedPoints().size(), 2u);
  EXPECT_EQ(plotter->calculatedPoints()[0], (Point{25, 0}));
  EXPECT_EQ(plotter->calculatedPoints()[1], (Point{96, 52}));
}

TEST_F(CurvedLinePlotterTest, ClearForgetsEverything) {
  plotter->setPoints({{1, 1}});
  plotter->update({10, 20});
  plotter->draw(host, 0, 100, 0);
  plotter->clear();
  EXPECT_TRUE(host->sublayers()->empty());
  EXPECT_TRUE(plotter->data().empty());
  EXPECT_TRUE(plotter->drawnData().empty());
  EXPECT_TRUE(plotter->points().empty());
  EXPECT_TRUE(plotter->calculatedPoints().empty());
  EXPECT_EQ(plotter->delegate(), nullptr);
}

}  // namespace
