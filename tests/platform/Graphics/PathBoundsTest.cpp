#include <gtest/gtest.h>

#include <cmath>

#include "Platform/Graphics/BezierPath.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"

namespace platform::test {
namespace {

TEST(PathBounds, EmptyPathHasZeroBounds) {
  EXPECT_EQ(Path().controlBounds(), Rect::zero());
  EXPECT_EQ(Path().tightBounds(), Rect::zero());
}

TEST(PathBounds, ControlBoxHoldsControlPointsTightBoxOnlyTheCurve) {
  // A hump from (0,0) to (10,0) pulled up by controls at height 10: by symmetry it peaks at t = 0.5, at
  // height 3/8 * 10 + 3/8 * 10 = 7.5.
  BezierPath hump;
  hump.move({0, 0});
  hump.curve({10, 0}, {0, 10}, {10, 10});
  expectRectNear(hump.path().controlBounds(), Rect(0, 0, 10, 10));
  expectRectNear(hump.path().tightBounds(), Rect(0, 0, 10, 7.5));
}

TEST(PathBounds, TightBoxFindsSidewaysBulge) {
  // x(t) = -24 t (1 - t) reaches -6 at t = 0.5 while the controls reach -8; y rises from 0 to 10.
  BezierPath bulge;
  bulge.move({0, 0});
  bulge.curve({0, 10}, {-8, 4}, {-8, 6});
  expectRectNear(bulge.path().controlBounds(), Rect(-8, 0, 8, 10));
  expectRectNear(bulge.path().tightBounds(), Rect(-6, 0, 6, 10));
}

TEST(PathBounds, ArcTopLiesOnTheCircleWhileItsControlsOvershoot) {
  // A quarter arc from 45 to 135 degrees on radius 10: it ends at height 10 sin 45 and peaks at 10.
  BezierPath arc;
  arc.appendArc({0, 0}, 10, 45, 135);
  const double side = 10 * std::sqrt(0.5);
  expectRectNear(arc.path().tightBounds(), Rect(-side, side, 2 * side, 10 - side), 1e-9);
  // The controls sit 4/3 tan(22.5 degrees) * 10 along the tangents at the ends, which point up and inwards.
  const double handle = 4.0 / 3.0 * 0.41421356237309503 * 10;
  expectRectNear(arc.path().controlBounds(), Rect(-side, side, 2 * side, handle * std::sqrt(0.5)), 1e-9);
}

TEST(PathBounds, LinesMovesAndClosesCountTheirPoints) {
  BezierPath path = BezierPath::rect(Rect(-5, 2, 10, 4));
  path.move({20, -1});  // a lone move still counts
  expectRectNear(path.path().tightBounds(), Rect(-5, -1, 25, 7));
  expectRectNear(path.path().controlBounds(), Rect(-5, -1, 25, 7));
}

TEST(PathBounds, FullCircleBoundsAreItsSquare) {
  BezierPath circle;
  circle.appendArc({3, 4}, 2, 0, 360);
  expectRectNear(circle.path().tightBounds(), Rect(1, 2, 4, 4));
  expectRectNear(BezierPath::oval(Rect(1, 2, 4, 4)).path().tightBounds(), Rect(1, 2, 4, 4));
}

}  // namespace
}  // namespace platform::test
