#include <gtest/gtest.h>

#include <memory>
#include <numbers>

#include "Platform/Graphics/Layer.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"

namespace platform::test {
namespace {

std::shared_ptr<Layer> layerAt(Point position, Size size) {
  auto layer = std::make_shared<Layer>();
  layer->setBounds(Rect({0, 0}, size));
  layer->setPosition(position);
  return layer;
}

TEST(LayerGeometry, FramePlacesTheAnchorPointAtThePosition) {
  const auto layer = layerAt({200, 100}, {100, 50});
  EXPECT_EQ(layer->anchorPoint(), (Point{0.5, 0.5}));
  EXPECT_EQ(layer->frame(), Rect(150, 75, 100, 50));
  layer->setAnchorPoint({0, 0});
  EXPECT_EQ(layer->frame(), Rect(200, 100, 100, 50));
  layer->setAnchorPoint({1, 1});
  EXPECT_EQ(layer->frame(), Rect(100, 50, 100, 50));
  layer->setAnchorPoint({0.25, 1});
  EXPECT_EQ(layer->frame(), Rect(175, 50, 100, 50));
  // Changing the anchor moves the frame, never the position.
  EXPECT_EQ(layer->position(), (Point{200, 100}));
}

TEST(LayerGeometry, SettingTheFrameSetsPositionByTheAnchor) {
  const auto layer = std::make_shared<Layer>();
  layer->setFrame(Rect(10, 20, 30, 40));
  EXPECT_EQ(layer->position(), (Point{25, 40}));
  EXPECT_EQ(layer->bounds(), Rect(0, 0, 30, 40));

  layer->setAnchorPoint({0, 0});
  layer->setFrame(Rect(10, 20, 30, 40));
  EXPECT_EQ(layer->position(), (Point{10, 20}));

  layer->setAnchorPoint({1, 0.5});
  layer->setBounds(Rect(5, 5, 1, 1));
  layer->setFrame(Rect(40, 60, -30, -40));  // standardised to (10, 20, 30, 40)
  EXPECT_EQ(layer->position(), (Point{40, 40}));
  EXPECT_EQ(layer->bounds(), Rect(5, 5, 30, 40));  // the bounds origin stays
  EXPECT_EQ(layer->frame(), Rect(10, 20, 30, 40));
}

TEST(LayerGeometry, BoundsOriginShiftsContentNotTheFrame) {
  const auto layer = layerAt({200, 100}, {100, 50});
  layer->setBounds(Rect(10, 10, 100, 50));
  EXPECT_EQ(layer->frame(), Rect(150, 75, 100, 50));
  EXPECT_EQ(layer->transformToSuperlayer().apply(Point{10, 10}), (Point{150, 75}));
  EXPECT_EQ(layer->transformToSuperlayer().apply(Point{0, 0}), (Point{140, 65}));
}

TEST(LayerGeometry, TransformTurnsAndScalesAboutTheAnchor) {
  const auto layer = layerAt({200, 100}, {100, 50});
  layer->setTransform(AffineTransform::rotation(std::numbers::pi / 2));
  // A quarter turn about the centre stands the 100 x 50 frame on its end around the same centre.
  expectRectNear(layer->frame(), Rect(175, 50, 50, 100));
  // About the bottom-left corner it swings to the left of the position.
  layer->setAnchorPoint({0, 0});
  expectRectNear(layer->frame(), Rect(150, 100, 50, 100));

  layer->setAnchorPoint({0.5, 0.5});
  layer->setTransform(AffineTransform::scale(2, 2));
  EXPECT_EQ(layer->frame(), Rect(100, 50, 200, 100));
  // A shift: the position stays, the frame moves with the translation.
  layer->setTransform(AffineTransform::translation(-6, 0));
  EXPECT_EQ(layer->frame(), Rect(144, 75, 100, 50));
  EXPECT_EQ(layer->position(), (Point{200, 100}));
}

}  // namespace
}  // namespace platform::test
