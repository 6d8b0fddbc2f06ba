#include <gtest/gtest.h>
#include <pthread.h>

#include <memory>
#include <optional>
#include <vector>

#include "Tavrix/Graph/ColorizedSegmentPlotter.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace {

using platform::Color;
using platform::Rgba;
using Tavrix::ColorRange;

// Ranges 0...50 red and 50...100 green over a 300 x 100 plot of 0...100.
struct ColorizedSegmentPlotterTest : ::testing::Test {
  // Each shape's colour and its span of x.
  std::vector<std::pair<std::optional<Rgba>, std::pair<double, double>>> draw(Tavrix::PlotterData data,
                                                                              double max = 100) {
    plotter->update(std::move(data));
    plotter->draw(host, 0, max, 0);
    std::vector<std::pair<std::optional<Rgba>, std::pair<double, double>>> shapes;
    for (const auto& layer : plotter->segmentLayers()) {
      const platform::Rect box = layer->path()->tightBounds();
      shapes.push_back({layer->fillColor(), {box.minX(), box.maxX()}});
    }
    return shapes;
  }

  std::shared_ptr<platform::Layer> host = platform::test::canvas(300, 100);
  std::shared_ptr<Tavrix::ColorizedSegmentPlotter> plotter =
      std::make_shared<Tavrix::ColorizedSegmentPlotter>(
          Tavrix::ColorRanges{std::make_shared<ColorRange>(0, 50, Color::red()),
                              std::make_shared<ColorRange>(50, 100, Color::green())},
          Tavrix::PlotterData{});
};

constexpr Rgba red{1, 0, 0, 1};
constexpr Rgba green{0, 1, 0, 1};
using Shapes = std::vector<std::pair<std::optional<Rgba>, std::pair<double, double>>>;

// A shape reaches the first sample of the next band; one of a single sample takes the next one's colour;
// a last sample in a new band leaves a shape of zero width; 50 belongs to the first range.
TEST_F(ColorizedSegmentPlotterTest, ShapesPerBand) {
  EXPECT_EQ(draw({10, 20, 60, 70}), (Shapes{{red, {0, 200}}, {green, {200, 300}}}));
  platform::test::expectElements(
      *plotter->segmentLayers()[0]->path(),
      {platform::test::moveTo({0, 90}), platform::test::lineTo({100, 80}), platform::test::lineTo({200, 40}),
       platform::test::lineTo({200, 100}), platform::test::lineTo({0, 100}), platform::test::closePath()});
  EXPECT_EQ(draw({10, 60, 70}), (Shapes{{green, {0, 150}}, {green, {150, 300}}}));
  EXPECT_EQ(draw({10, 50, 60}), (Shapes{{red, {0, 300}}, {green, {300, 300}}}));
  EXPECT_TRUE(draw({10}).empty());
  EXPECT_TRUE(draw({10, 20}, 0).empty());
}

// The walk takes no stack per sample: 200,000 samples in one band draw as one shape on a thread with a
// 256 KiB stack.
TEST_F(ColorizedSegmentPlotterTest, LongSeriesOnASmallStack) {
  plotter->update(Tavrix::PlotterData(200000, 30));
  pthread_attr_t attributes;
  pthread_attr_init(&attributes);
  pthread_attr_setstacksize(&attributes, 256 * 1024);
  pthread_t thread;
  const auto run = [](void* fixture) -> void* {
    auto* test = static_cast<ColorizedSegmentPlotterTest*>(fixture);
    test->plotter->draw(test->host, 0, 100, 0);
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, run, this), 0);
  pthread_join(thread, nullptr);
  pthread_attr_destroy(&attributes);
  ASSERT_EQ(plotter->segmentLayers().size(), 1u);
  EXPECT_EQ(plotter->segmentLayers()[0]->path()->elementCount(), 200000u + 3);
}

}  // namespace
