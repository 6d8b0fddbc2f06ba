#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/MediaClock.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"

namespace platform::test {
namespace {

using LayerList = Layer::LayerList;

TEST(LayerGeometry, FrameAndPositionMeetAtTheAnchorPointThroughBoundsAndTransform) {
  const auto layer = std::make_shared<Layer>();
  layer->setBounds(Rect(0, 0, 100, 50));
  layer->setPosition({200, 100});
  EXPECT_EQ(layer->frame(), Rect(150, 75, 100, 50));
  // Changing the anchor moves the frame, never the position.
  for (const auto& [anchor, frame] : {std::pair{Point{0, 0}, Rect(200, 100, 100, 50)},
                                      {Point{1, 1}, Rect(100, 50, 100, 50)},
                                      {Point{0.25, 1}, Rect(175, 50, 100, 50)}}) {
    layer->setAnchorPoint(anchor);
    EXPECT_EQ(std::pair(layer->frame(), layer->position()), std::pair(frame, Point{200, 100}));
  }
  // A bounds origin shifts the content, not the frame.
  layer->setAnchorPoint({0.5, 0.5});
  layer->setBounds(Rect(10, 10, 100, 50));
  EXPECT_EQ(layer->frame(), Rect(150, 75, 100, 50));
  EXPECT_EQ(layer->transformToSuperlayer().apply(Point{10, 10}), (Point{150, 75}));
  EXPECT_EQ(layer->transformToSuperlayer().apply(Point{0, 0}), (Point{140, 65}));
  // A transform turns and scales the frame about the anchor (a shift: Tavrix's
  // SimpleTileView.ShiftHoverSlidesTheLayerLeftAndBack); a quarter turn about the bottom-left corner swings
  // it to the left of the position.
  layer->setBounds(Rect(0, 0, 100, 50));
  layer->setAnchorPoint({0, 0});
  layer->setTransform(AffineTransform::rotation(std::numbers::pi / 2));
  expectRectNear(layer->frame(), Rect(150, 100, 50, 100));
  layer->setAnchorPoint({0.5, 0.5});
  layer->setTransform(AffineTransform::scale(2, 2));
  EXPECT_EQ(layer->frame(), Rect(100, 50, 200, 100));
  EXPECT_EQ(layer->position(), (Point{200, 100}));

  // Setting the frame sets the position by the anchor.
  const auto framed = std::make_shared<Layer>();
  framed->setFrame(Rect(10, 20, 30, 40));
  EXPECT_EQ(std::pair(framed->position(), framed->bounds()), std::pair(Point{25, 40}, Rect(0, 0, 30, 40)));
  framed->setAnchorPoint({1, 0.5});
  framed->setBounds(Rect(5, 5, 1, 1));
  framed->setFrame(Rect(40, 60, -30, -40));  // standardised to (10, 20, 30, 40)
  EXPECT_EQ(framed->position(), (Point{40, 40}));
  EXPECT_EQ(framed->bounds(), Rect(5, 5, 30, 40));  // the bounds origin stays
  EXPECT_EQ(framed->frame(), Rect(10, 20, 30, 40));
}

TEST(LayerTree, AddingMovesALayerFromItsOldParentOrWithinItsOwn) {
  const auto first = std::make_shared<Layer>(), second = std::make_shared<Layer>();
  const auto child = std::make_shared<ShapeLayer>();
  EXPECT_FALSE(first->sublayers().has_value());  // absent until the first add
  first->addSublayer(child);
  second->addSublayer(child);
  EXPECT_EQ(std::tuple(first->sublayers(), *second->sublayers(), child->superlayer()),
            std::tuple(LayerList{}, LayerList{child}, second));
  child->removeFromSuperlayer();
  EXPECT_EQ(std::tuple(second->sublayers(), child->superlayer()), std::tuple(LayerList{}, nullptr));

  const auto parent = std::make_shared<Layer>();
  const auto a = std::make_shared<Layer>(), b = std::make_shared<Layer>(), c = std::make_shared<Layer>();
  for (const auto& layer : {a, b, c, a}) parent->addSublayer(layer);
  EXPECT_EQ(*parent->sublayers(), (LayerList{b, c, a}));
  // Passing an entry of the parent's own list, which the move shifts, still moves that layer.
  parent->addSublayer(parent->sublayers()->front());
  EXPECT_EQ(*parent->sublayers(), (LayerList{c, a, b}));
}

TEST(LayerTree, SettingOrRemovingSublayersDetachesThemSafely) {
  const auto parent = std::make_shared<Layer>(), elsewhere = std::make_shared<Layer>();
  const auto old = std::make_shared<Layer>(), moved = std::make_shared<Layer>();
  parent->addSublayer(old);
  elsewhere->addSublayer(moved);
  parent->setSublayers(LayerList{moved, moved});
  EXPECT_EQ(std::tuple(*parent->sublayers(), old->superlayer()), std::tuple(LayerList{moved}, nullptr));
  EXPECT_TRUE(elsewhere->sublayers()->empty());
  parent->setSublayers(std::nullopt);
  EXPECT_EQ(std::tuple(parent->sublayers(), moved->superlayer()), std::tuple(std::nullopt, nullptr));

  // The parent may hold the last reference while the layer removes itself.
  std::weak_ptr<Layer> watched;
  {
    const auto child = std::make_shared<Layer>();
    parent->addSublayer(child);
    watched = child;
  }
  parent->sublayers()->front()->removeFromSuperlayer();
  EXPECT_TRUE(watched.expired());
  EXPECT_TRUE(parent->sublayers()->empty());
}

TEST(LayerTree, CyclesAndNullLayersAreRefused) {
  const auto root = std::make_shared<Layer>(), child = std::make_shared<Layer>();
  const auto maskHolder = std::make_shared<Layer>();
  root->addSublayer(child);
  EXPECT_THROW(root->addSublayer(root), std::invalid_argument);
  EXPECT_THROW(child->addSublayer(root), std::invalid_argument);
  EXPECT_THROW(child->setSublayers(LayerList{root}), std::invalid_argument);
  EXPECT_THROW(child->setMask(root), std::invalid_argument);
  maskHolder->setMask(root);
  EXPECT_THROW(child->addSublayer(maskHolder), std::invalid_argument);
  EXPECT_THROW(root->addSublayer(nullptr), std::invalid_argument);
  EXPECT_EQ(std::tuple(child->superlayer(), child->sublayers()), std::tuple(root, std::nullopt));
  Layer unowned;
  EXPECT_THROW(unowned.addSublayer(std::make_shared<Layer>()), std::logic_error);
}

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

double presented(const Layer& layer, const std::string& keyPath, double time) {
  return std::get<double>(*layer.presentationValue(keyPath, time));
}

class AnimationTest : public ::testing::Test {
 protected:
  void SetUp() override { MediaClock::set(100); }
};

TEST_F(AnimationTest, PresentationFollowsEachNamedTimingCurve) {
  // Worked out by hand at parameter t = 0.25: B(0.25) = P1 * 27/64 + P2 * 9/64 + P3 / 64 (P0 the origin). The
  // ease-in-ease-out midpoint is checked by GradientCircularGauge.EasesTheRingEnd.
  using enum TimingFunctionName;
  for (const auto& [name, timeFraction, progress] :
       {std::tuple{linear, 0.25, 0.25}, {easeInEaseOut, 0.274375, 0.15625}}) {
    SCOPED_TRACE(testing::Message() << "curve " << static_cast<int>(name) << " at " << timeFraction);
    ShapeLayer layer;
    BasicAnimation eased = animation("strokeEnd", 0.2, 0.6, 2);
    eased.timingFunction = TimingFunction::named(name);
    layer.addAnimation(eased, "strokeEnd");
    EXPECT_NEAR(presented(layer, "strokeEnd", 100 + 2 * timeFraction), 0.2 + 0.4 * progress, 1e-9);
    EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 100), 0.2);
    EXPECT_DOUBLE_EQ(layer.strokeEnd(), 1);  // the model never changes
  }
}

// Paths and rotations are checked by pictures half-way: BarPlotterGallery.BarsGrowingIn and the spinner of
// BarsAndGaugesGallery.
TEST_F(AnimationTest, PointsAndColoursBlend) {
  ShapeLayer layer;
  layer.addAnimation(animation("position", std::nullopt, Point{10, -20}, 4), "move");  // from (0, 0)
  layer.addAnimation(animation("fillColor", Rgba{1, 0, 0, 1}, Rgba{0, 0, 1, 0.5}, 1), "tint");
  EXPECT_EQ(std::get<Point>(*layer.presentationValue("position", 101)), (Point{2.5, -5}));
  EXPECT_EQ(std::get<Rgba>(*layer.presentationValue("fillColor", 100.25)), (Rgba{0.75, 0, 0.25, 0.875}));
}

TEST_F(AnimationTest, FillModeDecidesWhatShowsOutsideTheActiveTime) {
  // Model 0.5; the animation runs 0.2 to 0.8 from 110 to 111 and is kept after it ends.
  for (const auto& [mode, before, after] : {std::tuple{FillMode::removed, 0.5, 0.5},
                                            {FillMode::forwards, 0.5, 0.8},
                                            {FillMode::both, 0.2, 0.8}}) {
    SCOPED_TRACE(testing::Message() << "fill mode " << static_cast<int>(mode));
    ShapeLayer layer;
    layer.setStrokeEnd(0.5);
    BasicAnimation late = animation("strokeEnd", 0.2, 0.8, 1);
    late.fillMode = mode;
    late.removedOnCompletion = false;
    late.beginTime = 110;
    layer.addAnimation(late, "strokeEnd");
    EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 105), before);
    EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 110.5), 0.5);
    EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 112), after);
    EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", settled), after);
  }

  // Removed on completion, the forwards fill ends with the animation.
  ShapeLayer layer;
  BasicAnimation removed = animation("strokeEnd", 0.0, 0.4, 1);
  removed.fillMode = FillMode::forwards;
  layer.addAnimation(removed, "strokeEnd");
  EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 102), 1);
  EXPECT_EQ(layer.animationKeys(), std::vector<std::string>{"strokeEnd"});
  MediaClock::advance(1);
  EXPECT_TRUE(layer.animationKeys().empty());
  EXPECT_FALSE(layer.animation("strokeEnd").has_value());
}

TEST_F(AnimationTest, RepeatCountPlaysWholeFractionalAndEndlessPasses) {
  BasicAnimation width = animation("lineWidth", 0.0, 10.0, 1);
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
  // A later pass starts again (the endless one a thousand passes on); after the last pass the end holds.
  EXPECT_DOUBLE_EQ(presented(endless, "lineWidth", 1100.75), 7.5);
  EXPECT_DOUBLE_EQ(presented(twice, "lineWidth", 102.5), 10);
  EXPECT_DOUBLE_EQ(presented(twoAndAHalf, "lineWidth", 104), 5);  // holds the end of the half pass
  EXPECT_DOUBLE_EQ(presented(endless, "lineWidth", settled), 0);  // the settled look is the pass start
  MediaClock::advance(1e6);
  EXPECT_EQ(endless.animationKeys(), std::vector<std::string>{"width"});
}

// Replacing by key and stamping the begin time are checked by Tavrix's AnimatedGradientProgressView tests.
TEST_F(AnimationTest, UnderAnotherKeyBothAreKeptAndTheOneAddedLaterShows) {
  ShapeLayer layer;
  layer.addAnimation(animation("strokeEnd", 0.0, 0.9, 1), "value");
  layer.addAnimation(animation("strokeEnd", 0.0, 0.1, 1), "other");
  EXPECT_EQ(layer.animationKeys(), (std::vector<std::string>{"value", "other"}));
  EXPECT_DOUBLE_EQ(presented(layer, "strokeEnd", 100.5), 0.05);
}

TEST_F(AnimationTest, BadAnimationsAreRefused) {
  ShapeLayer layer;
  EXPECT_THROW(layer.addAnimation(animation("strokeEnd", std::nullopt, Point{1, 1}, 1), "k"),
               std::invalid_argument);
  EXPECT_THROW(layer.addAnimation(animation("opacity", 0.0, 1.0, -1), "k"), std::invalid_argument);
  EXPECT_NO_THROW(layer.addAnimation(animation("strokeColor", std::nullopt, std::monostate{}, 1), "k"));
  EXPECT_THROW((void)layer.presentationValue("strokeEnd", std::nan("")), std::invalid_argument);
  EXPECT_FALSE(layer.presentationValue("noSuchProperty", 100).has_value());
}

}  // namespace
}  // namespace platform::test
