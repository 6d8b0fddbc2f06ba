#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/MediaClock.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/ViewLoader.hpp"
#include "Tavrix/Controls/AnimatedGradientProgressView.hpp"
#include "Tavrix/Controls/GradientProgressView.hpp"
#include "Tavrix/Controls/Gradients.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "tests/Tavrix/GalleryPicture.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

// The plain and the animated gradient bar. Layer order, masking, round caps and the gradient's direction show
// in the gallery's pixel checks of both bars.
namespace Tavrix {
namespace {

using platform::AnimatableValue;
using platform::BasicAnimation;
using platform::MediaClock;
using platform::Point;
using platform::Rect;
using platform::Rgba;

constexpr double infinity = std::numeric_limits<double>::infinity();

// A bar after its first layout pass, as a window gives it.
std::shared_ptr<AnimatedGradientProgressView> laidOutBar(const Rect& frame) {
  auto bar = platform::View::create<AnimatedGradientProgressView>(frame);
  bar->setNeedsLayout(true);
  bar->layoutSubtreeIfNeeded();
  return bar;
}

double strokeEndAt(const AnimatedGradientProgressView& bar, double time) {
  return std::get<double>(*bar.progressLayer()->presentationValue("strokeEnd", time));
}

// The start and end of a straight line path.
std::vector<Point> ends(const platform::Path& path) {
  EXPECT_EQ(path.elementCount(), 2u);
  return {path.element(0).points[0], path.element(1).points[0]};
}

TEST(AnimatedGradientProgressView, EasesFromTheFormerValueAndHoldsTheClampedNewOne) {
  MediaClock::set(100);
  auto bar = laidOutBar(Rect(0, 0, 200, 10));
  bar->setValue(0.8);
  MediaClock::set(101);
  bar->setValue(0.3);

  const std::optional<BasicAnimation> animation = bar->progressLayer()->animation("strokeEnd");
  ASSERT_TRUE(animation);
  EXPECT_EQ(animation->duration, 0.66);
  EXPECT_EQ(animation->timingFunction.controlPoints(), (std::array<double, 4>{0.42, 0, 0.58, 1}));
  // The model stays at 0; the line shows 0.8, eases to 0.55 at half time (the curve is symmetric) and then
  // holds 0.3.
  EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0);
  EXPECT_DOUBLE_EQ(strokeEndAt(*bar, 101), 0.8);
  EXPECT_NEAR(strokeEndAt(*bar, 101.33), 0.55, 1e-9);
  EXPECT_DOUBLE_EQ(strokeEndAt(*bar, 500), 0.3);

  // A new duration waits for the next change.
  bar->setDuration(2);
  EXPECT_EQ(bar->progressLayer()->animation("strokeEnd")->duration, 0.66);
  bar->setValue(0.3);
  EXPECT_EQ(bar->progressLayer()->animation("strokeEnd")->duration, 2);

  for (const auto& [written, kept] : std::vector<std::pair<double, double>>{
           {0.42, 0.42}, {1.5, 1}, {-0.2, 0}, {std::nan(""), 0}, {infinity, 1}, {-infinity, 0}}) {
    bar->setValue(written);
    EXPECT_EQ(bar->value(), kept) << "after writing " << written;
    EXPECT_EQ(strokeEndAt(*bar, infinity), kept) << "after writing " << written;
  }
}

TEST(AnimatedGradientProgressView, EveryLayoutRebuildsTheBarAndReplaysTheLastChange) {
  MediaClock::set(10);
  auto bar = laidOutBar(Rect(0, 0, 200, 10));
  bar->setValue(0.8);
  bar->setValue(0.3);
  MediaClock::set(20);
  bar->setFrameSize({300, 20});
  bar->layoutSubtreeIfNeeded();

  EXPECT_EQ(bar->progressLayer()->animation("strokeEnd")->fromValue, AnimatableValue(0.8));
  EXPECT_DOUBLE_EQ(strokeEndAt(*bar, 20), 0.8);
  EXPECT_DOUBLE_EQ(strokeEndAt(*bar, 21), 0.3);
  // A capsule: the round-capped line runs from H / 2 to W - H / 2, as thick as the bar.
  EXPECT_EQ(bar->layer()->cornerRadius(), 10);
  EXPECT_EQ(ends(*bar->progressLayer()->path()), (std::vector<Point>{{10, 10}, {290, 10}}));
  EXPECT_EQ(bar->progressLayer()->lineWidth(), 20);
  EXPECT_EQ(bar->gradientLayer()->frame(), Rect(0, 0, 300, 20));
  EXPECT_EQ(bar->bgLayer()->path()->tightBounds(), Rect(0, 0, 300, 20));

  // Square corners: butt caps over the whole width.
  bar->setHasCorners(false);
  EXPECT_EQ(bar->layer()->cornerRadius(), 0);
  EXPECT_EQ(ends(*bar->progressLayer()->path()), (std::vector<Point>{{0, 10}, {300, 10}}));
  EXPECT_EQ(bar->progressLayer()->lineCap(), platform::LineCap::butt);
}

TEST(AnimatedGradientProgressView, IndeterminateStripesDriftBetweenTrackAndGradient) {
  MediaClock::set(50);
  auto bar = laidOutBar(Rect(0, 0, 280, 10));
  bar->setIsIndeterminate(true);
  EXPECT_EQ(*bar->layer()->sublayers(),
            (platform::Layer::LayerList{bar->bgLayer(), bar->blockLayer(), bar->gradientLayer()}));
  // 4 x 10 parallelograms of five elements; stripe i runs from x = 20 i - 2 at the top to 20 i + 18 at the
  // bottom.
  const platform::Path& path = *bar->blockLayer()->path();
  ASSERT_EQ(path.elementCount(), 200u);
  const std::vector<std::pair<std::size_t, Point>> corners{
      {0, {-2, 10}}, {1, {8, 10}}, {2, {18, 0}}, {3, {8, 0}}, {197, {798, 0}}};
  for (const auto& [index, corner] : corners) {
    EXPECT_EQ(path.element(index).points[0], corner) << index;
  }
  EXPECT_EQ(path.element(4).kind, platform::PathElementKind::closePath);
  EXPECT_EQ(bar->blockLayer()->fillColor(), SystemColors::separatorColor()->rgba());

  const std::optional<BasicAnimation> movement = bar->blockLayer()->animation("movement");
  ASSERT_TRUE(movement);
  EXPECT_EQ(movement->fillMode, platform::FillMode::both);
  EXPECT_EQ(movement->repeatCount, BasicAnimation::forever);
  // Linear, 270 points left every 10 seconds, then again from the start.
  EXPECT_EQ(std::get<Point>(*bar->blockLayer()->presentationValue("position", 55)), (Point{-135, 0}));
  EXPECT_EQ(std::get<Point>(*bar->blockLayer()->presentationValue("position", 62.5)), (Point{-67.5, 0}));

  // Zero and negative values keep the stripes; a positive one ends the mode for good.
  bar->setValue(0);
  bar->setValue(-1);
  EXPECT_TRUE(bar->isIndeterminate());
  bar->setValue(0.01);
  EXPECT_FALSE(bar->isIndeterminate());
  EXPECT_FALSE(bar->blockLayer()->superlayer());
  EXPECT_TRUE(bar->blockLayer()->animationKeys().empty());
  EXPECT_EQ(bar->progressLayer()->animation("strokeEnd")->toValue, AnimatableValue(0.01));
  bar->layout();
  EXPECT_EQ(bar->layer()->sublayers()->size(), 2u);
}

TEST(AnimatedGradientProgressView, NarrowBarsDriftNoStripesAndResetKeepsTheDrift) {
  auto bar = laidOutBar(Rect(0, 0, 27, 6));
  bar->setIsIndeterminate(true);
  EXPECT_TRUE(bar->blockLayer()->path()->isEmpty());
  EXPECT_TRUE(bar->blockLayer()->animation("movement"));
  bar->setFrameSize({56, 6});
  bar->layoutSubtreeIfNeeded();
  EXPECT_EQ(bar->blockLayer()->path()->elementCount(), 8u * 5);

  bar->reset();
  EXPECT_EQ(bar->value(), 0);
  EXPECT_TRUE(bar->progressLayer()->animationKeys().empty());
  EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0);
  EXPECT_TRUE(bar->isIndeterminate());
  EXPECT_TRUE(bar->blockLayer()->animation("movement"));

  // A width that is not finite has no stripes at all.
  bar->setFrameSize({infinity, 6});
  bar->layoutSubtreeIfNeeded();
  EXPECT_FALSE(bar->blockLayer()->superlayer());
  EXPECT_TRUE(bar->isIndeterminate());
}

TEST(AnimatedGradientProgressView, LoadsFromAnArchiveAndRefusesBadSettings) {
  platform::ViewArchive archive{"AnimatedGradientProgressView", Rect(0, 0, 140, 8), {}, {}};
  archive.settings = {{"duration", std::int64_t{2}},
                      {"isIndeterminate", true},
                      {"backgroundColor", platform::Color::green()}};
  auto bar = std::dynamic_pointer_cast<AnimatedGradientProgressView>(platform::ViewLoader::load(archive));
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->duration(), 2);
  EXPECT_TRUE(bar->blockLayer()->animation("movement"));
  EXPECT_EQ(bar->bgLayer()->fillColor(), (Rgba{0, 1, 0, 1}));

  EXPECT_THROW(bar->setDuration(-1), std::invalid_argument);
  EXPECT_THROW(bar->setDuration(std::nan("")), std::invalid_argument);
  EXPECT_THROW(bar->setColors({platform::Color::red(), nullptr}), std::invalid_argument);
  EXPECT_THROW(bar->setBackgroundColor(nullptr), std::invalid_argument);
  EXPECT_EQ(bar->duration(), 2);
}

TEST(GradientProgressView, ShowsEachClampedValueAtOnceEvenBeforeTheFirstLayout) {
  auto bar = platform::View::create<GradientProgressView>(Rect(0, 0, 120, 8));
  bar->setValue(0.6);
  EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0.6);
  bar->setNeedsLayout(true);
  bar->layoutSubtreeIfNeeded();
  EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0.6);
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
  EXPECT_EQ(ends(*bar->progressLayer()->path()), (std::vector<Point>{{6, 6}, {194, 6}}));
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

// The colour of an evenly spaced, left-to-right gradient at a fraction of its width.
Rgba gradientAt(const std::vector<Rgba>& stops, double fraction) {
  const double position = fraction * static_cast<double>(stops.size() - 1);
  const auto index = std::min(static_cast<std::size_t>(position), stops.size() - 2);
  const double t = position - static_cast<double>(index);
  const Rgba& from = stops[index];
  const Rgba& to = stops[index + 1];
  return {from.red + (to.red - from.red) * t, from.green + (to.green - from.green) * t,
          from.blue + (to.blue - from.blue) * t, 1};
}

TEST(GradientProgressViewsGallery, AtAQuarterAndFourFifthsInTwoThemes) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  for (const auto& [name, gradient] :
       {std::pair{"trafficLight", &Gradients::trafficLight()}, std::pair{"neon", &Gradients::neon()}}) {
    std::vector<Rgba> stops;
    for (const platform::ColorRef& color : gradient->mColors()) {
      stops.push_back(color->rgba());
    }
    // Two animated bars above two plain ones, 200 x 10 points each, 10 points apart.
    auto board = platform::View::create(Rect(0, 0, 220, 90));
    const std::vector<double> values = {0.25, 0.8, 0.25, 0.8};
    const auto add = [&](auto bar, std::size_t index) {
      board->addSubview(bar);
      bar->setColors(gradient->mColors());
      bar->setValue(values[index]);
    };
    for (std::size_t index = 0; index < values.size(); ++index) {
      const Rect frame(10, 70 - 20.0 * static_cast<double>(index), 200, 10);
      if (index < 2) {
        add(platform::View::create<AnimatedGradientProgressView>(frame), index);
      } else {
        add(platform::View::create<GradientProgressView>(frame), index);
      }
    }
    const std::shared_ptr<platform::Image> image = gallery::picture(*board, std::string("progress-") + name);
    const Rgba track = gallery::premultiplied(SystemColors::tertiaryLabelColor()->rgba());
    for (std::size_t index = 0; index < values.size(); ++index) {
      SCOPED_TRACE(std::string(name) + " bar " + std::to_string(index));
      const double middle = 75 - 20.0 * static_cast<double>(index);
      // The line runs from x = 5 to 195 of the bar and ends in a round cap of radius 5, so the fill reaches
      // 10 + 190 x value points into the bar; the gradient spans the bar's whole width.
      const double filled = 10 + 190 * values[index];
      const double inside = filled - 4;
      platform::test::expectRgba(platform::test::pixelAt(*image, 10 + inside, middle),
                                 gradientAt(stops, (inside + 0.25) / 200), 4.0 / 255);
      platform::test::expectRgba(platform::test::pixelAt(*image, 10 + filled + 3, middle), track);
      platform::test::expectRgba(platform::test::pixelAt(*image, 10 + 6, middle),
                                 gradientAt(stops, 6.25 / 200), 4.0 / 255);
    }
  }
}

}  // namespace
}  // namespace Tavrix
