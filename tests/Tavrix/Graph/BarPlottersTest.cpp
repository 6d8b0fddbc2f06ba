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

#include "Platform/Graphics/MediaClock.hpp"
#include "Platform/UI/Screen.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/BarPlotter.hpp"
#include "Tavrix/Graph/CapsulePlotter.hpp"
#include "Tavrix/Graph/ColorizedSegmentPlotter.hpp"
#include "Tavrix/Graph/GradientBarPlotter.hpp"
#include "Tavrix/Graph/MultiColorBarPlotter.hpp"
#include "Tavrix/Graph/PercentageBarPlotter.hpp"
#include "tests/Tavrix/GalleryPicture.hpp"
#include "tests/Tavrix/Graph/GraphFakes.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace {

using platform::Color;
using platform::Rect;
using platform::Rgba;
using platform::ShapeLayer;
using platform::test::expectRectNear;
using platform::test::expectRgba;
using platform::test::transparent;
using Tavrix::ColorRange;
using Tavrix::PlotterData;

constexpr auto gap = std::nullopt;
const std::vector<platform::ColorRef> redToBlue{Color::red(), Color::rgb(0, 0, 1)};

Rect outline(const ShapeLayer& bar) { return bar.path()->tightBounds(); }

// The bar of value index: its own shape layer, or the mask of its gradient.
const ShapeLayer& barOf(const Tavrix::BarSeriesPlotter& plotter, std::size_t index) {
  if (const auto* outlined = dynamic_cast<const Tavrix::OutlinedBarSeries*>(&plotter)) {
    return *outlined->barLayers()[index];
  }
  return *dynamic_cast<const Tavrix::GradientBarSeries&>(plotter).maskingLayers()[index];
}

// [gap, 0, 5] of 10 in 100-wide slots (min is never read): a flat bar, none for 0, a half bar; capsules
// (middle 60 %): a plain flat rectangle, a 1-point capsule, corners 30 across and (clamped) 25 high.
TEST(BarPlotters, BarsOfAGapAZeroAndAHalf) {
  const auto host = platform::test::canvas(300, 100);
  const auto bars = std::make_shared<Tavrix::BarPlotter>(Color::red());
  const auto gradient = std::make_shared<Tavrix::GradientBarPlotter>(redToBlue);
  const auto capsules = std::make_shared<Tavrix::CapsulePlotter>(redToBlue);
  const std::vector<std::shared_ptr<Tavrix::BarSeriesPlotter>> plotters{bars, gradient, capsules};
  for (const auto& plotter : plotters) {
    plotter->update({gap, 0, 5});
    plotter->draw(host, 4, 10, 0);
  }
  EXPECT_EQ(host->sublayers()->size(), 2u + 2 + 3);
  for (const auto& plotter : {plotters[0], plotters[1]}) {
    expectRectNear(outline(barOf(*plotter, 0)), {10, 99, 80, 1});
    expectRectNear(outline(barOf(*plotter, 2)), {210, 50, 80, 50});
  }
  EXPECT_EQ(bars->barLayers()[1], nullptr);
  EXPECT_EQ(gradient->gradientLayers()[1], nullptr);
  const auto& masks = capsules->maskingLayers();
  EXPECT_EQ(masks[0]->path()->elementCount(), 5u);
  expectRectNear(outline(*masks[1]), {120, 99, 60, 1});
  EXPECT_EQ(masks[1]->path()->element(2).kind, platform::PathElementKind::curveTo);
  EXPECT_EQ(masks[2]->path()->element(0).points[0], (platform::Point{250, 50}));
  EXPECT_EQ(masks[2]->path()->element(2).points[2], (platform::Point{280, 75}));
  // An index beyond the data is an error, not a read past the end.
  EXPECT_THROW(bars->createBar(host, 3, 10, 0), std::out_of_range);
  EXPECT_THROW(capsules->createBar(host, 3, 10, 0), std::out_of_range);
}

// animate() grows each flat bar that still has a value, the model path staying flat (the gallery shows it
// under way); once animated it does nothing and new data is drawn full at once, until resetAnimation().
TEST(BarPlotters, GrowInFromTheBaseline) {
  const auto host = platform::test::canvas(300, 100);
  const auto bars = std::make_shared<Tavrix::MultiColorBarPlotter>();
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
  EXPECT_EQ(grow->duration, 0.5);
  EXPECT_EQ(grow->timingFunction,
            platform::TimingFunction::named(platform::TimingFunctionName::easeInEaseOut));
  EXPECT_EQ(grow->fillMode, platform::FillMode::forwards);
  EXPECT_FALSE(grow->removedOnCompletion);
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
  for (const double max : {0.0, std::numeric_limits<double>::quiet_NaN()}) {
    const auto graph = graphtest::bareGraph(200, 100, max);
    const std::vector<std::shared_ptr<Tavrix::BarSeriesPlotter>> plotters{
        std::make_shared<Tavrix::BarPlotter>(Color::red()), std::make_shared<Tavrix::MultiColorBarPlotter>(),
        std::make_shared<Tavrix::GradientBarPlotter>(redToBlue),
        std::make_shared<Tavrix::CapsulePlotter>(redToBlue)};
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
  const auto ranged = std::make_shared<Tavrix::MultiColorBarPlotter>(
      Tavrix::ColorRanges{std::make_shared<ColorRange>(0, 50, Color::green()),
                          std::make_shared<ColorRange>(50, 100, Color::red())});
  EXPECT_EQ(ColorRange(0, 50, Color::red()), *ranged->colorRanges()[0]);
  ranged->update({50, 75, 150, 0, gap});
  ranged->draw(host, 0, 100, 0);
  const auto& layers = ranged->barLayers();
  EXPECT_EQ(layers[0]->strokeColor(), (Rgba{0, 1, 0, 1}));
  EXPECT_EQ(layers[1]->strokeColor(), (Rgba{1, 0, 0, 1}));
  EXPECT_EQ(layers[2]->strokeColor(), Tavrix::SystemColors::systemBlue()->rgba());
  EXPECT_EQ(layers[3], nullptr);
  EXPECT_EQ(layers[4]->fillColor(), (Rgba{0, 0, 0, 1}));
  EXPECT_FALSE(layers[4]->strokeColor().has_value());

  const auto bars = std::make_shared<Tavrix::MultiColorBarPlotter>(
      std::vector{Color::red(), Color::green(), Color::gray()});
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
Shapes segments(Tavrix::ColorizedSegmentPlotter& plotter, PlotterData data, double min = 0,
                double max = 100) {
  plotter.update(std::move(data));
  plotter.draw(platform::test::canvas(300, 100), min, max, 0);
  Shapes shapes;
  for (const auto& layer : plotter.segmentLayers()) {
    shapes.push_back({layer->fillColor(), {outline(*layer).minX(), outline(*layer).maxX()}});
  }
  return shapes;
}
std::shared_ptr<Tavrix::ColorizedSegmentPlotter> redThenGreen() {
  return std::make_shared<Tavrix::ColorizedSegmentPlotter>(
      Tavrix::ColorRanges{std::make_shared<ColorRange>(0, 50, Color::red()),
                          std::make_shared<ColorRange>(50, 100, Color::green())},
      PlotterData{});
}

// A shape reaches the next band's first sample; a one-sample shape takes the next colour; a last sample in
// a new band leaves a zero-width shape; 50 is in the first range; equal bounds flatten onto the baseline.
TEST(ColorizedSegments, ShapesPerBand) {
  using platform::test::lineTo;
  const auto plotter = redThenGreen();
  constexpr Rgba red{1, 0, 0, 1};
  constexpr Rgba green{0, 1, 0, 1};
  EXPECT_EQ(segments(*plotter, {10, 20, 60, 70}), (Shapes{{red, {0, 200}}, {green, {200, 300}}}));
  platform::test::expectElements(*plotter->segmentLayers()[0]->path(),
                                 {platform::test::moveTo({0, 90}), lineTo({100, 80}), lineTo({200, 40}),
                                  lineTo({200, 100}), lineTo({0, 100}), platform::test::closePath()});
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
    auto* walker = static_cast<Tavrix::ColorizedSegmentPlotter*>(segmentPlotter);
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

// [2.5, 5, 10] of 10 growing in over one second from media time 100: each plotter's pictures at the start,
// half-way and settled. Bar 1 stands in the slot from x = 100 to 200 and grows to y = 50. Settled: fills
// at 0.75 (premultiplied); near the baseline a gradient bar shows the bottom of the red-to-blue run over
// the whole height; the capsule (x 120 to 180) is rounded, its top corner clear.
TEST(BarPlotterGallery, BarsGrowingIn) {
  platform::ScopedMainScreen screen(platform::Screen{1});
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
    const auto flat = Tavrix::gallery::picture(*graph, name + "-flat", 1, platform::RenderTime::at(100));
    const auto half = Tavrix::gallery::picture(*graph, name + "-half", 1, platform::RenderTime::at(100.5));
    const auto grown = Tavrix::gallery::picture(*graph, name + "-grown", 1);
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
  expectRgba(graphtest::pixelBelowTop(*Tavrix::gallery::picture(*graph, "percentage-band", 1), 75.5, 50.5),
             Rgba{0.75, 0, 0, 0.75});
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
  const auto image = Tavrix::gallery::picture(*graph, "colorized-segments", 1);
  expectRgba(graphtest::pixelBelowTop(*image, 100.5, 95.5), Rgba{1, 0, 0, 1});
  expectRgba(graphtest::pixelBelowTop(*image, 250.5, 95.5), Rgba{0, 1, 0, 1});
  expectRgba(graphtest::pixelBelowTop(*image, 100.5, 15.5), transparent);
}

}  // namespace
