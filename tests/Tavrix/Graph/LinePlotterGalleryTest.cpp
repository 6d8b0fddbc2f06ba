#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/UI/Screen.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/PositiveNegativePlotter.hpp"
#include "Tavrix/Graph/StraightLinePlotter.hpp"
#include "tests/Tavrix/Graph/GraphFakes.hpp"
#include "tests/Tavrix/Graph/PlotterPictures.hpp"

// Straight and positive/negative lines (4 points wide) in 200 x 100 graph views without grid or labels,
// written to the gallery. Pixels are read at device-pixel centres, y down from the top.
namespace {

using graphtest::pixelBelowTop;
using graphtest::premultiplied;
using platform::Rgba;
using platform::test::expectRgba;

// The picture of a view after one plotter's series has been drawn.
template <typename Plotter>
std::shared_ptr<platform::Image> plotted(Tavrix::GraphView& graph, const std::shared_ptr<Plotter>& plotter,
                                         Tavrix::PlotterData data, const std::string& name) {
  plotter->setLineWidth(4);
  graph.addPlotter(plotter);
  plotter->update(std::move(data));
  EXPECT_TRUE(graphtest::drainMainQueue());
  return graphtest::galleryPicture(graph, name);
}

// [0, 50, 100]: the line from (0, 97) to (97, 50) to (204, 2).
TEST(LinePlotterGallery, StraightLineWithAndWithoutArea) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  auto red = std::make_shared<Tavrix::StraightLinePlotter>(std::vector(2, platform::Color::red()));
  red->setFillArea(false);
  auto image = plotted(*graphtest::bareGraph(200, 100, 100), red, {0, 50, 100}, "straight-line");
  // The first segment passes y = 73.5 at x = 48.5; nothing above it.
  expectRgba(pixelBelowTop(*image, 48.5, 73.5), Rgba{1, 0, 0, 1});
  expectRgba(pixelBelowTop(*image, 48.5, 40.5), platform::test::transparent);

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
// gap at x = 129.
TEST(LinePlotterGallery, StraightLineGapModes) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  const Rgba stroke = Tavrix::Colors::gradientStart()->rgba();
  for (const auto& [mode, name] : std::vector<std::pair<Tavrix::DrawNilMode, std::string>>{
           {Tavrix::DrawNilMode::drawMinValue, "straight-gap-bottom"},
           {Tavrix::DrawNilMode::stop, "straight-gap-stop"},
           {Tavrix::DrawNilMode::stopAndHighlightPreviousValue, "straight-gap-highlight"}}) {
    auto plotter = std::make_shared<Tavrix::StraightLinePlotter>(Tavrix::Colors::gradientStart(), true);
    plotter->setDrawNilMode(mode);
    const auto image =
        plotted(*graphtest::bareGraph(200, 100, 100), plotter, {20, 60, 40, 80, std::nullopt, 30, 70}, name);
    // The opaque line dips to the bottom line at the gap only when it goes on; after a stop the area's
    // outline runs on to the bottom right corner, so only the area (0.26 alpha down there) shows.
    const double goesOn = mode == Tavrix::DrawNilMode::drawMinValue ? 1 : 0.6 - 0.35 * 96.5 / 100;
    EXPECT_NEAR(pixelBelowTop(*image, 129.5, 96.5).alpha, goesOn, 0.02) << name;
    if (mode == Tavrix::DrawNilMode::stopAndHighlightPreviousValue) {
      // Above the end of the line, inside the outer dots only: two at a quarter alpha, one per pass.
      const Rgba ring{stroke.red, stroke.green, stroke.blue, 1 - 0.75 * 0.75};
      expectRgba(pixelBelowTop(*image, 97.5, 17.5), premultiplied(ring));
    }
  }
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
    auto plotter =
        std::make_shared<Tavrix::PositiveNegativePlotter>(platform::Color::green(), platform::Color::red());
    const auto image = plotted(*graph, plotter, {rising ? -5.0 : 5.0, rising ? 5.0 : -5.0},
                               rising ? "positive-line" : "negative-line");
    // From (0, 73) to (204, 26) rising, from (0, 25) to (204, 74) falling.
    const Rgba line = rising ? Rgba{0, 1, 0, 1} : Rgba{1, 0, 0, 1};
    expectRgba(pixelBelowTop(*image, 40.5, rising ? 63.5 : 34.5), line);
    expectRgba(pixelBelowTop(*image, 2.5, 48.5), platform::test::transparent);
    const Rgba separator = Tavrix::SystemColors::separatorColor()->rgba();
    expectRgba(pixelBelowTop(*image, 5.5, 48.5), premultiplied(separator));
  }
}

}  // namespace
