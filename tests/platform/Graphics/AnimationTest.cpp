#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
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

BasicAnimation numberAnimation(std::string keyPath, double from, double to, double duration) {
  BasicAnimation animation;
  animation.keyPath = std::move(keyPath);
  animation.fromValue = from;
  animation.toValue = to;
  animation.duration = duration;
  return animation;
}

double presented(const Layer& layer, const std::string& keyPath, double time) {
  return std::get<double>(*layer.presentationValue(keyPath, time));
}

class AnimationTest : public ::testing::Test {
 protected:
  void SetUp() override { MediaClock::set(100); }
};

// A point of each named curve, worked out by hand from the curve at parameter t = 0.5 or 0.25, where
// B(0.5) = (P1 + P2) * 3/8 + P3 / 8 and B(0.25) = P1 * 27/64 + P2 * 9/64 + P3 / 64 (P0 is the origin).
struct CurvePoint {
  TimingFunctionName name;
  double timeFraction;
  double progress;
};

class TimingCurveTest : public AnimationTest, public ::testing::WithParamInterface<CurvePoint> {};

TEST_P(TimingCurveTest, PresentationFollowsTheCurve) {
  const CurvePoint point = GetParam();
  ShapeLayer layer;
  BasicAnimation animation = numberAnimation("strokeEnd", 0.2, 0.6, 2);
  animation.timingFunction = TimingFunction::named(point.name);
  layer.addAnimation(animation, "strokeEnd");
  EXPECT_NEAR(presented(layer, "strokeEnd", 100 + 2 * point.timeFraction), 0.2 + 0.4 * point.progress, 1e-9);
  EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 100), 0.2);
  EXPECT_DOUBLE_EQ(layer.strokeEnd(), 1);  // the model never changes
}

INSTANTIATE_TEST_SUITE_P(NamedCurves, TimingCurveTest,
                         ::testing::Values(CurvePoint{TimingFunctionName::linear, 0.25, 0.25},
                                           CurvePoint{TimingFunctionName::linear, 0.8, 0.8},
                                           CurvePoint{TimingFunctionName::easeIn, 0.6575, 0.5},
                                           CurvePoint{TimingFunctionName::easeIn, 0.3334375, 0.15625},
                                           CurvePoint{TimingFunctionName::easeOut, 0.3425, 0.5},
                                           CurvePoint{TimingFunctionName::easeOut, 0.6665625, 0.84375},
                                           CurvePoint{TimingFunctionName::easeInEaseOut, 0.5, 0.5},
                                           CurvePoint{TimingFunctionName::easeInEaseOut, 0.274375, 0.15625},
                                           CurvePoint{TimingFunctionName::defaultTiming, 0.3125, 0.5375},
                                           CurvePoint{TimingFunctionName::defaultTiming, 0.15625,
                                                      0.1984375}));

TEST_F(AnimationTest, EveryKindOfValueBlends) {
  ShapeLayer layer;
  BasicAnimation move;
  move.keyPath = "position";
  move.toValue = Point{10, -20};  // from the model position (0, 0)
  move.duration = 4;
  layer.addAnimation(move, "move");
  EXPECT_EQ(std::get<Point>(*layer.presentationValue("position", 101)), (Point{2.5, -5}));

  BasicAnimation tint;
  tint.keyPath = "fillColor";
  tint.fromValue = Rgba{1, 0, 0, 1};
  tint.toValue = Rgba{0, 0, 1, 0.5};
  tint.duration = 1;
  layer.addAnimation(tint, "tint");
  EXPECT_EQ(std::get<Rgba>(*layer.presentationValue("fillColor", 100.25)), (Rgba{0.75, 0, 0.25, 0.875}));

  BasicAnimation grow;
  grow.keyPath = "path";
  grow.fromValue = BezierPath::rect(Rect(0, 0, 10, 0)).path();
  grow.toValue = BezierPath::rect(Rect(0, 0, 10, 40)).path();
  grow.duration = 2;
  layer.addAnimation(grow, "path");
  expectElements(std::get<Path>(*layer.presentationValue("path", 101)),
                 {moveTo({0, 0}), lineTo({10, 0}), lineTo({10, 20}), lineTo({0, 20}), closePath()});
}

TEST_F(AnimationTest, RotationTurnsTheTransformAndTheFrame) {
  auto layer = std::make_shared<Layer>();
  layer->setBounds(Rect(0, 0, 100, 50));
  layer->setPosition({200, 100});
  BasicAnimation spin;
  spin.keyPath = "transform.rotation.z";
  spin.toValue = -2 * std::numbers::pi;
  spin.duration = 0.6;
  spin.repeatCount = BasicAnimation::forever;
  layer->addAnimation(spin, "rotation");
  // A quarter of the way round the negative turn: -90 degrees.
  const AffineTransform quarter = layer->presentationTransform(100.15);
  EXPECT_NEAR(quarter.a, 0, 1e-12);
  EXPECT_NEAR(quarter.b, -1, 1e-12);
  const Rect turned = layer->presentationTransformToSuperlayer(100.15).apply(layer->bounds());
  expectRectNear(turned, Rect(175, 50, 50, 100));
  EXPECT_TRUE(layer->transform().isIdentity());
}

TEST_F(AnimationTest, FillModeDecidesWhatShowsOutsideTheActiveTime) {
  struct Case {
    FillMode mode;
    double before;
    double after;
  };
  // Model 0.5; the animation runs 0.2 to 0.8 from 110 to 111 and is kept after it ends.
  for (const Case& c : {Case{FillMode::removed, 0.5, 0.5}, Case{FillMode::forwards, 0.5, 0.8},
                        Case{FillMode::backwards, 0.2, 0.5}, Case{FillMode::both, 0.2, 0.8}}) {
    ShapeLayer layer;
    layer.setStrokeEnd(0.5);
    BasicAnimation animation = numberAnimation("strokeEnd", 0.2, 0.8, 1);
    animation.beginTime = 110;
    animation.fillMode = c.mode;
    animation.removedOnCompletion = false;
    layer.addAnimation(animation, "strokeEnd");
    const int mode = static_cast<int>(c.mode);
    EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 105), c.before) << "fill mode " << mode;
    EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 110.5), 0.5) << "fill mode " << mode;
    EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 112), c.after) << "fill mode " << mode;
    EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", settled), c.after) << "fill mode " << mode;
  }
}

TEST_F(AnimationTest, RemovedOnCompletionEndsTheForwardsFill) {
  ShapeLayer layer;
  BasicAnimation animation = numberAnimation("strokeEnd", 0, 0.4, 1);
  animation.fillMode = FillMode::forwards;
  layer.addAnimation(animation, "strokeEnd");
  EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 102), 1);
  EXPECT_EQ(layer.animationKeys(), std::vector<std::string>{"strokeEnd"});
  MediaClock::advance(1);
  EXPECT_TRUE(layer.animationKeys().empty());
  EXPECT_FALSE(layer.animation("strokeEnd").has_value());
}

TEST_F(AnimationTest, RepeatCountPlaysWholeAndFractionalPasses) {
  ShapeLayer twice;
  BasicAnimation animation = numberAnimation("lineWidth", 0, 10, 1);
  animation.repeatCount = 2;
  animation.fillMode = FillMode::forwards;
  animation.removedOnCompletion = false;
  twice.addAnimation(animation, "width");
  EXPECT_DOUBLE_EQ(presented(twice, "lineWidth", 100.25), 2.5);
  EXPECT_DOUBLE_EQ(presented(twice, "lineWidth", 101.25), 2.5);
  EXPECT_DOUBLE_EQ(presented(twice, "lineWidth", 102.5), 10);

  ShapeLayer twoAndAHalf;
  animation.repeatCount = 2.5;
  twoAndAHalf.addAnimation(animation, "width");
  EXPECT_DOUBLE_EQ(presented(twoAndAHalf, "lineWidth", 102.25), 2.5);
  EXPECT_DOUBLE_EQ(presented(twoAndAHalf, "lineWidth", 104), 5);  // holds the end of the half pass

  ShapeLayer endless;
  animation.repeatCount = BasicAnimation::forever;
  animation.removedOnCompletion = true;
  endless.addAnimation(animation, "width");
  EXPECT_DOUBLE_EQ(presented(endless, "lineWidth", 1100.75), 7.5);
  EXPECT_DOUBLE_EQ(presented(endless, "lineWidth", settled), 0);  // the settled look is the pass start
  MediaClock::advance(1e6);
  EXPECT_EQ(endless.animationKeys(), std::vector<std::string>{"width"});
}

TEST_F(AnimationTest, AddingUnderAnExistingKeyReplacesTheAnimation) {
  ShapeLayer layer;
  layer.addAnimation(numberAnimation("strokeEnd", 0, 0.3, 1), "value");
  layer.addAnimation(numberAnimation("lineWidth", 1, 3, 1), "width");
  layer.addAnimation(numberAnimation("strokeEnd", 0, 0.9, 1), "value");
  EXPECT_EQ(layer.animationKeys(), (std::vector<std::string>{"width", "value"}));
  EXPECT_DOUBLE_EQ(std::get<double>(*layer.animation("value")->toValue), 0.9);
  EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 100.5), 0.45);

  // Under another key both are kept, and the one added later shows.
  layer.addAnimation(numberAnimation("strokeEnd", 0, 0.1, 1), "other");
  EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 100.5), 0.05);
  layer.removeAnimation("other");
  EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 100.5), 0.45);
}

TEST_F(AnimationTest, BeginTimeIsStampedOnlyWhenZero) {
  GradientLayer layer;
  BasicAnimation slide;
  slide.keyPath = "startPoint";
  slide.toValue = Point{1, 0};
  slide.duration = 1;
  layer.addAnimation(slide, "slide");
  EXPECT_DOUBLE_EQ(layer.animation("slide")->beginTime, 100);
  slide.beginTime = 150;
  layer.addAnimation(slide, "slide");
  EXPECT_DOUBLE_EQ(layer.animation("slide")->beginTime, 150);
  EXPECT_FALSE(layer.animation("slide")->fromValue.has_value());  // the record is kept as given
}

TEST_F(AnimationTest, BadAnimationsAreRefused) {
  ShapeLayer layer;
  BasicAnimation wrongKind;
  wrongKind.keyPath = "strokeEnd";
  wrongKind.toValue = Point{1, 1};
  EXPECT_THROW(layer.addAnimation(wrongKind, "k"), std::invalid_argument);
  EXPECT_THROW(layer.addAnimation(numberAnimation("opacity", 0, 1, -1), "k"), std::invalid_argument);
  BasicAnimation noColour;
  noColour.keyPath = "strokeColor";
  noColour.toValue = std::monostate{};
  EXPECT_NO_THROW(layer.addAnimation(noColour, "k"));
  EXPECT_THROW((void)layer.presentationValue("strokeEnd", std::nan("")), std::invalid_argument);
  EXPECT_FALSE(layer.presentationValue("noSuchProperty", 100).has_value());
}

}  // namespace
}  // namespace platform::test
