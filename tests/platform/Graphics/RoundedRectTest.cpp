#include <gtest/gtest.h>

#include <cmath>

#include "Platform/Graphics/BezierPath.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"

namespace platform::test {
namespace {

// Control points of a quarter ellipse sit this fraction of the radius from the corner's ends.
constexpr double kappa = 4.0 / 3.0 * 0.41421356237309503;

TEST(BezierPathRoundedRect, RadiiWithinHalfTheSidesAreKept) {
  const double k = 4 * kappa;
  expectElements(BezierPath::roundedRect(Rect(0, 0, 100, 20), 4, 4).path(),
                 {moveTo({4, 0}), lineTo({96, 0}), curveTo({96 + k, 0}, {100, 4 - k}, {100, 4}),
                  lineTo({100, 16}), curveTo({100, 16 + k}, {96 + k, 20}, {96, 20}), lineTo({4, 20}),
                  curveTo({4 - k, 20}, {0, 16 + k}, {0, 16}), lineTo({0, 4}),
                  curveTo({0, 4 - k}, {4 - k, 0}, {4, 0}), closePath()});
}

TEST(BezierPathRoundedRect, EachRadiusIsClampedToHalfItsSide) {
  // 30 fits the width of 100 but not the height of 20, which allows 10: a capsule-ended bar.
  const double kx = 30 * kappa;
  const double ky = 10 * kappa;
  expectElements(BezierPath::roundedRect(Rect(0, 0, 100, 20), 30, 30).path(),
                 {moveTo({30, 0}), lineTo({70, 0}), curveTo({70 + kx, 0}, {100, 10 - ky}, {100, 10}),
                  lineTo({100, 10}), curveTo({100, 10 + ky}, {70 + kx, 20}, {70, 20}), lineTo({30, 20}),
                  curveTo({30 - kx, 20}, {0, 10 + ky}, {0, 10}), lineTo({0, 10}),
                  curveTo({0, 10 - ky}, {30 - kx, 0}, {30, 0}), closePath()});
}

TEST(BezierPathRoundedRect, OnePointHighBarGetsHalfPointRadius) {
  const Path bar = BezierPath::roundedRect(Rect(2, 3, 50, 1), 4, 4).path();
  // The right end runs from the bottom edge up to the middle of the bar, 0.5 above it.
  EXPECT_EQ(bar.element(2).points[2], (Point{52, 3.5}));
  EXPECT_EQ(bar.element(4).points[2], (Point{48, 4}));
}

TEST(BezierPathRoundedRect, BothRadiiClampInASquare) {
  // Radii far above half the side make the square a circle.
  const Path circle = BezierPath::roundedRect(Rect(10, 10, 40, 40), 100, 500).path();
  expectElements(circle, {moveTo({30, 10}), lineTo({30, 10}),
                          curveTo({30 + 20 * kappa, 10}, {50, 30 - 20 * kappa}, {50, 30}), lineTo({50, 30}),
                          curveTo({50, 30 + 20 * kappa}, {30 + 20 * kappa, 50}, {30, 50}), lineTo({30, 50}),
                          curveTo({30 - 20 * kappa, 50}, {10, 30 + 20 * kappa}, {10, 30}), lineTo({10, 30}),
                          curveTo({10, 30 - 20 * kappa}, {30 - 20 * kappa, 10}, {30, 10}), closePath()});
}

TEST(BezierPathRoundedRect, ZeroNegativeOrNaNRadiusGivesAPlainRectangle) {
  for (double radius : {0.0, -5.0, std::nan("")}) {
    expectElements(BezierPath::roundedRect(Rect(0, 0, 8, 6), radius, 3).path(),
                   {moveTo({0, 0}), lineTo({8, 0}), lineTo({8, 6}), lineTo({0, 6}), closePath()});
  }
}

TEST(BezierPathRoundedRect, NegativeSizeIsStandardisedFirst) {
  const Path flipped = BezierPath::roundedRect(Rect(100, 20, -100, -20), 30, 30).path();
  const Path upright = BezierPath::roundedRect(Rect(0, 0, 100, 20), 30, 30).path();
  EXPECT_EQ(flipped.element(0).points[0], (Point{30, 0}));
  EXPECT_EQ(flipped.element(2).points[2], (Point{100, 10}));
  EXPECT_EQ(flipped.elementCount(), upright.elementCount());
}

}  // namespace
}  // namespace platform::test
