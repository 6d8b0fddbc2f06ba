#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "Platform/Graphics/Layer.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Graph/StraightLinePlotter.hpp"
#include "tests/Tavrix/Graph/GraphFakes.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace {

using platform::Point;
using platform::test::closePath;
using platform::test::expectElements;
using platform::test::lineTo;
using platform::test::moveTo;
using Tavrix::DrawNilMode;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr auto gap = std::nullopt;

// A 200 x 100 host and a 4-point line over 0...100: U = 96. The first sample lies at (0, y + 1), the others
// half a line lower than their value's y, at x = step * i + 1 with step = (200 - 8) / (n - 1), the last at
// x = 204. The area closes at (204, 100) and (-4, 100).
struct StraightLinePlotterTest : ::testing::Test {
  void draw(Tavrix::PlotterData data, DrawNilMode mode = DrawNilMode::drawMinValue) {
    plotter->setLineWidth(4);
    plotter->setDrawNilMode(mode);
    plotter->update(std::move(data));
    plotter->draw(host, 0, 100, 0);
  }
  const platform::Path& strokePath() const { return *plotter->strokeLayer()->maskingLayer()->path(); }
  const platform::Path& fillPath() const { return *plotter->fillLayer()->maskingLayer()->path(); }

  std::shared_ptr<platform::Layer> host = platform::test::canvas(200, 100);
  std::shared_ptr<Tavrix::StraightLinePlotter> plotter = std::make_shared<Tavrix::StraightLinePlotter>(
      std::vector<platform::ColorRef>{Tavrix::Colors::gradientStart(), Tavrix::Colors::gradientEnd()});
};

TEST_F(StraightLinePlotterTest, LineAndAreaThroughWorkedPoints) {
  draw({0, 50, 100});
  EXPECT_EQ(plotter->calculatedPoints(), (std::vector<Point>{{0, 97}, {97, 50}, {204, 2}}));
  expectElements(strokePath(), {moveTo({0, 97}), lineTo({97, 50}), lineTo({204, 2})});
  expectElements(fillPath(), {moveTo({0, 97}), lineTo({97, 50}), lineTo({204, 2}), lineTo({204, 100}),
                              lineTo({-4, 100}), closePath()});
  EXPECT_EQ(*host->sublayers(), (platform::Layer::LayerList{plotter->strokeLayer()->gradientLayer(),
                                                            plotter->fillLayer()->gradientLayer()}));
  // NaN lies on the baseline like a gap; equal bounds put every value there.
  EXPECT_EQ(plotter->yPosition(nan, 0, 100, {200, 100}, 10), 86);
  EXPECT_EQ(plotter->yPosition(70, 50, 50, {200, 100}, 0), 96);
}

// A gap lies on the bottom line, L/2 above it (U + 1 for the first sample), or ends the line: at the first
// sample nothing is drawn and the new layers stay out of the tree; at the third the line has two points
// and the area runs from the second straight down to the bottom right corner.
TEST_F(StraightLinePlotterTest, GapsUnderEachMode) {
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
}

// The highlight sits on the sample before the gap: an outer dot of radius 5 in the stroke colour at a
// quarter alpha, then an opaque inner dot of radius 3; once per pass, so twice with the area.
TEST_F(StraightLinePlotterTest, HighlightBeforeAGap) {
  const platform::Rgba stroke = Tavrix::Colors::gradientStart()->rgba();
  for (const bool area : {false, true}) {
    plotter->setFillArea(area);
    draw({50, gap, 100}, DrawNilMode::stopAndHighlightPreviousValue);
    const auto& dots = plotter->markerLayers();
    ASSERT_EQ(dots.size(), area ? 4u : 2u);
    for (std::size_t i = 0; i < dots.size(); ++i) {
      const double radius = i % 2 == 0 ? 5 : 3;
      const platform::Rect box{-radius, 49 - radius, 2 * radius, 2 * radius};
      platform::test::expectRectNear(dots[i]->path()->tightBounds(), box);
      EXPECT_EQ(dots[i]->fillColor()->alpha, i % 2 == 0 ? 0.25 : 1) << i;
      EXPECT_EQ(dots[i]->fillColor()->green, stroke.green) << i;
    }
  }
}

// Markers go on inner samples above the minimum: not the first or last, a gap, NaN or the minimum.
TEST_F(StraightLinePlotterTest, MarkersOnInnerSamplesAboveTheMinimum) {
  plotter->setFillArea(false);
  plotter->setLineJoinMarker(Tavrix::LineJoinMarker::circle);
  draw({20, gap, 50, nan, 0, 90});
  ASSERT_EQ(plotter->markerLayers().size(), 1u);
  const Point centre = plotter->markerLayers()[0]->path()->element(0).points[0];
  EXPECT_NEAR(centre.x, 2 * 38.4 + 1, 1e-9);
  EXPECT_EQ(centre.y, 50);
}

// Explicit points ignore the gap mode: lines through x / maxX * W and U - y / max * U (NaN: W - L and U),
// the last not pushed past the edge; the line's own gradient fills the area and the area layer stays unused.
TEST_F(StraightLinePlotterTest, PointsReplaceTheSeries) {
  plotter->setPoints({{0, 0}, {50, 50}, {nan, nan}});
  draw({gap, 10}, DrawNilMode::stop);
  expectElements(strokePath(), {moveTo({0, 96}), lineTo({100, 48}), lineTo({196, 96}), lineTo({204, 100}),
                                lineTo({-4, 100}), closePath()});
  EXPECT_EQ(plotter->strokeLayer()->colors(), plotter->colors());
  EXPECT_EQ(plotter->strokeLayer()->fillColor(), platform::Color::black());
  EXPECT_EQ(plotter->fillLayer()->gradientLayer()->superlayer(), nullptr);
}

// Only drawNilMode and points ask the delegate for a redraw; other properties wait for the next pass.
TEST_F(StraightLinePlotterTest, RedrawRequestsOnlyForGapModeAndPoints) {
  struct CountingDelegate : Tavrix::PlotterDelegate {
    void plotterNeedsRedraw(const std::shared_ptr<Tavrix::IDataPlotter>&) override { ++redraws; }
    void plotterDidUpdateData(const std::shared_ptr<Tavrix::IDataPlotter>&) override {}
    int redraws = 0;
  };
  const auto delegate = std::make_shared<CountingDelegate>();
  plotter->setDelegate(delegate);
  plotter->setFillArea(false);
  plotter->setLineJoinMarker(Tavrix::LineJoinMarker::circle);
  plotter->setDrawNilMode(DrawNilMode::stop);
  plotter->setPoints({{1, 1}});
  ASSERT_TRUE(graphtest::drainMainQueue());
  EXPECT_EQ(delegate->redraws, 2);
  plotter->clear();
  EXPECT_EQ(delegate->redraws, 2);
}

}  // namespace
