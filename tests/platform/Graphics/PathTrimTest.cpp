#include <gtest/gtest.h>

#include <cmath>
#include <numbers>

#include "Platform/Graphics/BezierPath.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"

namespace platform::test {
namespace {

// An L of two 10-point lines: 20 long, the corner at half the length.
Path corner() {
  BezierPath path;
  path.move({0, 0});
  path.line({10, 0});
  path.line({10, 10});
  return path.path();
}

TEST(PathTrim, WholeRangeKeepsThePathAsItIs) {
  EXPECT_EQ(corner().trimmed(0, 1), corner());
  EXPECT_EQ(corner().trimmed(-0.5, 1.5), corner());
  const Path square = BezierPath::rect(Rect(0, 0, 10, 10)).path();
  EXPECT_EQ(square.trimmed(0, 1), square);
}

TEST(PathTrim, HalvesSplitAtHalfTheLength) {
  expectElements(corner().trimmed(0, 0.5), {moveTo({0, 0}), lineTo({10, 0})});
  expectElements(corner().trimmed(0.5, 1), {moveTo({10, 0}), lineTo({10, 10})});
  expectElements(corner().trimmed(0.25, 0.75), {moveTo({5, 0}), lineTo({10, 0}), lineTo({10, 5})});
}

TEST(PathTrim, EmptyRangesGiveTheEmptyPath) {
  EXPECT_TRUE(corner().trimmed(0, 0).isEmpty());
  EXPECT_TRUE(corner().trimmed(0.5, 0.5).isEmpty());
  EXPECT_TRUE(corner().trimmed(1, 1).isEmpty());
  EXPECT_TRUE(corner().trimmed(0.8, 0.2).isEmpty());
  EXPECT_TRUE(Path().trimmed(0.2, 0.8).isEmpty());
}

TEST(PathTrim, OutOfRangeAndNaNFractionsAreClamped) {
  expectElements(corner().trimmed(-1, 0.25), {moveTo({0, 0}), lineTo({5, 0})});
  expectElements(corner().trimmed(0.75, 7), {moveTo({10, 5}), lineTo({10, 10})});
  expectElements(corner().trimmed(std::nan(""), 0.5), {moveTo({0, 0}), lineTo({10, 0})});
  EXPECT_TRUE(corner().trimmed(0.5, std::nan("")).isEmpty());
  EXPECT_TRUE(corner().trimmed(2, 3).isEmpty());
}

TEST(PathTrim, ClosingSegmentCountsAndBecomesALineWhenCut) {
  // The square's outline is 40 long; 7/8 of it ends halfway down the closing edge.
  const Path square = BezierPath::rect(Rect(0, 0, 10, 10)).path();
  expectElements(square.trimmed(0, 0.875),
                 {moveTo({0, 0}), lineTo({10, 0}), lineTo({10, 10}), lineTo({0, 10}), lineTo({0, 5})});
  expectElements(square.trimmed(0.5, 1), {moveTo({10, 10}), lineTo({0, 10}), lineTo({0, 0})});
}

TEST(PathTrim, RangeRunsAcrossSubpaths) {
  BezierPath path;
  path.move({0, 0});
  path.line({10, 0});
  path.appendRect(Rect(0, 5, 10, 10));  // 40 more: 50 in all
  expectElements(path.path().trimmed(0.1, 0.4),
                 {moveTo({5, 0}), lineTo({10, 0}), moveTo({0, 5}), lineTo({10, 5})});
  // A closed subpath wholly inside the range stays closed.
  expectElements(path.path().trimmed(0.1, 1),
                 {moveTo({5, 0}), lineTo({10, 0}), moveTo({0, 5}), lineTo({10, 5}), lineTo({10, 15}),
                  lineTo({0, 15}), closePath()});
}

TEST(PathTrim, CurvesAreCutAtTheirLengthFraction) {
  // The hump is symmetric about x = 5, so half its length is reached at t = 0.5, the point (5, 7.5); de
  // Casteljau's construction gives the first half's controls (0, 5) and (2.5, 7.5).
  BezierPath hump;
  hump.move({0, 0});
  hump.curve({10, 0}, {0, 10}, {10, 10});
  expectElements(hump.path().trimmed(0, 0.5), {moveTo({0, 0}), curveTo({0, 5}, {2.5, 7.5}, {5, 7.5})}, 1e-9);
  expectElements(hump.path().trimmed(0.5, 1), {moveTo({5, 7.5}), curveTo({7.5, 7.5}, {10, 5}, {10, 0})},
                 1e-9);
}

TEST(PathTrim, CircleHalvesMeetOppositeTheStart) {
  BezierPath circle;
  circle.appendArc({0, 0}, 10, 0, 360);
  const Path half = circle.path().trimmed(0, 0.5);
  ASSERT_EQ(half.elementCount(), 3u);
  EXPECT_NEAR(half.element(2).points[2].x, -10, 1e-9);
  EXPECT_NEAR(half.element(2).points[2].y, 0, 1e-9);
  // A quarter ends at the top; the four-curve circle is within 0.03 % of the true circumference.
  const Path quarter = circle.path().trimmed(0, 0.25);
  EXPECT_NEAR(quarter.element(1).points[2].x, 0, 1e-9);
  EXPECT_NEAR(quarter.element(1).points[2].y, 10, 1e-9);
  EXPECT_NEAR(circle.path().length(), 2 * std::numbers::pi * 10, 2 * std::numbers::pi * 10 * 3e-4);
}

}  // namespace
}  // namespace platform::test
