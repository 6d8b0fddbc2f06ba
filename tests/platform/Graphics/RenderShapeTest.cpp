#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/MediaClock.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/Graphics/Snapshot.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace platform::test {
namespace {

// A shape layer with zero bounds at the canvas origin, so its path is in the canvas's coordinates.
std::shared_ptr<ShapeLayer> addShape(Layer& canvasLayer, const Path& path) {
  auto shape = std::make_shared<ShapeLayer>();
  shape->setPath(path);
  canvasLayer.addSublayer(shape);
  return shape;
}

// A horizontal line at height y, stroked 2 points wide in blue and not filled.
std::shared_ptr<ShapeLayer> addLine(Layer& canvasLayer, double y, double fromX, double toX) {
  BezierPath line;
  line.move({fromX, y});
  line.line({toX, y});
  auto shape = addShape(canvasLayer, line.path());
  shape->setFillColor(std::nullopt);
  shape->setStrokeColor(opaqueBlue);
  shape->setLineWidth(2);
  return shape;
}

// Whether the stroke covers the pixel column at x of a line drawn at y = 5 (rows 4 and 5 from the top).
bool inked(const Image& image, int column) { return image.pixel(column, 5).alpha > 0.5; }

TEST(RenderShape, FillCoversExactlyThePathInYUpCoordinates) {
  auto root = canvas(20, 10);
  addShape(*root, BezierPath::rect(Rect(5, 2, 6, 4)).path())->setFillColor(opaqueRed);
  const auto image = Snapshot::image(*root);
  ASSERT_EQ(image->pixelWidth(), 20);
  ASSERT_EQ(image->pixelHeight(), 10);
  // y 2...6 up from the bottom are rows 4...7 down from the top.
  expectRgba(image->pixel(5, 4), opaqueRed);
  expectRgba(image->pixel(10, 7), opaqueRed);
  expectRgba(image->pixel(5, 3), transparent);
  expectRgba(image->pixel(5, 8), transparent);
  expectRgba(image->pixel(4, 5), transparent);
  expectRgba(image->pixel(11, 5), transparent);
}

TEST(RenderShape, StrokeIsCentredOnTheLineAndCapsFollowTheStyle) {
  auto root = canvas(20, 10);
  auto line = addLine(*root, 5, 2, 18);
  auto image = Snapshot::image(*root);
  expectRgba(image->pixel(10, 4), opaqueBlue);
  expectRgba(image->pixel(10, 5), opaqueBlue);
  expectRgba(image->pixel(10, 3), transparent);
  expectRgba(image->pixel(10, 6), transparent);
  EXPECT_FALSE(inked(*image, 1));
  EXPECT_TRUE(inked(*image, 2));
  EXPECT_TRUE(inked(*image, 17));
  EXPECT_FALSE(inked(*image, 18));

  line->setLineCap(LineCap::square);
  image = Snapshot::image(*root);
  EXPECT_TRUE(inked(*image, 1));
  EXPECT_TRUE(inked(*image, 18));
  EXPECT_FALSE(inked(*image, 0));

  line->setLineWidth(0);
  EXPECT_TRUE(inkBox(*Snapshot::image(*root), 0).isEmpty());
}

TEST(RenderShape, StrokeEndAndStartTrimTheStrokedPart) {
  auto root = canvas(20, 10);
  auto line = addLine(*root, 5, 0, 20);
  line->setStrokeEnd(0.5);
  auto image = Snapshot::image(*root);
  EXPECT_TRUE(inked(*image, 0));
  EXPECT_TRUE(inked(*image, 9));
  EXPECT_FALSE(inked(*image, 10));
  EXPECT_FALSE(inked(*image, 19));

  line->setStrokeStart(0.25);
  line->setStrokeEnd(0.75);
  image = Snapshot::image(*root);
  EXPECT_FALSE(inked(*image, 4));
  EXPECT_TRUE(inked(*image, 5));
  EXPECT_TRUE(inked(*image, 14));
  EXPECT_FALSE(inked(*image, 15));
}

TEST(RenderShape, DashPatternLeavesGapsShiftedByThePhase) {
  auto root = canvas(24, 10);
  auto line = addLine(*root, 5, 0, 24);
  line->setLineDashPattern({4, 2});
  auto image = Snapshot::image(*root);
  for (int column : {0, 3, 6, 9, 12}) EXPECT_TRUE(inked(*image, column)) << column;
  for (int column : {4, 5, 10, 11, 16}) EXPECT_FALSE(inked(*image, column)) << column;

  line->setLineDashPhase(1);
  image = Snapshot::image(*root);
  EXPECT_TRUE(inked(*image, 2));
  EXPECT_FALSE(inked(*image, 3));
  EXPECT_FALSE(inked(*image, 4));
  EXPECT_TRUE(inked(*image, 5));

  // A pattern cairo cannot draw strokes solid.
  line->setLineDashPattern({4, -2});
  image = Snapshot::image(*root);
  for (int column = 0; column < 24; ++column) EXPECT_TRUE(inked(*image, column)) << column;
}

TEST(RenderShape, SubpathWithANonFiniteCoordinateIsLeftOutAndTheRestDrawn) {
  BezierPath path = BezierPath::rect(Rect(0, 0, 5, 5));
  path.move({10, 0});
  path.line({std::numeric_limits<double>::quiet_NaN(), 5});
  path.line({15, 5});
  path.close();
  path.append(BezierPath::rect(Rect(15, 0, 5, 5)));
  auto root = canvas(20, 5);
  addShape(*root, path.path())->setFillColor(opaqueRed);
  const auto image = Snapshot::image(*root);
  expectRgba(pixelAt(*image, 2, 2), opaqueRed);
  expectRgba(pixelAt(*image, 12, 2), transparent);
  expectRgba(pixelAt(*image, 17, 2), opaqueRed);
}

TEST(RenderShape, AnimatedStrokeEndShowsItsPresentationAtTheChosenTime) {
  MediaClock::set(100);
  auto root = canvas(20, 10);
  auto line = addLine(*root, 5, 0, 20);
  line->setStrokeEnd(0);
  BasicAnimation grow;
  grow.keyPath = "strokeEnd";
  grow.fromValue = 0.0;
  grow.toValue = 1.0;
  grow.duration = 2;
  grow.fillMode = FillMode::forwards;
  grow.removedOnCompletion = false;
  line->addAnimation(grow, "grow");

  auto halfway = Snapshot::image(*root, 1, RenderTime::at(101));
  EXPECT_TRUE(inked(*halfway, 9));
  EXPECT_FALSE(inked(*halfway, 10));
  // Settled, the held end value shows the whole line; the model value shows none of it.
  EXPECT_TRUE(inked(*Snapshot::image(*root), 19));
  EXPECT_TRUE(inkBox(*Snapshot::image(*root, 1, RenderTime::model()), 0).isEmpty());
}

}  // namespace
}  // namespace platform::test
