#include <gtest/gtest.h>

#include <cmath>
#include <numbers>
#include <tuple>
#include <utility>
#include <vector>

#include "Platform/Graphics/BezierPath.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"

namespace platform::test {
namespace {

// Control points of a quarter circle sit this fraction of the radius along the tangents at its ends.
constexpr double kappa = 4.0 / 3.0 * 0.41421356237309503;
constexpr double h = 10 * kappa;  // the handle length at radius 10
constexpr double nan = NAN;

Path arc(double start, double end, bool clockwise) {
  BezierPath path;
  path.appendArc({0, 0}, 10, start, end, clockwise);
  return path.path();
}

Path curve(Point from, Point to, Point control1, Point control2) {
  BezierPath path;
  path.move(from);
  path.curve(to, control1, control2);
  return path.path();
}

// From (0,0) to (10,0), pulled up by controls at height 10: symmetric about x = 5, it peaks at t = 0.5 at
// height 3/8 * 10 + 3/8 * 10 = 7.5.
Path hump() { return curve({0, 0}, {10, 0}, {0, 10}, {10, 10}); }

// An L of two 10-point lines: 20 long, the corner at half the length.
Path corner() {
  BezierPath path;
  path.move({0, 0});
  path.line({10, 0});
  path.line({10, 10});
  return path.path();
}

TEST(BezierPathArc, SweepsFollowTheClockwiseRuleInYUpSpaceAt0_90And360Degrees) {
  // The quarters of the circle of radius 10 about the origin, named by the compass points they join.
  const auto en = curveTo({10, h}, {h, 10}, {0, 10}), nw = curveTo({-h, 10}, {-10, h}, {-10, 0}),
             ws = curveTo({-10, -h}, {-h, -10}, {0, -10}), se = curveTo({h, -10}, {10, -h}, {10, 0});
  const auto es = curveTo({10, -h}, {h, -10}, {0, -10}), sw = curveTo({-h, -10}, {-10, -h}, {-10, 0}),
             wn = curveTo({-10, h}, {-h, 10}, {0, 10}), ne = curveTo({h, 10}, {10, h}, {10, 0});
  const ExpectedElement fromE = moveTo({10, 0}), fromN = moveTo({0, 10});
  const std::tuple<double, double, bool, std::vector<ExpectedElement>> cases[] = {
      {0, 90, false, {fromE, en}},
      {0, 90, true, {fromE, es, sw, wn}},  // clockwise, a quarter angle goes the long way round
      {90, 0, false, {fromN, nw, ws, se}},
      {0, 360, false, {fromE, en, nw, ws, se}},
      {0, 360, true, {fromE}},  // clockwise from 0 to 360 sweeps nothing; the reverse is a full circle
      {360, 0, true, {fromE, es, sw, wn, ne}},
      {0, 0, false, {fromE}},
      {0, 0, true, {fromE}},
  };
  for (const auto& [start, end, clockwise, elements] : cases) {
    SCOPED_TRACE(testing::Message() << start << " to " << end << (clockwise ? " clockwise" : ""));
    expectElements(arc(start, end, clockwise), elements);
  }
  // Any difference of 360 or more is one full circle, not more.
  EXPECT_EQ(arc(0, 450, false).elementCount(), 5u);
}

// Radii that leave no circle are checked by
// Gauge.WithoutAColourShowsNoTrackAndAGradientStartArcAndNothingWhenTooNarrow.
TEST(BezierPathArc, JoinsTheCurrentPointWithALineAndAnEndlessSweepAppendsNothing) {
  BezierPath path;
  path.move({0, 0});
  path.appendArc({20, 0}, 5, 180, 90, true);
  expectElements(path.path(),
                 {moveTo({0, 0}), lineTo({15, 0}), curveTo({15, h / 2}, {20 - h / 2, 5}, {20, 5})});

  BezierPath endless;
  endless.appendArc({0, 0}, 10, 0, INFINITY);
  EXPECT_TRUE(endless.isEmpty());
}

// Capsules of other sizes are checked through the bars of BarPlotters.BarsOfAGapAZeroAndAHalf and the tiles'
// rounded corners in the gallery.
TEST(BezierPathRoundedRect, StandardisesTheRectAndBadRadiiGiveAPlainRectangle) {
  // From the end of the bottom-left corner, counterclockwise, each corner a quarter ellipse; the height
  // allows a radius of 10, the width one of 50.
  for (const auto& [xRadius, rx] : {std::pair{30.0, 30.0}, {500.0, 50.0}}) {
    const double ry = 10, kx = rx * kappa, ky = ry * kappa;
    expectElements(
        BezierPath::roundedRect(Rect(100, 20, -100, -20), xRadius, 30).path(),
        {moveTo({rx, 0}), lineTo({100 - rx, 0}), curveTo({100 - rx + kx, 0}, {100, ry - ky}, {100, ry}),
         lineTo({100, 20 - ry}), curveTo({100, 20 - ry + ky}, {100 - rx + kx, 20}, {100 - rx, 20}),
         lineTo({rx, 20}), curveTo({rx - kx, 20}, {0, 20 - ry + ky}, {0, 20 - ry}), lineTo({0, ry}),
         curveTo({0, ry - ky}, {rx - kx, 0}, {rx, 0}), closePath()});
  }
  for (double radius : {0.0, -5.0, nan}) {
    expectElements(BezierPath::roundedRect(Rect(0, 0, 8, 6), radius, 3).path(),
                   {moveTo({0, 0}), lineTo({8, 0}), lineTo({8, 6}), lineTo({0, 6}), closePath()});
  }
}

TEST(PathBounds, ControlBoxHoldsTheControlPointsAndTheTightBoxOnlyTheCurve) {
  // A quarter arc from 45 to 135 degrees: it ends at height 10 sin 45 and peaks at 10; its controls sit h
  // along the tangents at the ends, which point up and inwards.
  const double side = 10 * std::sqrt(0.5);
  BezierPath box = BezierPath::rect(Rect(-5, 2, 10, 4));
  box.move({20, -1});  // a lone move still counts
  const std::tuple<Path, Rect, Rect> cases[] = {
      {Path(), Rect::zero(), Rect::zero()},
      {hump(), Rect(0, 0, 10, 10), Rect(0, 0, 10, 7.5)},
      // x(t) = -24 t (1 - t) reaches -6 at t = 0.5 while the controls reach -8; y rises from 0 to 10.
      {curve({0, 0}, {0, 10}, {-8, 4}, {-8, 6}), Rect(-8, 0, 8, 10), Rect(-6, 0, 6, 10)},
      {arc(45, 135, false), Rect(-side, side, 2 * side, h * std::sqrt(0.5)),
       Rect(-side, side, 2 * side, 10 - side)},
      {box.path(), Rect(-5, -1, 25, 7), Rect(-5, -1, 25, 7)},
      {BezierPath::oval(Rect(1, 2, 4, 4)).path(), Rect(1, 2, 4, 4), Rect(1, 2, 4, 4)},
  };
  for (const auto& [path, control, tight] : cases) {
    SCOPED_TRACE(testing::Message() << "expected tight width " << tight.size.width);
    expectRectNear(path.controlBounds(), control);
    expectRectNear(path.tightBounds(), tight);
  }
}

TEST(PathTrim, FractionsOfTheLengthAreClampedAndEmptyRangesGiveNothing) {
  const std::tuple<double, double, std::vector<ExpectedElement>> cases[] = {
      {0.25, 0.75, {moveTo({5, 0}), lineTo({10, 0}), lineTo({10, 5})}},
      {-1, 0.25, {moveTo({0, 0}), lineTo({5, 0})}},
      {0.75, 7, {moveTo({10, 5}), lineTo({10, 10})}},
      {nan, 0.5, {moveTo({0, 0}), lineTo({10, 0})}},
      {0, 0, {}},
      {0.8, 0.2, {}},
      {0.5, nan, {}},
  };
  for (const auto& [from, to, elements] : cases) {
    SCOPED_TRACE(testing::Message() << from << " to " << to);
    expectElements(corner().trimmed(from, to), elements);
  }
  EXPECT_EQ(corner().trimmed(0, 1), corner());
  EXPECT_EQ(corner().trimmed(-0.5, 1.5), corner());
  EXPECT_TRUE(Path().trimmed(0.2, 0.8).isEmpty());
}

TEST(PathTrim, ClosingSegmentsSubpathsAndCurvesAreCutWhereTheFractionFalls) {
  // The square's outline is 40 long; 7/8 of it ends halfway down the closing edge, which becomes a line.
  const Path square = BezierPath::rect(Rect(0, 0, 10, 10)).path();
  EXPECT_EQ(square.trimmed(0, 1), square);
  expectElements(square.trimmed(0, 0.875),
                 {moveTo({0, 0}), lineTo({10, 0}), lineTo({10, 10}), lineTo({0, 10}), lineTo({0, 5})});
  expectElements(square.trimmed(0.5, 1), {moveTo({10, 10}), lineTo({0, 10}), lineTo({0, 0})});

  BezierPath two;
  two.move({0, 0});
  two.line({10, 0});
  two.appendRect(Rect(0, 5, 10, 10));  // 40 more: 50 in all
  expectElements(two.path().trimmed(0.1, 0.4),
                 {moveTo({5, 0}), lineTo({10, 0}), moveTo({0, 5}), lineTo({10, 5})});
  // A closed subpath wholly inside the range stays closed.
  expectElements(two.path().trimmed(0.1, 1),
                 {moveTo({5, 0}), lineTo({10, 0}), moveTo({0, 5}), lineTo({10, 5}), lineTo({10, 15}),
                  lineTo({0, 15}), closePath()});

  // Half the hump's length is reached at t = 0.5, the point (5, 7.5); de Casteljau's construction gives the
  // first half's controls (0, 5) and (2.5, 7.5).
  expectElements(hump().trimmed(0, 0.5), {moveTo({0, 0}), curveTo({0, 5}, {2.5, 7.5}, {5, 7.5})});
  expectElements(hump().trimmed(0.5, 1), {moveTo({5, 7.5}), curveTo({7.5, 7.5}, {10, 5}, {10, 0})});

  // Circle halves meet opposite the start, a quarter ends at the top; the four-curve circle is within 0.03 %
  // of the true circumference.
  const Path circle = arc(0, 360, false);
  const Path half = circle.trimmed(0, 0.5);
  ASSERT_EQ(half.elementCount(), 3u);
  EXPECT_NEAR(half.element(2).points[2].x, -10, 1e-9);
  EXPECT_NEAR(half.element(2).points[2].y, 0, 1e-9);
  const Path quarter = circle.trimmed(0, 0.25);
  EXPECT_NEAR(quarter.element(1).points[2].x, 0, 1e-9);
  EXPECT_NEAR(quarter.element(1).points[2].y, 10, 1e-9);
  EXPECT_NEAR(circle.length(), 2 * std::numbers::pi * 10, 2 * std::numbers::pi * 10 * 3e-4);
}

}  // namespace
}  // namespace platform::test
