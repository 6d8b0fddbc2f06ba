#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Platform/Graphics/BezierPath.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"

namespace platform::test {
namespace {

// Quarter circles of radius 10 about the origin: control points sit 4/3 tan(22.5 degrees) * 10 along the
// tangents.
constexpr double handle = 4.0 / 3.0 * 0.41421356237309503 * 10;

Path arc(double start, double end, bool clockwise) {
  BezierPath path;
  path.appendArc({0, 0}, 10, start, end, clockwise);
  return path.path();
}

TEST(BezierPathArc, QuarterTurnCounterclockwiseIsOneCurve) {
  expectElements(arc(0, 90, false), {moveTo({10, 0}), curveTo({10, handle}, {handle, 10}, {0, 10})});
}

TEST(BezierPathArc, QuarterAngleClockwiseGoesTheLongWayRound) {
  expectElements(arc(0, 90, true), {moveTo({10, 0}), curveTo({10, -handle}, {handle, -10}, {0, -10}),
                                    curveTo({-handle, -10}, {-10, -handle}, {-10, 0}),
                                    curveTo({-10, handle}, {-handle, 10}, {0, 10})});
  expectElements(arc(90, 0, false), {moveTo({0, 10}), curveTo({-handle, 10}, {-10, handle}, {-10, 0}),
                                     curveTo({-10, -handle}, {-handle, -10}, {0, -10}),
                                     curveTo({handle, -10}, {10, -handle}, {10, 0})});
}

TEST(BezierPathArc, FullTurnCounterclockwiseIsACircle) {
  expectElements(arc(0, 360, false), {moveTo({10, 0}), curveTo({10, handle}, {handle, 10}, {0, 10}),
                                      curveTo({-handle, 10}, {-10, handle}, {-10, 0}),
                                      curveTo({-10, -handle}, {-handle, -10}, {0, -10}),
                                      curveTo({handle, -10}, {10, -handle}, {10, 0})});
  // Any difference of 360 or more is one full circle, not more.
  EXPECT_EQ(arc(0, 450, false).elementCount(), 5u);
}

TEST(BezierPathArc, ZeroToThreeSixtyClockwiseSweepsNothing) {
  expectElements(arc(0, 360, true), {moveTo({10, 0})});
  // The reverse order is a full clockwise circle.
  expectElements(arc(360, 0, true), {moveTo({10, 0}), curveTo({10, -handle}, {handle, -10}, {0, -10}),
                                     curveTo({-handle, -10}, {-10, -handle}, {-10, 0}),
                                     curveTo({-10, handle}, {-handle, 10}, {0, 10}),
                                     curveTo({handle, 10}, {10, handle}, {10, 0})});
}

TEST(BezierPathArc, ZeroSweepInEitherDirectionOnlyMoves) {
  expectElements(arc(0, 0, false), {moveTo({10, 0})});
  expectElements(arc(0, 0, true), {moveTo({10, 0})});
  expectElements(arc(90, 90, true), {moveTo({0, 10})});
}

TEST(BezierPathArc, AlmostNoAngleClockwiseIsNearlyAFullRing) {
  // From the top, clockwise to just past the top: four curves through the right, bottom and left.
  const Path ring = arc(90, 90.000001, true);
  ASSERT_EQ(ring.elementCount(), 5u);
  EXPECT_NEAR(ring.element(1).points[2].x, 10, 1e-6);
  EXPECT_NEAR(ring.element(2).points[2].y, -10, 1e-6);
  EXPECT_NEAR(ring.element(3).points[2].x, -10, 1e-6);
  const double endAngle = 90.000001 * std::numbers::pi / 180;
  EXPECT_NEAR(ring.element(4).points[2].x, 10 * std::cos(endAngle), 1e-12);
  EXPECT_NEAR(ring.element(4).points[2].y, 10 * std::sin(endAngle), 1e-12);
  EXPECT_LT(ring.element(4).points[2].x, 0);
}

TEST(BezierPathArc, JoinsTheCurrentPointWithALine) {
  BezierPath path;
  path.move({0, 0});
  path.appendArc({20, 0}, 5, 180, 90, true);
  expectElements(path.path(),
                 {moveTo({0, 0}), lineTo({15, 0}), curveTo({15, handle / 2}, {20 - handle / 2, 5}, {20, 5})});
}

TEST(BezierPathArc, GaugeSecondArcAtFiveSixthsAddsOnlyAJoin) {
  // A three-quarter gauge at v = 5/6: clockwise 225 to 0, then clockwise 0 to 360, which sweeps nothing.
  BezierPath path;
  path.appendArc({0, 0}, 10, 225, 0, true);
  path.appendArc({0, 0}, 10, 0, 360, true);
  ASSERT_EQ(path.elementCount(), 5u);  // move, three curves of 75 degrees, the join
  EXPECT_EQ(path.element(4).kind, PathElementKind::lineTo);
  EXPECT_EQ(path.element(4).points[0], (Point{10, 0}));
}

TEST(BezierPathArc, RadiusOfZeroOrLessOrNonFiniteValuesAppendNothing) {
  for (double radius : {0.0, -3.0, std::nan("")}) {
    BezierPath path;
    path.move({1, 1});
    path.appendArc({0, 0}, radius, 0, 90);
    EXPECT_EQ(path.elementCount(), 1u) << radius;
  }
  BezierPath path;
  path.appendArc({0, 0}, 10, 0, INFINITY);
  EXPECT_TRUE(path.isEmpty());
}

}  // namespace
}  // namespace platform::test
