#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <vector>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/Snapshot.hpp"
#include "Platform/UI/Screen.hpp"
#include "Tavrix/Graph/GradientLayer.hpp"

namespace {

using platform::Color;
using platform::Rgba;
using Tavrix::GradientLayer;

const platform::Rect frame{0, 0, 40, 20};

std::shared_ptr<platform::Layer> makeParent() {
  auto parent = std::make_shared<platform::Layer>();
  parent->setBounds(frame);
  return parent;
}

TEST(GradientLayerTest, OneColourGivenAtCreationMakesTwoStopsButOneAssignedLaterStaysOne) {
  GradientLayer layer(makeParent(), {Color::red()}, frame);
  ASSERT_EQ(layer.colors().size(), 2u);
  EXPECT_EQ(layer.colors()[0], layer.colors()[1]);
  layer.redraw();
  EXPECT_EQ(layer.gradientLayer()->colors(), (std::vector<Rgba>{{1, 0, 0, 1}, {1, 0, 0, 1}}));

  layer.setColors({Color::green()});
  EXPECT_EQ(layer.gradientLayer()->colors(), (std::vector<Rgba>{{0, 1, 0, 1}}));
}

TEST(GradientLayerTest, NothingIsAppliedOrAttachedBeforeTheFirstAssignment) {
  const auto parent = makeParent();
  GradientLayer layer(parent, {Color::red(), Color::green()}, frame);
  EXPECT_EQ(layer.gradientLayer()->superlayer(), nullptr);
  EXPECT_TRUE(layer.gradientLayer()->colors().empty());
  EXPECT_EQ(layer.gradientLayer()->frame(), platform::Rect());
  EXPECT_EQ(layer.gradientLayer()->mask(), nullptr);

  layer.setLineWidth(3);
  EXPECT_EQ(layer.gradientLayer()->superlayer(), parent);
  EXPECT_EQ(layer.gradientLayer()->mask(), layer.maskingLayer());
}

// Every assignment applies every property to both layers.
TEST(GradientLayerTest, AnAssignmentAppliesEveryProperty) {
  GradientLayer layer(makeParent(), {Color::red(), Color::green()}, {5, 6, 30, 10});
  platform::BezierPath path;
  path.move({1, 1});
  path.line({9, 9});
  layer.setPath(path);
  layer.setFillColor(nullptr);
  layer.setLineDashPattern(std::vector<double>{2, 1});
  layer.setLineDashPhase(0.5);
  layer.setStartPoint({0.5, 0});

  const platform::ShapeLayer& mask = *layer.maskingLayer();
  EXPECT_EQ(mask.path(), path.path());
  EXPECT_EQ(mask.fillColor(), std::nullopt);
  EXPECT_EQ(mask.strokeColor(), (Rgba{0, 0, 0, 1}));
  EXPECT_EQ(mask.lineDashPattern(), (std::vector<double>{2, 1}));
  EXPECT_EQ(mask.lineDashPhase(), 0.5);
  EXPECT_EQ(mask.lineJoin(), platform::LineJoin::bevel);
  EXPECT_EQ(mask.lineCap(), platform::LineCap::butt);
  EXPECT_EQ(mask.lineWidth(), 0);
  EXPECT_EQ(mask.frame(), (platform::Rect{5, 6, 30, 10}));
  EXPECT_EQ(mask.position(), (platform::Point{20, 11}));

  const platform::GradientLayer& gradient = *layer.gradientLayer();
  EXPECT_EQ(gradient.frame(), (platform::Rect{5, 6, 30, 10}));
  EXPECT_EQ(gradient.startPoint(), (platform::Point{0.5, 0}));
  EXPECT_EQ(gradient.endPoint(), (platform::Point{1, 0.5}));
  EXPECT_EQ(gradient.colors(), (std::vector<Rgba>{{1, 0, 0, 1}, {0, 1, 0, 1}}));

  layer.setPath(std::nullopt);
  layer.setLineDashPattern(std::nullopt);
  EXPECT_EQ(mask.path(), std::nullopt);
  EXPECT_TRUE(mask.lineDashPattern().empty());
}

TEST(GradientLayerTest, ContentsScaleFollowsTheMainScreenAtEachUpdate) {
  GradientLayer layer(makeParent(), {Color::red()}, frame);
  layer.redraw();
  EXPECT_EQ(layer.gradientLayer()->contentsScale(), 1);
  const platform::ScopedMainScreen screen(platform::Screen{2});
  layer.redraw();
  EXPECT_EQ(layer.gradientLayer()->contentsScale(), 2);
  EXPECT_EQ(layer.maskingLayer()->contentsScale(), 2);
}

TEST(GradientLayerTest, WithoutAParentNothingIsEverInserted) {
  GradientLayer layer(nullptr, {Color::red()}, frame);
  layer.setLineWidth(2);
  EXPECT_EQ(layer.gradientLayer()->superlayer(), nullptr);
  EXPECT_EQ(layer.gradientLayer()->frame(), frame);
}

// The one assigned last lies on top, even when the value did not change.
TEST(GradientLayerTest, AnyAssignmentMovesTheGradientToTheTop) {
  const auto parent = makeParent();
  GradientLayer first(parent, {Color::red()}, frame);
  GradientLayer second(parent, {Color::green()}, frame);
  first.setLineWidth(1);
  second.setLineWidth(1);
  ASSERT_EQ(parent->sublayers()->back(), second.gradientLayer());
  first.setLineWidth(1);
  EXPECT_EQ(parent->sublayers()->back(), first.gradientLayer());
  EXPECT_EQ(parent->sublayers()->size(), 2u);

  first.removeFromSuperlayer();
  EXPECT_EQ(parent->sublayers()->size(), 1u);
}

// The gradient shows only where the shape lets it through: inside a filled rectangle, not around it, and
// not at all without a path or with neither fill nor stroke.
TEST(GradientLayerTest, TheGradientShowsOnlyThroughTheShape) {
  const auto parent = makeParent();
  GradientLayer layer(parent, {Color::red(), Color::red()}, frame);
  layer.setPath(platform::BezierPath::rect({10, 5, 10, 10}));
  EXPECT_EQ(platform::Snapshot::colorAt(*parent, {15, 10}), (Rgba{1, 0, 0, 1}));
  EXPECT_EQ(platform::Snapshot::colorAt(*parent, {30, 10}).alpha, 0);

  layer.setFillColor(nullptr);
  EXPECT_EQ(platform::Snapshot::colorAt(*parent, {15, 10}).alpha, 0);
  layer.setFillColor(Color::black());
  layer.setPath(std::nullopt);
  EXPECT_EQ(platform::Snapshot::colorAt(*parent, {15, 10}).alpha, 0);
}

TEST(GradientLayerTest, AnimationsGoToTheMask) {
  GradientLayer layer(makeParent(), {Color::red()}, frame);
  platform::BasicAnimation animation;
  animation.keyPath = "lineWidth";
  animation.toValue = 4.0;
  animation.duration = 1;
  layer.add(animation, "grow");
  EXPECT_EQ(layer.maskingLayer()->animationKeys(), (std::vector<std::string>{"grow"}));
  EXPECT_TRUE(layer.gradientLayer()->animationKeys().empty());
}

}  // namespace
