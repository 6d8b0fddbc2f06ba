#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "Platform/Graphics/Layer.hpp"
#include "Tavrix/Controls/Constants.hpp"
#include "Tavrix/Graph/PositiveNegativePlotter.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace {

using platform::Layer;
using platform::Point;
using Tavrix::DrawNilMode;
using Tavrix::PlotterData;

// A 200 x 100 host and a 4-point line, U = 96 (the straight line plotter's geometry); rises are green.
struct PositiveNegativePlotterTest : ::testing::Test {
  void draw(PlotterData data, double min = 0, double max = 100) {
    plotter->setLineWidth(4);
    plotter->update(std::move(data));
    plotter->draw(host, min, max, 0);
  }

  std::shared_ptr<Layer> host = platform::test::canvas(200, 100);
  std::shared_ptr<Tavrix::PositiveNegativePlotter> plotter =
      std::make_shared<Tavrix::PositiveNegativePlotter>(platform::Color::green(), platform::Color::red());
};

// Only the newest sample of the whole series decides, against initial 0; equal, missing or NaN is black.
TEST_F(PositiveNegativePlotterTest, LineColourFollowsTheNewestSample) {
  const platform::ColorRef black = platform::Color::black();
  for (const auto& [data, colour] : std::vector<std::pair<PlotterData, platform::ColorRef>>{
           {{-5, 5}, platform::Color::green()},
           {{5, -1}, platform::Color::red()},
           {{5, std::nullopt}, black},
           {{-5, 0}, black},
           {{5, std::numeric_limits<double>::quiet_NaN()}, black}}) {
    draw(data, -10, 10);
    EXPECT_EQ(plotter->strokeLayer()->colors(), (std::vector{colour, colour})) << data.size();
  }
}

// The reference line for 0 in -10...10 lies half-way down the usable band plus one, across the whole
// width, 2 pixels wide, below the value line. A range whose maximum is not above 0 draws nothing.
TEST_F(PositiveNegativePlotterTest, ReferenceLineBelowTheValueLine) {
  draw({-10, 10}, -10, 10);
  const auto& reference = plotter->initialLayer();
  platform::test::expectElements(*reference->maskingLayer()->path(),
                                 {platform::test::moveTo({0, 49}), platform::test::lineTo({200, 49})});
  EXPECT_EQ(reference->lineWidth() / Tavrix::Constants::onePixel(), 2);
  EXPECT_EQ(*host->sublayers(),
            (Layer::LayerList{reference->gradientLayer(), plotter->strokeLayer()->gradientLayer()}));
  draw({-3, -1}, -5, 0);
  EXPECT_TRUE(host->sublayers()->empty());
}

// stop ends the line at a later gap, the reference line still drawn; the highlight mode stops only at a
// missing first sample and otherwise draws gaps on the bottom line, with no dots.
TEST_F(PositiveNegativePlotterTest, GapsUnderEachMode) {
  plotter->setDrawNilMode(DrawNilMode::stop);
  draw({0, 50, std::nullopt, 100});
  EXPECT_EQ(plotter->calculatedPoints(), (std::vector<Point>{{0, 97}, {65, 50}}));
  EXPECT_EQ(host->sublayers()->size(), 2u);
  plotter->setDrawNilMode(DrawNilMode::stopAndHighlightPreviousValue);
  draw({0, std::nullopt, 100});
  EXPECT_EQ(plotter->calculatedPoints(), (std::vector<Point>{{0, 97}, {97, 98}, {204, 2}}));
  EXPECT_EQ(host->sublayers()->size(), 2u);
  draw({std::nullopt, 50, 100});
  EXPECT_EQ(*host->sublayers(), (Layer::LayerList{plotter->initialLayer()->gradientLayer()}));
}

}  // namespace
