#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <stdexcept>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/MediaClock.hpp"
#include "Platform/Graphics/Path.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Platform/UI/ViewLoader.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Controls/AnimatedGradientProgressView.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "tests/Tavrix/Controls/ControlsTestSupport.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace Tavrix {
namespace {

using platform::Appearance;
using platform::AnimatableValue;
using platform::BasicAnimation;
using platform::MediaClock;
using platform::PathElementKind;
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

// The two on-path points of a straight line path: its move and its line.
std::vector<Point> linePoints(const platform::Path& path) {
  EXPECT_EQ(path.elementCount(), 2u);
  return {path.element(0).points[0], path.element(1).points[0]};
}

TEST(AnimatedGradientProgressView, ClampsEveryWrittenValueIntoTheUnitRange) {
  auto bar = laidOutBar(Rect(0, 0, 200, 10));
  const std::vector<std::pair<double, double>> writes = {
      {0.42, 0.42}, {1.5, 1},  {-0.2, 0},    {std::nan(""), 0},
      {infinity, 1}, {-infinity, 0}, {1, 1}, {0, 0}};
  for (const auto& [written, kept] : writes) {
    bar->setValue(written);
    EXPECT_EQ(bar->value(), kept) << "after writing " << written;
    // What the line settles on is the kept value, never the raw one.
    EXPECT_EQ(strokeEndAt(*bar, infinity), kept) << "after writing " << written;
  }
}

TEST(AnimatedGradientProgressView, AnimatesFromTheFormerValueAndHoldsTheNewOne) {
  MediaClock::set(100);
  auto bar = laidOutBar(Rect(0, 0, 200, 10));
  bar->setValue(0.8);
  MediaClock::set(101);
  bar->setValue(0.3);
  EXPECT_EQ(bar->oldValue(), 0.8);

  const std::optional<BasicAnimation> animation = bar->progressLayer()->animation("strokeEnd");
  ASSERT_TRUE(animation);
  EXPECT_EQ(bar->progressLayer()->animationKeys(), std::vector<std::string>{"strokeEnd"});
  EXPECT_EQ(animation->fromValue, AnimatableValue(0.8));
  EXPECT_EQ(animation->toValue, AnimatableValue(0.3));
  EXPECT_EQ(animation->duration, 0.66);
  EXPECT_EQ(animation->timingFunction.controlPoints(), (std::array<double, 4>{0.42, 0, 0.58, 1}));
  EXPECT_EQ(animation->fillMode, platform::FillMode::forwards);
  EXPECT_FALSE(animation->removedOnCompletion);
  EXPECT_EQ(animation->beginTime, 101);

  // The model keeps 0; the presentation eases from 0.8 to 0.3 (halfway at half the time, as the curve is
  // symmetric) and then stays at 0.3.
  EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0);
  EXPECT_DOUBLE_EQ(strokeEndAt(*bar, 101), 0.8);
  EXPECT_NEAR(strokeEndAt(*bar, 101.33), 0.55, 1e-9);
  EXPECT_GT(strokeEndAt(*bar, 101.1), 0.7);
  EXPECT_DOUBLE_EQ(strokeEndAt(*bar, 101.66), 0.3);
  EXPECT_DOUBLE_EQ(strokeEndAt(*bar, 500), 0.3);

  // A new duration applies to the next change only.
  bar->setDuration(2);
  EXPECT_EQ(bar->progressLayer()->animation("strokeEnd")->duration, 0.66);
  bar->setValue(0.3);
  EXPECT_EQ(bar->progressLayer()->animation("strokeEnd")->duration, 2);
  EXPECT_EQ(bar->progressLayer()->animation("strokeEnd")->fromValue, AnimatableValue(0.3));
}

TEST(AnimatedGradientProgressView, EveryLayoutReplaysTheLastChange) {
  MediaClock::set(10);
  auto bar = laidOutBar(Rect(0, 0, 200, 10));
  bar->setValue(0.8);
  bar->setValue(0.3);
  MediaClock::set(20);
  bar->setFrameSize({300, 20});
  bar->layoutSubtreeIfNeeded();

  const std::optional<BasicAnimation> animation = bar->progressLayer()->animation("strokeEnd");
  ASSERT_TRUE(animation);
  EXPECT_EQ(animation->fromValue, AnimatableValue(0.8));
  EXPECT_EQ(animation->toValue, AnimatableValue(0.3));
  EXPECT_EQ(animation->beginTime, 20);
  EXPECT_DOUBLE_EQ(strokeEndAt(*bar, 20), 0.8);
  // The line follows the new size.
  EXPECT_EQ(linePoints(*bar->progressLayer()->path()), (std::vector<Point>{{10, 10}, {290, 10}}));
  EXPECT_EQ(bar->progressLayer()->lineWidth(), 20);
}

TEST(AnimatedGradientProgressView, BuildsACapsuleOrASquareBar) {
  platform::ScopedMainScreen screen(platform::Screen{2});
  auto bar = laidOutBar(Rect(0, 0, 200, 10));
  const std::shared_ptr<platform::Layer> layer = bar->layer();
  ASSERT_TRUE(layer);
  EXPECT_TRUE(layer->masksToBounds());
  EXPECT_EQ(layer->cornerRadius(), 5);
  const std::vector<std::shared_ptr<platform::Layer>> stacking = {bar->bgLayer(), bar->gradientLayer()};
  EXPECT_EQ(*layer->sublayers(), stacking);

  // The track fills the bounds in the tertiary label colour, unstroked, in view coordinates.
  EXPECT_EQ(bar->bgLayer()->fillColor(), SystemColors::tertiaryLabelColor()->rgba());
  EXPECT_FALSE(bar->bgLayer()->strokeColor());
  EXPECT_EQ(bar->bgLayer()->path()->tightBounds(), Rect(0, 0, 200, 10));
  EXPECT_EQ(bar->bgLayer()->contentsScale(), 2);

  const platform::ShapeLayer& line = *bar->progressLayer();
  EXPECT_EQ(linePoints(*line.path()), (std::vector<Point>{{5, 5}, {195, 5}}));
  EXPECT_EQ(line.lineCap(), platform::LineCap::round);
  EXPECT_EQ(line.lineWidth(), 10);
  EXPECT_EQ(line.strokeColor(), (Rgba{0, 0, 0, 1}));
  EXPECT_FALSE(line.fillColor());
  EXPECT_EQ(line.contentsScale(), 2);

  const platform::GradientLayer& gradient = *bar->gradientLayer();
  EXPECT_EQ(gradient.mask(), bar->progressLayer());
  EXPECT_EQ(gradient.frame(), Rect(0, 0, 200, 10));
  EXPECT_EQ(gradient.startPoint(), (Point{0, 0.5}));
  EXPECT_EQ(gradient.endPoint(), (Point{1, 0.5}));
  EXPECT_EQ(gradient.colors(),
            (std::vector<Rgba>{Colors::gradientStart()->rgba(), Colors::gradientEnd()->rgba()}));
  EXPECT_FALSE(gradient.locations());

  bar->setHasCorners(false);
  EXPECT_EQ(layer->cornerRadius(), 0);
  EXPECT_EQ(linePoints(*bar->progressLayer()->path()), (std::vector<Point>{{0, 5}, {200, 5}}));
  EXPECT_EQ(bar->progressLayer()->lineCap(), platform::LineCap::butt);
}

TEST(AnimatedGradientProgressView, AFullCapsuleIsFilledToItsEdgesAndNoFurther) {
  auto bar = laidOutBar(Rect(0, 0, 100, 20));
  bar->setColors({platform::Color::red(), platform::Color::red()});
  bar->setValue(1);
  const std::shared_ptr<platform::Image> image = platform::ViewRenderer::image(*bar);
  using platform::test::pixelAt;
  platform::test::expectRgba(pixelAt(*image, 1, 10), platform::test::opaqueRed);
  platform::test::expectRgba(pixelAt(*image, 98.5, 10), platform::test::opaqueRed);
  // The corners lie outside the capsule.
  platform::test::expectRgba(pixelAt(*image, 0.5, 0.5), platform::test::transparent);
  platform::test::expectRgba(pixelAt(*image, 99.5, 19.5), platform::test::transparent);

  // Half a bar: red up to the middle, the track beyond.
  bar->setValue(0.5);
  const std::shared_ptr<platform::Image> half = platform::ViewRenderer::image(*bar);
  platform::test::expectRgba(pixelAt(*half, 45, 10), platform::test::opaqueRed);
  platform::test::expectRgba(pixelAt(*half, 80, 10),
                             test::premultiplied(SystemColors::tertiaryLabelColor()->rgba()));
}

TEST(AnimatedGradientProgressView, ResolvesItsColoursForItsOwnAppearance) {
  auto bar = laidOutBar(Rect(0, 0, 200, 10));
  const platform::ColorRef accent = SystemColors::systemBlue();
  bar->setColors({accent, Colors::gradientEnd()});
  bar->setAppearance(Appearance(std::string(Appearance::darkAqua)));
  bar->layout();
  const Appearance dark(std::string(Appearance::darkAqua));
  EXPECT_EQ(bar->bgLayer()->fillColor(), SystemColors::tertiaryLabelColor()->rgba(dark));
  EXPECT_EQ(bar->gradientLayer()->colors().front(), accent->rgba(dark));
  EXPECT_NE(accent->rgba(dark), accent->rgba());
}

TEST(AnimatedGradientProgressView, IndeterminateStripesDriftBetweenTrackAndGradient) {
  MediaClock::set(50);
  auto bar = laidOutBar(Rect(0, 0, 280, 10));
  bar->setIsIndeterminate(true);
  const std::vector<std::shared_ptr<platform::Layer>> stacking = {bar->bgLayer(), bar->blockLayer(),
                                                                   bar->gradientLayer()};
  EXPECT_EQ(*bar->layer()->sublayers(), stacking);

  // 4 x 10 stripes of five elements each; stripe i spans x = 20 i + 8 - 10 at the top to 20 i + 8 + 10 at
  // the bottom.
  const platform::Path& path = *bar->blockLayer()->path();
  ASSERT_EQ(path.elementCount(), 200u);
  const std::vector<PathElementKind> kinds = {PathElementKind::moveTo, PathElementKind::lineTo,
                                              PathElementKind::lineTo, PathElementKind::lineTo,
                                              PathElementKind::closePath};
  for (std::size_t index = 0; index < kinds.size(); ++index) {
    EXPECT_EQ(path.element(index).kind, kinds[index]);
  }
  EXPECT_EQ(path.element(0).points[0], (Point{-2, 10}));
  EXPECT_EQ(path.element(1).points[0], (Point{8, 10}));
  EXPECT_EQ(path.element(2).points[0], (Point{18, 0}));
  EXPECT_EQ(path.element(3).points[0], (Point{8, 0}));
  EXPECT_EQ(path.element(195).points[0], (Point{778, 10}));
  EXPECT_EQ(path.element(197).points[0], (Point{798, 0}));
  EXPECT_EQ(bar->blockLayer()->fillColor(), SystemColors::separatorColor()->rgba());
  EXPECT_FALSE(bar->blockLayer()->strokeColor());

  const std::optional<BasicAnimation> movement = bar->blockLayer()->animation("movement");
  ASSERT_TRUE(movement);
  EXPECT_EQ(movement->keyPath, "position");
  EXPECT_FALSE(movement->fromValue);
  EXPECT_EQ(movement->toValue, AnimatableValue(Point{-270, 0}));
  EXPECT_EQ(movement->duration, 10);
  EXPECT_EQ(movement->fillMode, platform::FillMode::both);
  EXPECT_EQ(movement->timingFunction, platform::TimingFunction());
  EXPECT_EQ(movement->repeatCount, BasicAnimation::forever);
  EXPECT_EQ(std::get<Point>(*bar->blockLayer()->presentationValue("position", 55)), (Point{-135, 0}));
  EXPECT_EQ(std::get<Point>(*bar->blockLayer()->presentationValue("position", 62.5)), (Point{-67.5, 0}));

  // Zero and negative values keep the stripes; a positive one ends the mode and animates as usual.
  bar->setValue(0);
  bar->setValue(-1);
  EXPECT_TRUE(bar->isIndeterminate());
  EXPECT_TRUE(bar->blockLayer()->superlayer());
  bar->setValue(0.01);
  EXPECT_FALSE(bar->isIndeterminate());
  EXPECT_FALSE(bar->blockLayer()->superlayer());
  EXPECT_TRUE(bar->blockLayer()->animationKeys().empty());
  EXPECT_EQ(bar->progressLayer()->animation("strokeEnd")->toValue, AnimatableValue(0.01));
  // A later layout does not bring them back.
  bar->layout();
  EXPECT_EQ(bar->layer()->sublayers()->size(), 2u);
}

TEST(AnimatedGradientProgressView, ANarrowIndeterminateBarKeepsAnEmptyDrift) {
  auto bar = laidOutBar(Rect(0, 0, 27, 6));
  bar->setIsIndeterminate(true);
  EXPECT_TRUE(bar->blockLayer()->path()->isEmpty());
  EXPECT_TRUE(bar->blockLayer()->animation("movement"));
  EXPECT_EQ(bar->blockLayer()->superlayer(), bar->layer());
  // Widening the bar rebuilds the stripes for the new width.
  bar->setFrameSize({56, 6});
  bar->layoutSubtreeIfNeeded();
  EXPECT_EQ(bar->blockLayer()->path()->elementCount(), 8u * 5);
  EXPECT_EQ(bar->blockLayer()->animation("movement")->toValue, AnimatableValue(Point{-46, 0}));
}

TEST(AnimatedGradientProgressView, ResetEmptiesTheLineButLeavesTheStripes) {
  auto bar = laidOutBar(Rect(0, 0, 100, 10));
  bar->setIsIndeterminate(true);
  bar->setValue(-1);
  bar->progressLayer()->setStrokeEnd(0.5);
  bar->reset();
  EXPECT_EQ(bar->value(), 0);
  EXPECT_EQ(bar->oldValue(), 0);
  EXPECT_TRUE(bar->progressLayer()->animationKeys().empty());
  EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0);
  EXPECT_TRUE(bar->isIndeterminate());
  EXPECT_TRUE(bar->blockLayer()->animation("movement"));
}

TEST(AnimatedGradientProgressView, LoadsFromAnArchiveAndRefusesBadSettings) {
  platform::ViewArchive archive;
  archive.className = "AnimatedGradientProgressView";
  archive.frame = Rect(0, 0, 140, 8);
  archive.settings = {{"duration", std::int64_t{2}},
                      {"isIndeterminate", true},
                      {"backgroundColor", platform::Color::green()}};
  const std::shared_ptr<platform::View> view = platform::ViewLoader::load(archive);
  auto bar = std::dynamic_pointer_cast<AnimatedGradientProgressView>(view);
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->duration(), 2);
  EXPECT_TRUE(bar->isIndeterminate());
  EXPECT_EQ(bar->backgroundColor(), platform::Color::green());
  EXPECT_EQ(bar->bgLayer()->fillColor(), (Rgba{0, 1, 0, 1}));
  EXPECT_EQ(std::get<bool>(platform::ViewClass::value(*bar, "isIndeterminate")), true);

  EXPECT_THROW(bar->setDuration(-1), std::invalid_argument);
  EXPECT_THROW(bar->setDuration(std::nan("")), std::invalid_argument);
  EXPECT_THROW(bar->setColors({platform::Color::red(), nullptr}), std::invalid_argument);
  EXPECT_THROW(bar->setBackgroundColor(nullptr), std::invalid_argument);
  EXPECT_EQ(bar->duration(), 2);
  EXPECT_EQ(bar->colors().size(), 2u);
}

}  // namespace
}  // namespace Tavrix
