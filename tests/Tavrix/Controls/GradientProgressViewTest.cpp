#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Tavrix/Controls/GradientProgressView.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {
namespace {

using platform::Point;
using platform::Rect;
using platform::Rgba;

TEST(GradientProgressView, ShowsEachValueAtOnceEvenBeforeTheFirstLayout) {
  auto bar = platform::View::create<GradientProgressView>(Rect(0, 0, 120, 8));
  bar->setValue(0.6);
  EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0.6);
  bar->setNeedsLayout(true);
  bar->layoutSubtreeIfNeeded();
  EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0.6);

  const double infinity = std::numeric_limits<double>::infinity();
  for (const auto& [written, kept] : std::vector<std::pair<double, double>>{
           {1.5, 1}, {-0.2, 0}, {std::nan(""), 0}, {-infinity, 0}, {infinity, 1}, {0.25, 0.25}}) {
    bar->setValue(written);
    EXPECT_EQ(bar->value(), kept) << "after writing " << written;
    EXPECT_EQ(bar->progressLayer()->strokeEnd(), kept) << "after writing " << written;
  }
  EXPECT_TRUE(bar->progressLayer()->animationKeys().empty());
}

TEST(GradientProgressView, LayoutFitsTheLayersToTheBoundsAndHeight) {
  // Made flat and sized later: both lines still take the height the bar has at layout.
  auto bar = platform::View::create<GradientProgressView>();
  EXPECT_EQ(*bar->layer()->sublayers(), (platform::Layer::LayerList{bar->bgLayer(), bar->gradientLayer()}));
  bar->setFrame(Rect(10, 20, 200, 12));
  bar->layoutSubtreeIfNeeded();
  EXPECT_EQ(bar->layer()->cornerRadius(), 6);
  EXPECT_EQ(bar->bgLayer()->lineWidth(), 12);
  EXPECT_EQ(bar->progressLayer()->lineWidth(), 12);
  EXPECT_EQ(bar->bgLayer()->path()->tightBounds(), Rect(0, 0, 200, 12));
  EXPECT_EQ(bar->gradientLayer()->frame(), Rect(0, 0, 200, 12));
  const platform::Path& line = *bar->progressLayer()->path();
  ASSERT_EQ(line.elementCount(), 2u);
  EXPECT_EQ(line.element(0).points[0], (Point{6, 6}));
  EXPECT_EQ(line.element(1).points[0], (Point{194, 6}));
  EXPECT_EQ(bar->progressLayer()->lineCap(), platform::LineCap::round);
  EXPECT_EQ(bar->gradientLayer()->mask(), bar->progressLayer());

  // New colours apply at once, evenly spaced from left to right.
  bar->setColors({platform::Color::red(), platform::Color::green(), platform::Color::white()});
  EXPECT_EQ(bar->gradientLayer()->colors(), (std::vector<Rgba>{{1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 1, 1}}));
  EXPECT_EQ(bar->gradientLayer()->startPoint(), (Point{0, 0.5}));
  EXPECT_EQ(bar->gradientLayer()->endPoint(), (Point{1, 0.5}));
  EXPECT_THROW(bar->setColors({nullptr}), std::invalid_argument);
}

TEST(GradientProgressView, AnAppearanceChangeResolvesTrackAndGradientAgain) {
  auto bar = platform::View::create<GradientProgressView>(Rect(0, 0, 120, 8));
  const platform::ColorRef accent = SystemColors::systemBlue();
  bar->setColors({accent});
  const platform::Appearance light(std::string(platform::Appearance::aqua));
  const platform::Appearance dark(std::string(platform::Appearance::darkAqua));
  ASSERT_NE(accent->rgba(dark), accent->rgba(light));
  EXPECT_EQ(bar->bgLayer()->strokeColor(), SystemColors::tertiaryLabelColor()->rgba(light));
  EXPECT_EQ(bar->gradientLayer()->colors(), std::vector<Rgba>{accent->rgba(light)});

  bar->setAppearance(dark);
  EXPECT_EQ(bar->bgLayer()->strokeColor(), SystemColors::tertiaryLabelColor()->rgba(dark));
  EXPECT_EQ(bar->gradientLayer()->colors(), std::vector<Rgba>{accent->rgba(dark)});
}

}  // namespace
}  // namespace Tavrix
