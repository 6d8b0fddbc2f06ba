#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/MediaClock.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/BarPlotter.hpp"
#include "Tavrix/Graph/CapsulePlotter.hpp"
#include "Tavrix/Graph/ColorizedSegmentPlotter.hpp"
#include "Tavrix/Graph/GradientBarPlotter.hpp"
#include "Tavrix/Graph/MultiColorBarPlotter.hpp"
#include "Tavrix/Graph/PercentageBarPlotter.hpp"
#include "Tavrix/Graph/PositiveNegativePlotter.hpp"
#include "Tavrix/Graph/StraightLinePlotter.hpp"
#include "tests/Tavrix/GalleryPicture.hpp"
#include "tests/Tavrix/Graph/GraphFakes.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

// Line, bar, band and segment plotters in graph views without grid or labels, rendered at scale 1 and
// written to the gallery (gallery/ beside the build tree's bin/) for a person to look at. Pixels are read
// at device-pixel centres, y down from the top as the plotters place things.
namespace {

using platform::Color;
using platform::Rgba;
using platform::test::expectRgba;
using platform::test::transparent;

using Tavrix::gallery::premultiplied;

// The picture at one pixel per point (at the settled time unless given), saved to the gallery.
std::shared_ptr<platform::Image> galleryPicture(platform::View& view, const std::string& name,
                                                platform::RenderTime time = platform::RenderTime::settled()) {
  return Tavrix::gallery::picture(view, name, 1, time);
}

Rgba pixelBelowTop(const platform::Image& image, double x, double y) {
  return platform::test::pixelAt(image, x, image.pixelHeight() / image.scale() - y);
}

// The picture of a view after one plotter's series has been drawn.
template <typename Plotter>
std::shared_ptr<platform::Image> plotted(Tavrix::GraphView& graph, const std::shared_ptr<Plotter>& plotter,
                                         Tavrix::PlotterData data, const std::string& name) {
  plotter->setLineWidth(4);
  graph.addPlotter(plotter);
  plotter->update(std::move(data));
  EXPECT_TRUE(graphtest::drainMainQueue());
  return galleryPicture(graph, name);
}

// [0, 50, 100]: the line from (0, 97) to (97, 50) to (204, 2).
TEST(LinePlotterGallery, StraightLineWithAndWithoutArea) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  auto red = std::make_shared<Tavrix::StraightLinePlotter>(std::vector(2, Color::red()));
  red->setFillArea(false);
  auto image = plotted(*graphtest::bareGraph(200, 100, 100), red, {0, 50, 100}, "straight-line");
  // The first segment passes y = 73.5 at x = 48.5; nothing above it.
  expectRgba(pixelBelowTop(*image, 48.5, 73.5), Rgba{1, 0, 0, 1});
  expectRgba(pixelBelowTop(*image, 48.5, 40.5), transparent);

  auto area = std::make_shared<Tavrix::StraightLinePlotter>(Tavrix::Colors::gradientStart(), true);
  image = plotted(*graphtest::bareGraph(200, 100, 100), area, {0, 50, 100}, "straight-area");
  // Under the line the area's gradient runs down the whole view from the first fill colour at 0.6 alpha
  // to the second at 0.25.
  const double t = 80.5 / 100;
  const Rgba top = Tavrix::Colors::gradientStart()->rgba();
  const Rgba bottom = Tavrix::Colors::gradientEnd()->rgba();
  expectRgba(pixelBelowTop(*image, 150.5, 80.5),
             premultiplied({top.red + (bottom.red - top.red) * t, top.green + (bottom.green - top.green) * t,
                            top.blue + (bottom.blue - top.blue) * t, 0.6 + (0.25 - 0.6) * t}),
             4.0 / 255);
}

// [20, 60, 40, 80, gap, 30, 70] with the area: samples 32 apart from x = 1, sample 3 at (97, 21.2), the
// gap at x = 129. (Where each mode puts the gap is checked on the paths in the unit tests.)
TEST(LinePlotterGallery, StraightLineHighlightBeforeAGap) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  const Rgba stroke = Tavrix::Colors::gradientStart()->rgba();
  auto plotter = std::make_shared<Tavrix::StraightLinePlotter>(Tavrix::Colors::gradientStart(), true);
  plotter->setDrawNilMode(Tavrix::DrawNilMode::stopAndHighlightPreviousValue);
  const auto image = plotted(*graphtest::bareGraph(200, 100, 100), plotter,
                             {20, 60, 40, 80, std::nullopt, 30, 70}, "straight-gap-highlight");
  // After the stop the area's outline runs on to the bottom right corner, so only the area (0.26 alpha
  // down there) shows under the gap.
  EXPECT_NEAR(pixelBelowTop(*image, 129.5, 96.5).alpha, 0.6 - 0.35 * 96.5 / 100, 0.02);
  // Above the end of the line, inside the outer dots only: two at a quarter alpha, one per pass.
  const Rgba ring{stroke.red, stroke.green, stroke.blue, 1 - 0.75 * 0.75};
  expectRgba(pixelBelowTop(*image, 97.5, 17.5), premultiplied(ring));
}

// Rising and falling series in -10...10 against the reference at 0: y = 49, dashed on 0-1, off 1-4, on 4-7.
TEST(LinePlotterGallery, PositiveAndNegativeLines) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  for (const bool rising : {true, false}) {
    // With steps of 5 the range setters give -5 - 5 and 5 + 5.
    auto graph = graphtest::bareGraph(200, 100, 5);
    graph->setScaleMode(Tavrix::ScaleMode::five);
    graph->setMinValue(-5);
    graph->setMaxValue(5);
    auto plotter = std::make_shared<Tavrix::PositiveNegativePlotter>(Color::green(), Color::red());
    const auto image = plotted(*graph, plotter, {rising ? -5.0 : 5.0, rising ? 5.0 : -5.0},
                               rising ? "positive-line" : "negative-line");
    // From (0, 73) to (204, 26) rising, from (0, 25) to (204, 74) falling.
    const Rgba line = rising ? Rgba{0, 1, 0, 1} : Rgba{1, 0, 0, 1};
    expectRgba(pixelBelowTop(*image, 40.5, rising ? 63.5 : 34.5), line);
    expectRgba(pixelBelowTop(*image, 2.5, 48.5), transparent);
    const Rgba separator = Tavrix::SystemColors::separatorColor()->rgba();
    expectRgba(pixelBelowTop(*image, 5.5, 48.5), premultiplied(separator));
  }
}

// [2.5, 5, 10] of 10 growing in over one second from media time 100: each plotter's pictures at the start,
// half-way and settled. Bar 1 stands in the slot from x = 100 to 200 and grows to y = 50. Settled: fills
// at 0.75 (premultiplied); near the baseline a gradient bar shows the bottom of the red-to-blue run over
// the whole height; the capsule (x 120 to 180) is rounded, its top corner clear.
TEST(BarPlotterGallery, BarsGrowingIn) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  const std::vector<platform::ColorRef> redToBlue{Color::red(), Color::rgb(0, 0, 1)};
  using Case = std::tuple<std::string, std::shared_ptr<Tavrix::BarSeriesPlotter>, platform::Point, Rgba>;
  for (const auto& [name, plotter, at, settled] : std::vector<Case>{
           {"bars", std::make_shared<Tavrix::BarPlotter>(Color::red()), {150.5, 75.5}, {0.75, 0, 0, 0.75}},
           {"gradient-bars",
            std::make_shared<Tavrix::GradientBarPlotter>(redToBlue),
            {150.5, 97.5},
            {0.025, 0, 0.975, 1}},
           {"capsules", std::make_shared<Tavrix::CapsulePlotter>(redToBlue), {120.5, 50.5}, transparent},
           {"multicolor-bars",
            std::make_shared<Tavrix::MultiColorBarPlotter>(
                std::vector{Color::red(), Color::green(), Color::gray()}),
            {150.5, 75.5},
            {0, 0.75, 0, 0.75}}}) {
    platform::MediaClock::set(100);
    const auto graph = graphtest::bareGraph(300, 100, 10);
    plotter->setAnimationDuration(1);
    plotter->setTimingFunction(platform::TimingFunctionName::linear);
    graph->addPlotter(plotter);
    plotter->update({2.5, 5, 10});
    ASSERT_TRUE(graphtest::drainMainQueue());
    graph->animate();
    const auto flat = galleryPicture(*graph, name + "-flat", platform::RenderTime::at(100));
    const auto half = galleryPicture(*graph, name + "-half", platform::RenderTime::at(100.5));
    const auto grown = galleryPicture(*graph, name + "-grown");
    SCOPED_TRACE(name);
    EXPECT_GT(pixelBelowTop(*flat, 150.5, 99.5).alpha, 0.7);
    EXPECT_LT(pixelBelowTop(*flat, 150.5, 97.5).alpha, 0.01);
    // Half-way a bar is 25 high, but a capsule shows its flat rectangle until the end.
    EXPECT_NEAR(pixelBelowTop(*half, 150.5, 80.5).alpha, name == "capsules" ? 0 : 1, 0.3);
    EXPECT_LT(pixelBelowTop(*half, 150.5, 70.5).alpha, 0.01);
    EXPECT_GT(pixelBelowTop(*grown, 150.5, 55.5).alpha, 0.7);
    expectRgba(pixelBelowTop(*grown, at.x, at.y), settled, name == "gradient-bars" ? 4.0 / 255 : 2.5 / 255);
  }
}

// The band from 0.25 to 0.5 of the width over the whole height, filled red at 0.75; narrower than minDelta
// it is not shown. update() keeps the data but still brings a redraw.
TEST(BarPlotterGallery, BandAndSegments) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  auto graph = graphtest::bareGraph(200, 100, 100);
  const auto band = std::make_shared<Tavrix::PercentageBarPlotter>(Color::red());
  graph->addPlotter(band);
  band->setStart(0.25);
  band->setEnd(0.5);
  band->update({1, 2});
  EXPECT_TRUE(band->data().empty());
  EXPECT_EQ(band->barLayer()->superlayer(), nullptr);
  ASSERT_TRUE(graphtest::drainMainQueue());
  platform::test::expectRectNear(band->barLayer()->path()->tightBounds(),
                                 {50, band->lineWidth() / 2, 50, 100});
  expectRgba(pixelBelowTop(*galleryPicture(*graph, "percentage-band"), 75.5, 50.5), Rgba{0.75, 0, 0, 0.75});
  band->setEnd(0.2505);
  graph->refresh();
  EXPECT_EQ(band->barLayer()->superlayer(), nullptr);

  // [10, 20, 60, 70]: red from x = 0 to 200, green from 200 to 300.
  graph = graphtest::bareGraph(300, 100, 100);
  graph->addPlotter(std::make_shared<Tavrix::ColorizedSegmentPlotter>(
      Tavrix::ColorRanges{std::make_shared<Tavrix::ColorRange>(0, 50, Color::red()),
                          std::make_shared<Tavrix::ColorRange>(50, 100, Color::green())},
      Tavrix::PlotterData{10, 20, 60, 70}));
  ASSERT_TRUE(graphtest::drainMainQueue());
  const auto image = galleryPicture(*graph, "colorized-segments");
  expectRgba(pixelBelowTop(*image, 100.5, 95.5), Rgba{1, 0, 0, 1});
  expectRgba(pixelBelowTop(*image, 250.5, 95.5), Rgba{0, 1, 0, 1});
  expectRgba(pixelBelowTop(*image, 100.5, 15.5), transparent);
}

}  // namespace
