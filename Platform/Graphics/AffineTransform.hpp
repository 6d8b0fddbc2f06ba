#pragma once

#include <optional>

#include "Platform/Graphics/Geometry.hpp"

namespace platform {

// A 2-D affine transform, mapping (x, y) to (a x + c y + tx, b x + d y + ty). Angles are in radians,
// counterclockwise positive in a y-up space.
struct AffineTransform {
  double a = 1;
  double b = 0;
  double c = 0;
  double d = 1;
  double tx = 0;
  double ty = 0;

  static constexpr AffineTransform identity() { return AffineTransform(); }
  static AffineTransform translation(double dx, double dy);
  static AffineTransform scale(double sx, double sy);
  static AffineTransform rotation(double radians);

  bool isIdentity() const;

  // This transform followed by other: concatenating(other).apply(p) == other.apply(apply(p)).
  AffineTransform concatenating(const AffineTransform& other) const;
  // A rotation applied before this transform.
  AffineTransform rotatedBy(double radians) const;
  // The inverse, or nothing when the transform is singular (its determinant is zero or not finite).
  std::optional<AffineTransform> inverted() const;

  Point apply(Point point) const;
  // Sizes are distances: the translation does not apply.
  Size apply(Size size) const;
  // The smallest rectangle that holds the four transformed corners.
  Rect apply(const Rect& rect) const;

  friend bool operator==(const AffineTransform&, const AffineTransform&) = default;
};

}  // namespace platform
