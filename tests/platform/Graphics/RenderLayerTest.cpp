#include <gtest/gtest.h>

#include <memory>
#include <numbers>

#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/MediaClock.hpp"
#include "Platform/Graphics/Snapshot.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace platform::test {
namespace {

std::shared_ptr<Layer> addFilled(Layer& parent, const Rect& frame, const Rgba& color) {
  auto layer = std::make_shared<Layer>();
  layer->setFrame(frame);
  layer->setBackgroundColor(color);
  parent.addSublayer(layer);
  return layer;
}

TEST(RenderLayer, BackgroundAndBorderFollowTheCornerRadius) {
  auto root = canvas(20, 20);
  root->setBackgroundColor(opaqueRed);
  root->setCornerRadius(6);
  auto image = Snapshot::image(*root);
  expectRgba(image->pixel(0, 0), transparent);
  expectRgba(image->pixel(19, 19), transparent);
  expectRgba(image->pixel(10, 0), opaqueRed);
  expectRgba(image->pixel(10, 10), opaqueRed);

  root->setBorderWidth(2);
  root->setBorderColor(opaqueBlue);
  image = Snapshot::image(*root);
  expectRgba(image->pixel(10, 0), opaqueBlue);
  expectRgba(image->pixel(10, 1), opaqueBlue);
  expectRgba(image->pixel(10, 2), opaqueRed);
  expectRgba(image->pixel(0, 10), opaqueBlue);
  expectRgba(image->pixel(0, 0), transparent);
  // Above the sublayers.
  addFilled(*root, Rect(0, 0, 20, 20), opaqueGreen);
  image = Snapshot::image(*root);
  expectRgba(image->pixel(10, 0), opaqueBlue);
  expectRgba(image->pixel(10, 10), opaqueGreen);
}

TEST(RenderLayer, MasksToBoundsClipsSublayersToTheRoundedBounds) {
  auto root = canvas(30, 30);
  auto tile = addFilled(*root, Rect(5, 5, 20, 20), transparent);
  tile->setCornerRadius(8);
  addFilled(*tile, Rect(-5, -5, 30, 30), opaqueRed);
  auto image = Snapshot::image(*root);
  expectRgba(pixelAt(*image, 1, 1), opaqueRed);
  expectRgba(pixelAt(*image, 5.5, 5.5), opaqueRed);

  tile->setMasksToBounds(true);
  image = Snapshot::image(*root);
  expectRgba(pixelAt(*image, 1, 1), transparent);
  expectRgba(pixelAt(*image, 5.5, 5.5), transparent);
  expectRgba(pixelAt(*image, 15, 5.5), opaqueRed);
  expectRgba(pixelAt(*image, 15, 15), opaqueRed);
  expectRgba(pixelAt(*image, 25.5, 15), transparent);
}

TEST(RenderLayer, OpacityAppliesToTheTreeAsOneGroup) {
  auto root = canvas(20, 10);
  auto group = addFilled(*root, Rect(0, 0, 20, 10), transparent);
  group->setOpacity(0.5);
  addFilled(*group, Rect(0, 0, 12, 10), opaqueRed);
  addFilled(*group, Rect(8, 0, 12, 10), opaqueBlue);
  const auto image = Snapshot::image(*root);
  // Where the two overlap, the blue hides the red before the group fades: not 75 % coverage.
  expectRgba(pixelAt(*image, 10, 5), {0, 0, 0.5, 0.5});
  expectRgba(pixelAt(*image, 2, 5), {0.5, 0, 0, 0.5});
}

TEST(RenderLayer, SublayersDrawInZOrderAndEqualOnesInListOrder) {
  auto root = canvas(10, 10);
  auto first = addFilled(*root, Rect(0, 0, 10, 10), opaqueRed);
  auto second = addFilled(*root, Rect(0, 0, 10, 10), opaqueBlue);
  expectRgba(pixelAt(*Snapshot::image(*root), 5, 5), opaqueBlue);
  first->setZPosition(1);
  expectRgba(pixelAt(*Snapshot::image(*root), 5, 5), opaqueRed);
  second->setZPosition(1);
  expectRgba(pixelAt(*Snapshot::image(*root), 5, 5), opaqueBlue);
}

TEST(RenderLayer, TransformTurnsTheLayerAboutItsAnchorPoint) {
  auto root = canvas(20, 20);
  auto turned = addFilled(*root, Rect(5, 5, 10, 10), transparent);
  // The left half of the turned layer is red.
  addFilled(*turned, Rect(0, 0, 5, 10), opaqueRed);
  turned->setTransform(AffineTransform::rotation(std::numbers::pi / 2));
  auto image = Snapshot::image(*root);
  // A quarter turn counterclockwise about the centre takes the left half to the bottom half.
  expectRgba(pixelAt(*image, 10, 7), opaqueRed);
  expectRgba(pixelAt(*image, 10, 13), transparent);
}

TEST(RenderLayer, GeometryFlippedLayerPlacesSublayersFromTheTop) {
  auto root = canvas(20, 20);
  addFilled(*root, Rect(0, 0, 20, 5), opaqueRed);
  EXPECT_EQ(inkBox(*Snapshot::image(*root)).top, 15);
  root->setGeometryFlipped(true);
  const InkBox flipped = inkBox(*Snapshot::image(*root));
  EXPECT_EQ(flipped.top, 0);
  EXPECT_EQ(flipped.bottom, 4);
}

TEST(RenderLayer, ShadowFallsByItsOffsetAndBlurs) {
  auto root = canvas(40, 40);
  auto card = addFilled(*root, Rect(10, 10, 20, 20), opaqueRed);
  card->setShadowOpacity(1);
  card->setShadowRadius(0);
  card->setShadowOffset({4, -4});
  auto image = Snapshot::image(*root);
  // Sharp, four points right and down, under the card.
  expectRgba(pixelAt(*image, 32, 8), opaqueBlack);
  expectRgba(pixelAt(*image, 35, 8), transparent);
  expectRgba(pixelAt(*image, 20, 20), opaqueRed);

  card->setShadowRadius(4);
  image = Snapshot::image(*root);
  const double nearEdge = pixelAt(*image, 34.5, 20).alpha;
  const double farther = pixelAt(*image, 37.5, 20).alpha;
  EXPECT_GT(nearEdge, farther);
  EXPECT_GT(farther, 0);
  EXPECT_LT(nearEdge, 1);

  card->setShadowPath(BezierPath::rect(Rect(0, 0, 5, 5)).path());
  card->setShadowRadius(0);
  image = Snapshot::image(*root);
  expectRgba(pixelAt(*image, 16, 8), opaqueBlack);
  expectRgba(pixelAt(*image, 32, 8), transparent);

  // Clipping to the bounds clips the layer's own shadow too.
  card->setShadowPath(std::nullopt);
  EXPECT_EQ(inkBox(*Snapshot::image(*root), 0).right, 33);
  card->setMasksToBounds(true);
  EXPECT_EQ(inkBox(*Snapshot::image(*root), 0).right, 29);
}

TEST(RenderLayer, ColorAtReadsModelValuesAsPremultipliedComponents) {
  MediaClock::set(0);
  auto root = canvas(10, 10);
  auto left = addFilled(*root, Rect(0, 0, 5, 10), opaqueRed);
  addFilled(*root, Rect(5, 0, 5, 10), {1, 1, 1, 0.5});
  expectRgba(Snapshot::colorAt(*root, {2, 2}), opaqueRed);
  expectRgba(Snapshot::colorAt(*root, {7, 2}), {0.5, 0.5, 0.5, 0.5});
  expectRgba(Snapshot::colorAt(*root, {12, 2}), transparent);

  BasicAnimation recolour;
  recolour.keyPath = "backgroundColor";
  recolour.toValue = opaqueBlue;
  recolour.fillMode = FillMode::forwards;
  recolour.removedOnCompletion = false;
  left->addAnimation(recolour, "recolour");
  expectRgba(Snapshot::colorAt(*root, {2, 2}), opaqueRed);
  expectRgba(pixelAt(*Snapshot::image(*root), 2, 2), opaqueBlue);
}

}  // namespace
}  // namespace platform::test
