#include <gtest/gtest.h>

#include <functional>
#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "Platform/Graphics/MediaClock.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/BarPlotter.hpp"
#include "Tavrix/Graph/CapsulePlotter.hpp"
#include "Tavrix/Graph/ColorRange.hpp"
#include "Tavrix/Graph/GradientBarPlotter.hpp"
#include "Tavrix/Graph/MultiColorBarPlotter.hpp"
#include "Tavrix/Graph/PercentageBarPlotter.hpp"
#include "tests/Tavrix/Graph/BareGraph.hpp"
#include "tests/Tavrix/Graph/GraphFakes.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace {

using platform::Color;
using platform::Rect;
using platform::Rgba;
using platform::ShapeLayer;
using platform::test::expectRectNear;
using Tavrix::ColorRange;
using Tavrix::PlotterData;

constexpr auto gap = std::nullopt;
const std::vector<platform::ColorRef> redToBlue{Color::red(), Color::rgb(0, 0, 1)};

Rect outline(const std::shared_ptr<ShapeLayer>& bar) { return bar->path()->tightBounds(); }

// Slots of a 300 x 100 plot are 100 wide; [gap, 0, 5] against a maximum of 10 (min is never read).
TEST(BarPlotters, BarsOfAGapAZeroAndAHalf) {
  const auto host = platform::test::canvas(300, 100);
  const auto bars = std::make_shared<Tavrix::BarPlotter>(Color::red());
  bars->update({gap, 0, 5});
  bars->draw(host, 4, 10, 0);
  ASSERT_EQ(bars->barLayers().size(), 3u);
  expectRectNear(outline(bars->barLayers()[0]), {10, 99, 80, 1});
  EXPECT_EQ(bars->barLayers()[1], nullptr);
  expectRectNear(outline(bars->barLayers()[2]), {210, 50, 80, 50});
  EXPECT_EQ(host->sublayers()->size(), 2u);

  const auto gradient = std::make_shared<Tavrix::GradientBarPlotter>(redToBlue);
  gradient->update({gap, 0, 5});
  gradient->draw(host, 0, 10, 0);
  EXPECT_EQ(gradient->maskingLayers()[1], nullptr);
  EXPECT_EQ(gradient->gradientLayers()[1], nullptr);
  expectRectNear(outline(gradient->maskingLayers()[2]), {210, 50, 80, 50});
  EXPECT_EQ(gradient->gradientLayers()[2]->mask(), gradient->maskingLayers()[2]);
  EXPECT_EQ(gradient->gradientLayers()[2]->frame(), host->bounds());

  // Capsules stand in the middle 60 %: the flat bar is a plain rectangle, 0 a capsule 1 point high, and the
  // half bar's corners are 30 across and, clamped by its height, 25 high.
  const auto capsules = std::make_shared<Tavrix::CapsulePlotter>(redToBlue);
  capsules->update({gap, 0, 5});
  capsules->draw(host, 0, 10, 0);
  const auto& masks = capsules->maskingLayers();
  EXPECT_EQ(masks[0]->path()->elementCount(), 5u);
  expectRectNear(outline(masks[1]), {120, 99, 60, 1});
  EXPECT_EQ(masks[1]->path()->element(2).kind, platform::PathElementKind::curveTo);
  EXPECT_EQ(masks[2]->path()->element(0).points[0], (platform::Point{250, 50}));
  EXPECT_EQ(masks[2]->path()->element(2).points[2], (platform::Point{280, 75}));
}

// Bars start flat; animate() records one grow-in per bar that holds its end, the model path staying flat.
// (The gallery shows a capsule's flat rectangle, which cannot blend into its outline, until the end.)
TEST(BarPlotters, GrowInFromTheBaseline) {
  platform::MediaClock::set(10);
  const auto host = platform::test::canvas(300, 100);
  const auto bars = std::make_shared<Tavrix::BarPlotter>(Color::red());
  bars->setAnimationDuration(0.5);
  bars->update({5});
  bars->draw(host, 0, 10, 0);
  bars->animate(host, 10, 0);
  EXPECT_FALSE(bars->alreadyAnimated()) << "no timing function yet";
  bars->setTimingFunction(platform::TimingFunctionName::easeInEaseOut);
  bars->animate(host, 10, 0);
  const std::shared_ptr<ShapeLayer>& bar = bars->barLayers()[0];
  const std::optional<platform::BasicAnimation> grow = bar->animation("path");
  ASSERT_TRUE(grow.has_value());
  EXPECT_EQ(grow->duration, 0.5);
  EXPECT_EQ(grow->timingFunction,
            platform::TimingFunction::named(platform::TimingFunctionName::easeInEaseOut));
  EXPECT_EQ(grow->fillMode, platform::FillMode::forwards);
  EXPECT_FALSE(grow->removedOnCompletion);
  expectRectNear(outline(bar), {30, 99, 240, 1});
  expectRectNear(std::get<platform::Path>(*bar->presentationValue("path", 10.25)).tightBounds(),
                 {30, 74.5, 240, 25.5});

  // Once animated, animate() does nothing and new data is drawn at full height at once.
  bars->animate(host, 20, 0);
  EXPECT_EQ(bar->animation("path")->toValue, grow->toValue);
  bars->update({5, 10});
  bars->draw(host, 0, 10, 0);
  expectRectNear(outline(bars->barLayers()[1]), {165, 0, 120, 100});
  EXPECT_TRUE(bars->barLayers()[1]->animationKeys().empty());
}

// A series that became shorter than the bars leaves the bars without a value as they are.
TEST(BarPlotters, AnimateSkipsBarsWithoutAValue) {
  const auto host = platform::test::canvas(300, 100);
  const auto bars = std::make_shared<Tavrix::MultiColorBarPlotter>();
  bars->setAnimationDuration(1);
  bars->setTimingFunction(platform::TimingFunctionName::linear);
  bars->update({5, 6, 7});
  bars->draw(host, 0, 10, 0);
  bars->update({5});
  bars->animate(host, 10, 0);
  EXPECT_TRUE(bars->barLayers()[0]->animation("path").has_value());
  EXPECT_TRUE(bars->barLayers()[2]->animationKeys().empty());
  // resetAnimation() brings the flat bars and the grow-in back.
  bars->resetAnimation();
  bars->draw(host, 0, 10, 0);
  expectRectNear(outline(bars->barLayers()[0]), {2, 99, 296, 1});
}

// A graph view that keeps its maximum as given (scale mode none) hands 0 or NaN on; every bar plotter then
// grows to and draws the flat bar instead of dividing by it.
TEST(BarPlotters, MaximumOfZeroOrNaNGivesFlatBars) {
  for (const double max : {0.0, std::numeric_limits<double>::quiet_NaN()}) {
    const auto bar = std::make_shared<Tavrix::BarPlotter>(Color::red());
    const auto multi = std::make_shared<Tavrix::MultiColorBarPlotter>();
    const auto gradient = std::make_shared<Tavrix::GradientBarPlotter>(redToBlue);
    const auto capsule = std::make_shared<Tavrix::CapsulePlotter>(redToBlue);
    const std::vector<std::pair<std::shared_ptr<Tavrix::BarSeriesPlotter>, std::function<ShapeLayer&()>>>
        plotters{{bar, [&]() -> ShapeLayer& { return *bar->barLayers()[1]; }},
                 {multi, [&]() -> ShapeLayer& { return *multi->barLayers()[1]; }},
                 {gradient, [&]() -> ShapeLayer& { return *gradient->maskingLayers()[1]; }},
                 {capsule, [&]() -> ShapeLayer& { return *capsule->maskingLayers()[1]; }}};
    const auto graph = graphtest::bareGraph(200, 100, max);
    for (const auto& [plotter, secondBar] : plotters) {
      plotter->setAnimationDuration(1);
      plotter->setTimingFunction(platform::TimingFunctionName::linear);
      graph->addPlotter(plotter);
      plotter->update({5, 10});
    }
    ASSERT_TRUE(graphtest::drainMainQueue());
    graph->animate();
    for (const auto& [plotter, secondBar] : plotters) {
      ASSERT_TRUE(secondBar().animation("path").has_value());
      EXPECT_EQ(std::get<platform::Path>(*secondBar().animation("path")->toValue).tightBounds().minY(), 99);
    }
    graph->refresh();
    for (const auto& [plotter, secondBar] : plotters) {
      EXPECT_EQ(secondBar().path()->tightBounds().height(), 1) << max;
    }
  }
}

// Ranges 0...50 green and 50...100 red: 50 lies in both and the first wins; 150 in none is system blue;
// 0 gets no bar and a gap no colour (a shape layer's own black fill, no outline).
TEST(ColoredBars, ColourByValueRange) {
  const auto host = platform::test::canvas(100, 100);
  const auto bars = std::make_shared<Tavrix::MultiColorBarPlotter>(
      Tavrix::ColorRanges{std::make_shared<ColorRange>(0, 50, Color::green()),
                          std::make_shared<ColorRange>(50, 100, Color::red())});
  EXPECT_EQ(ColorRange(0, 50, Color::red()), *bars->colorRanges()[0]);
  bars->update({50, 75, 150, 0, std::nullopt});
  bars->draw(host, 0, 100, 0);
  const auto& layers = bars->barLayers();
  const Rgba blue = Tavrix::SystemColors::systemBlue()->rgba();
  EXPECT_EQ(layers[0]->strokeColor(), (Rgba{0, 1, 0, 1}));
  EXPECT_EQ(layers[0]->fillColor(), (Rgba{0, 1, 0, 0.75}));
  EXPECT_EQ(layers[1]->strokeColor(), (Rgba{1, 0, 0, 1}));
  EXPECT_EQ(layers[2]->strokeColor(), blue);
  EXPECT_EQ(layers[3], nullptr);
  EXPECT_EQ(layers[4]->fillColor(), (Rgba{0, 0, 0, 1}));
  EXPECT_FALSE(layers[4]->strokeColor().has_value());
}

// A colour per bar only when there are as many colours as values, else the first for all. Bars stand
// offset (4) points apart: in 100 points, ten bars 6 wide at 2, 12, 22...
TEST(ColoredBars, ColourByIndexAndFixedGaps) {
  const auto host = platform::test::canvas(100, 100);
  const std::vector<platform::ColorRef> three{Color::red(), Color::green(), Color::gray()};
  const auto bars = std::make_shared<Tavrix::MultiColorBarPlotter>(three);
  bars->update({1, 2, 3, 4});
  bars->draw(host, 0, 10, 0);
  for (const auto& bar : bars->barLayers()) {
    EXPECT_EQ(bar->strokeColor(), (Rgba{1, 0, 0, 1}));
  }
  bars->setColors({Color::red(), Color::green(), Color::gray(), Color::white()});
  bars->draw(host, 0, 10, 0);
  EXPECT_EQ(bars->barLayers()[3]->strokeColor(), (Rgba{1, 1, 1, 1}));

  bars->update({1, 2, 3, 4, 5, 6, 7, 8, 9, 10});
  bars->draw(host, 0, 10, 0);
  for (std::size_t i = 0; i < 3; ++i) {
    expectRectNear(bars->barLayers()[i]->path()->tightBounds(),
                   {2 + 10.0 * i, 90 - 10.0 * i, 6, 10 + 10.0 * i});
  }
}

// The band runs from start to end of the width over the whole height; narrower than minDelta it is not
// shown. update() keeps the data but still brings a redraw.
TEST(ColoredBars, PercentageBand) {
  const auto graph = graphtest::bareGraph(200, 100, 100);
  const auto band = std::make_shared<Tavrix::PercentageBarPlotter>(Color::red());
  graph->addPlotter(band);
  band->setStart(0.25);
  band->setEnd(0.5);
  band->update({1, 2});
  EXPECT_TRUE(band->data().empty());
  EXPECT_EQ(band->barLayer()->superlayer(), nullptr);
  ASSERT_TRUE(graphtest::drainMainQueue());
  ASSERT_EQ(band->barLayer()->superlayer(), graph->layer());
  const double half = band->lineWidth() / 2;
  expectRectNear(band->barLayer()->path()->tightBounds(), {50, half, 50, 100});
  band->setEnd(0.2505);
  graph->refresh();
  EXPECT_EQ(band->barLayer()->superlayer(), nullptr);
}

}  // namespace
