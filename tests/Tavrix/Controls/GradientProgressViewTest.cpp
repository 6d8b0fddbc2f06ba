#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>
#include <string>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Tavrix/Controls/GradientProgressView.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

// Layer order, masking, caps and gradient direction show in the gallery's pixel checks of both bars.
namespace Tavrix {
namespace {

using platform::Point;
using platform::Rect;
using platform::Rgba;

TEST(GradientProgressView, ShowsEachClampedValueAtOnceEvenBeforeTheFirstLayout) {
  auto bar = platform::View::create<GradientProgressView>(Rect(0, 0, 120, 8));
  bar->setValue(0.6);
  EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0.6);
  bar->setNeedsLayout(true);
  bar->layoutSubtreeIfNeeded();
  EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0.6);
  // The clamping itself is table-checked on the animated bar.
  for (const auto& [written, kept] : std::vector<std::pair<double, double>>{{1.5, 1}, {std::nan(""), 0}}) {
    bar->setValue(written);
    EXPECT_EQ(bar->value(), kept) << "after writing " << written;
    EXPECT_EQ(bar->progressLayer()->strokeEnd(), kept) << "after writing " << written;
  }
  EXPECT_TRUE(bar->progressLayer()->animationKeys().empty());
  EXPECT_THROW(bar->setColors({nullptr}), std::invalid_argument);
}

// Made flat and sized later: both lines still take the height the bar has at layout.
TEST(GradientProgressView, LayoutFitsTheLayersToTheBoundsAndHeight) {
  auto bar = platform::View::create<GradientProgressView>();
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
