#include <gtest/gtest.h>

#include <memory>
#include <vector>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/Snapshot.hpp"
#include "Tavrix/Graph/GradientLayer.hpp"

namespace {

using platform::Color;
using platform::Rgba;

// A new object applies nothing and stays out of the tree; each assignment applies everything and puts the
// gradient on top of its parent. One colour at creation makes two stops, one assigned later stays one.
// The gradient shows only where the shape lets it through.
TEST(GradientLayerTest, AssignmentsApplyAttachAndMask) {
  const platform::Rect frame{0, 0, 40, 20};
  const auto parent = std::make_shared<platform::Layer>();
  parent->setBounds(frame);
  Tavrix::GradientLayer layer(parent, {Color::red()}, frame);
  Tavrix::GradientLayer other(parent, {Color::green()}, frame);
  EXPECT_EQ(layer.gradientLayer()->superlayer(), nullptr);
  EXPECT_TRUE(layer.gradientLayer()->colors().empty());

  layer.setPath(platform::BezierPath::rect({10, 5, 10, 10}));
  other.setLineWidth(0);
  EXPECT_EQ(parent->sublayers()->back(), other.gradientLayer());
  layer.setLineWidth(0);
  EXPECT_EQ(parent->sublayers()->back(), layer.gradientLayer());
  EXPECT_EQ(layer.gradientLayer()->mask(), layer.maskingLayer());
  EXPECT_EQ(layer.gradientLayer()->colors(), (std::vector<Rgba>{{1, 0, 0, 1}, {1, 0, 0, 1}}));
  EXPECT_EQ(platform::Snapshot::colorAt(*parent, {15, 10}), (Rgba{1, 0, 0, 1}));
  EXPECT_EQ(platform::Snapshot::colorAt(*parent, {30, 10}).alpha, 0);

  layer.setColors({Color::green()});
  EXPECT_EQ(layer.gradientLayer()->colors(), (std::vector<Rgba>{{0, 1, 0, 1}}));
  layer.setFillColor(nullptr);
  EXPECT_EQ(platform::Snapshot::colorAt(*parent, {15, 10}).alpha, 0);

  Tavrix::GradientLayer orphan(nullptr, {Color::red()}, frame);
  orphan.setLineWidth(2);
  EXPECT_EQ(orphan.gradientLayer()->superlayer(), nullptr);
  EXPECT_EQ(orphan.gradientLayer()->frame(), frame);
}

}  // namespace
