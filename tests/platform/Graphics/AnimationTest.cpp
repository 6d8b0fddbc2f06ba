#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/Graphics/MediaClock.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"

namespace platform::test {
namespace {

constexpr double settled = std::numeric_limits<double>::infinity();

// Runs from a value (none: the model value) to a value over duration seconds.
BasicAnimation animation(std::string keyPath, std::optional<AnimatableValue> from,
                         std::optional<AnimatableValue> to, double duration) {
  BasicAnimation result;
  result.keyPath = std::move(keyPath);
  result.fromValue = std::move(from);
  result.toValue = std::move(to);
  result.duration = duration;
  return result;
}

BasicAnimation animation(std::string keyPath, double from, double to, double duration) {
  return animation(std::move(keyPath), AnimatableValue(from), AnimatableValue(to), duration);
}

double presented(const Layer& layer, const std::string& keyPath, double time) {
  return std::get<double>(*layer.presentationValue(keyPath, time));
}

class AnimationTest : public ::testing::Test {
 protected:
  void SetUp() override { MediaClock::set(100); }
};

TEST_F(AnimationTest, PresentationFollowsEachNamedTimingCurve) {
  // Points of each curve worked out by hand at parameter t = 0.5 or 0.25, where B(0.5) = (P1 + P2) * 3/8 +
  // P3 / 8 and B(0.25) = P1 * 27/64 + P2 * 9/64 + P3 / 64 (P0 is the origin).
  struct CurvePoint {
    TimingFunctionName name;
    double timeFraction, progress;
  };
  using enum TimingFunctionName;
  const CurvePoint points[] = {
      {linear, 0.25, 0.25},
      {linear, 0.8, 0.8},
      {easeInEaseOut, 0.5, 0.5},
      {easeInEaseOut, 0.274375, 0.15625},
  };
  for (const CurvePoint& point : points) {
    SCOPED_TRACE(testing::Message() << "curve " << static_cast<int>(point.name) << " at "
                                    << point.timeFraction);
    ShapeLayer layer;
    BasicAnimation eased = animation("strokeEnd", 0.2, 0.6, 2);
    eased.timingFunction = TimingFunction::named(point.name);
    layer.addAnimation(eased, "strokeEnd");
    const double time = 100 + 2 * point.timeFraction;
    EXPECT_NEAR(presented(layer, "strokeEnd", time), 0.2 + 0.4 * point.progress, 1e-9);
    EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 100), 0.2);
    EXPECT_DOUBLE_EQ(layer.strokeEnd(), 1);  // the model never changes
  }
}

TEST_F(AnimationTest, PointsColoursPathsAndRotationsBlend) {
  ShapeLayer layer;
  layer.addAnimation(animation("position", std::nullopt, Point{10, -20}, 4), "move");  // from (0, 0)
  layer.addAnimation(animation("fillColor", Rgba{1, 0, 0, 1}, Rgba{0, 0, 1, 0.5}, 1), "tint");
  layer.addAnimation(animation("path", BezierPath::rect(Rect(0, 0, 10, 0)).path(),
                               BezierPath::rect(Rect(0, 0, 10, 40)).path(), 2),
                     "path");
  EXPECT_EQ(std::get<Point>(*layer.presentationValue("position", 101)), (Point{2.5, -5}));
  EXPECT_EQ(std::get<Rgba>(*layer.presentationValue("fillColor", 100.25)), (Rgba{0.75, 0, 0.25, 0.875}));
  expectElements(std::get<Path>(*layer.presentationValue("path", 101)),
                 {moveTo({0, 0}), lineTo({10, 0}), lineTo({10, 20}), lineTo({0, 20}), closePath()});

  auto spun = std::make_shared<Layer>();
  spun->setBounds(Rect(0, 0, 100, 50));
  spun->setPosition({200, 100});
  BasicAnimation spin = animation("transform.rotation.z", std::nullopt, -2 * std::numbers::pi, 0.6);
  spin.repeatCount = BasicAnimation::forever;
  spun->addAnimation(spin, "rotation");
  // A quarter of the way round the negative turn: -90 degrees, which stands the frame on its end.
  const AffineTransform quarter = spun->presentationTransform(100.15);
  EXPECT_NEAR(quarter.a, 0, 1e-12);
  EXPECT_NEAR(quarter.b, -1, 1e-12);
  const Rect turned = spun->presentationTransformToSuperlayer(100.15).apply(spun->bounds());
  expectRectNear(turned, Rect(175, 50, 50, 100));
  EXPECT_TRUE(spun->transform().isIdentity());
}

TEST_F(AnimationTest, FillModeDecidesWhatShowsOutsideTheActiveTime) {
  struct Case {
    FillMode mode;
    double before, after;
  };
  // Model 0.5; the animation runs 0.2 to 0.8 from 110 to 111 and is kept after it ends.
  for (const Case& c : {Case{FillMode::removed, 0.5, 0.5}, Case{FillMode::forwards, 0.5, 0.8},
                        Case{FillMode::both, 0.2, 0.8}}) {
    SCOPED_TRACE(testing::Message() << "fill mode " << static_cast<int>(c.mode));
    ShapeLayer layer;
    layer.setStrokeEnd(0.5);
    BasicAnimation late = animation("strokeEnd", 0.2, 0.8, 1);
    late.fillMode = c.mode;
    late.removedOnCompletion = false;
    late.beginTime = 110;
    layer.addAnimation(late, "strokeEnd");
    EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 105), c.before);
    EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 110.5), 0.5);
    EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 112), c.after);
    EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", settled), c.after);
  }

  // Removed on completion, the forwards fill ends with the animation.
  ShapeLayer layer;
  BasicAnimation removed = animation("strokeEnd", 0, 0.4, 1);
  removed.fillMode = FillMode::forwards;
  layer.addAnimation(removed, "strokeEnd");
  EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 102), 1);
  EXPECT_EQ(layer.animationKeys(), std::vector<std::string>{"strokeEnd"});
  MediaClock::advance(1);
  EXPECT_TRUE(layer.animationKeys().empty());
  EXPECT_FALSE(layer.animation("strokeEnd").has_value());
}

TEST_F(AnimationTest, RepeatCountPlaysWholeFractionalAndEndlessPasses) {
  BasicAnimation width = animation("lineWidth", 0, 10, 1);
  width.fillMode = FillMode::forwards;
  width.removedOnCompletion = false;
  ShapeLayer twice, twoAndAHalf, endless;
  width.repeatCount = 2;
  twice.addAnimation(width, "width");
  width.repeatCount = 2.5;
  twoAndAHalf.addAnimation(width, "width");
  width.repeatCount = BasicAnimation::forever;
  width.removedOnCompletion = true;
  endless.addAnimation(width, "width");
  EXPECT_DOUBLE_EQ(presented(twice, "lineWidth", 100.25), 2.5);
  EXPECT_DOUBLE_EQ(presented(twice, "lineWidth", 101.25), 2.5);
  EXPECT_DOUBLE_EQ(presented(twice, "lineWidth", 102.5), 10);
  EXPECT_DOUBLE_EQ(presented(twoAndAHalf, "lineWidth", 102.25), 2.5);
  EXPECT_DOUBLE_EQ(presented(twoAndAHalf, "lineWidth", 104), 5);  // holds the end of the half pass
  EXPECT_DOUBLE_EQ(presented(endless, "lineWidth", 1100.75), 7.5);
  EXPECT_DOUBLE_EQ(presented(endless, "lineWidth", settled), 0);  // the settled look is the pass start
  MediaClock::advance(1e6);
  EXPECT_EQ(endless.animationKeys(), std::vector<std::string>{"width"});
}

TEST_F(AnimationTest, AddingReplacesByKeyAndStampsAZeroBeginTime) {
  ShapeLayer layer;
  layer.addAnimation(animation("strokeEnd", 0, 0.3, 1), "value");
  layer.addAnimation(animation("lineWidth", 1, 3, 1), "width");
  layer.addAnimation(animation("strokeEnd", 0, 0.9, 1), "value");
  EXPECT_EQ(layer.animationKeys(), (std::vector<std::string>{"width", "value"}));
  EXPECT_DOUBLE_EQ(std::get<double>(*layer.animation("value")->toValue), 0.9);
  EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 100.5), 0.45);
  // Under another key both are kept, and the one added later shows.
  layer.addAnimation(animation("strokeEnd", 0, 0.1, 1), "other");
  EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 100.5), 0.05);

  GradientLayer gradient;
  BasicAnimation slide = animation("startPoint", std::nullopt, Point{1, 0}, 1);
  gradient.addAnimation(slide, "slide");
  EXPECT_DOUBLE_EQ(gradient.animation("slide")->beginTime, 100);
  slide.beginTime = 150;
  gradient.addAnimation(slide, "slide");
  EXPECT_DOUBLE_EQ(gradient.animation("slide")->beginTime, 150);
  EXPECT_FALSE(gradient.animation("slide")->fromValue.has_value());  // the record is kept as given
}

TEST_F(AnimationTest, BadAnimationsAreRefused) {
  ShapeLayer layer;
  EXPECT_THROW(layer.addAnimation(animation("strokeEnd", std::nullopt, Point{1, 1}, 1), "k"),
               std::invalid_argument);
  EXPECT_THROW(layer.addAnimation(animation("opacity", 0, 1, -1), "k"), std::invalid_argument);
  EXPECT_NO_THROW(layer.addAnimation(animation("strokeColor", std::nullopt, std::monostate{}, 1), "k"));
  EXPECT_THROW((void)layer.presentationValue("strokeEnd", std::nan("")), std::invalid_argument);
  EXPECT_FALSE(layer.presentationValue("noSuchProperty", 100).has_value());
}

}  // namespace
}  // namespace platform::test
