#include <gtest/gtest.h>

#include <memory>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/Graphics/Snapshot.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace platform::test {
namespace {

std::shared_ptr<GradientLayer> addGradient(Layer& parent, const Rect& frame, std::vector<Rgba> colors) {
  auto gradient = std::make_shared<GradientLayer>();
  gradient->setFrame(frame);
  gradient->setColors(std::move(colors));
  parent.addSublayer(gradient);
  return gradient;
}

// A shape layer (zero bounds, so its path is in the masked layer's space) filled with the colour.
std::shared_ptr<ShapeLayer> maskOf(const Rect& rect, const Rgba& fill) {
  auto mask = std::make_shared<ShapeLayer>();
  mask->setPath(BezierPath::rect(rect).path());
  mask->setFillColor(fill);
  return mask;
}

TEST(RenderGradient, DefaultAxisRunsFromTheBottomEdgeToTheTopEdge) {
  auto root = canvas(10, 100);
  addGradient(*root, Rect(0, 0, 10, 100), {opaqueRed, opaqueBlue});
  const auto image = Snapshot::image(*root);
  // Pixel centres sit half a point inside the edges: 0.5 % and 99.5 % of the way.
  expectRgba(pixelAt(*image, 5, 0.5), {0.995, 0, 0.005, 1});
  expectRgba(pixelAt(*image, 5, 99.5), {0.005, 0, 0.995, 1});
  expectRgba(pixelAt(*image, 5, 50.5), {0.495, 0, 0.505, 1});
}

TEST(RenderGradient, EndColoursArePaddedBeyondTheEndPoints) {
  auto root = canvas(100, 10);
  auto gradient = addGradient(*root, Rect(0, 0, 100, 10), {opaqueRed, opaqueBlue});
  gradient->setStartPoint({0.25, 0.5});
  gradient->setEndPoint({0.75, 0.5});
  const auto image = Snapshot::image(*root);
  expectRgba(pixelAt(*image, 0.5, 5), opaqueRed, 0);
  expectRgba(pixelAt(*image, 24.5, 5), opaqueRed, 0);
  expectRgba(pixelAt(*image, 75.5, 5), opaqueBlue, 0);
  expectRgba(pixelAt(*image, 99.5, 5), opaqueBlue, 0);
  expectRgba(pixelAt(*image, 50, 5), {0.5, 0, 0.5, 1}, 0.02);
}

TEST(RenderGradient, MaskCutsTheGradientInTheLayersOwnSpace) {
  auto root = canvas(20, 20);
  auto gradient = addGradient(*root, Rect(10, 0, 10, 20), {opaqueRed, opaqueRed});
  gradient->setMask(maskOf(Rect(0, 0, 5, 20), opaqueBlack));
  const auto image = Snapshot::image(*root);
  expectRgba(pixelAt(*image, 9.5, 10), transparent);
  expectRgba(pixelAt(*image, 10.5, 10), opaqueRed);
  expectRgba(pixelAt(*image, 14.5, 10), opaqueRed);
  expectRgba(pixelAt(*image, 15.5, 10), transparent);
}

TEST(RenderGradient, OnlyTheMasksAlphaCounts) {
  auto root = canvas(10, 10);
  auto gradient = addGradient(*root, Rect(0, 0, 10, 10), {opaqueRed, opaqueRed});
  gradient->setMask(maskOf(Rect(0, 0, 10, 10), {0, 1, 0, 0.5}));
  expectRgba(pixelAt(*Snapshot::image(*root), 5, 5), {0.5, 0, 0, 0.5});
  // Opacity and mask together multiply.
  gradient->setOpacity(0.5);
  expectRgba(pixelAt(*Snapshot::image(*root), 5, 5), {0.25, 0, 0, 0.25});
}

TEST(RenderGradient, UnitSpaceFollowsAFlippedSuperlayer) {
  auto root = canvas(10, 100);
  root->setGeometryFlipped(true);
  addGradient(*root, Rect(0, 0, 10, 100), {opaqueRed, opaqueBlue});
  const auto image = Snapshot::image(*root);
  // (0.5, 0) is now the top edge.
  expectRgba(image->pixel(5, 0), {0.995, 0, 0.005, 1});
  expectRgba(image->pixel(5, 99), {0.005, 0, 0.995, 1});
}

}  // namespace
}  // namespace platform::test
