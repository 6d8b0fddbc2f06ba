#pragma once

#include <gtest/gtest.h>

#include <cstddef>
#include <vector>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Path.hpp"
#include "Platform/Graphics/PathElement.hpp"

namespace platform::test {

// One element as a test expects it: its kind and the points it uses (none for a close).
struct ExpectedElement {
  PathElementKind kind;
  std::vector<Point> points;
};

inline ExpectedElement moveTo(Point p) { return {PathElementKind::moveTo, {p}}; }
inline ExpectedElement lineTo(Point p) { return {PathElementKind::lineTo, {p}}; }
inline ExpectedElement curveTo(Point cp1, Point cp2, Point end) {
  return {PathElementKind::curveTo, {cp1, cp2, end}};
}
inline ExpectedElement closePath() { return {PathElementKind::closePath, {}}; }

inline void expectElements(const Path& path, const std::vector<ExpectedElement>& expected,
                           double tolerance = 1e-9) {
  ASSERT_EQ(path.elementCount(), expected.size());
  for (std::size_t i = 0; i < expected.size(); ++i) {
    const PathElement& element = path.element(i);
    EXPECT_EQ(element.kind, expected[i].kind) << "element " << i;
    for (std::size_t j = 0; j < expected[i].points.size(); ++j) {
      EXPECT_NEAR(element.points[j].x, expected[i].points[j].x, tolerance)
          << "element " << i << " point " << j;
      EXPECT_NEAR(element.points[j].y, expected[i].points[j].y, tolerance)
          << "element " << i << " point " << j;
    }
  }
}

inline void expectRectNear(const Rect& actual, const Rect& expected, double tolerance = 1e-9) {
  EXPECT_NEAR(actual.origin.x, expected.origin.x, tolerance);
  EXPECT_NEAR(actual.origin.y, expected.origin.y, tolerance);
  EXPECT_NEAR(actual.size.width, expected.size.width, tolerance);
  EXPECT_NEAR(actual.size.height, expected.size.height, tolerance);
}

}  // namespace platform::test
