#include "Platform/Graphics/AffineTransform.hpp"

#include <array>
#include <cmath>

namespace platform {

AffineTransform AffineTransform::translation(double dx, double dy) { return {1, 0, 0, 1, dx, dy}; }

AffineTransform AffineTransform::scale(double sx, double sy) { return {sx, 0, 0, sy, 0, 0}; }

AffineTransform AffineTransform::rotation(double radians) {
  const double cosine = std::cos(radians);
  const double sine = std::sin(radians);
  return {cosine, sine, -sine, cosine, 0, 0};
}

bool AffineTransform::isIdentity() const { return *this == identity(); }

AffineTransform AffineTransform::concatenating(const AffineTransform& other) const {
  return {a * other.a + b * other.c,
          a * other.b + b * other.d,
          c * other.a + d * other.c,
          c * other.b + d * other.d,
          tx * other.a + ty * other.c + other.tx,
          tx * other.b + ty * other.d + other.ty};
}

AffineTransform AffineTransform::rotatedBy(double radians) const {
  return rotation(radians).concatenating(*this);
}

std::optional<AffineTransform> AffineTransform::inverted() const {
  const double determinant = a * d - b * c;
  if (determinant == 0 || !std::isfinite(determinant)) {
    return std::nullopt;
  }
  return AffineTransform{d / determinant,
                         -b / determinant,
                         -c / determinant,
                         a / determinant,
                         (c * ty - d * tx) / determinant,
                         (b * tx - a * ty) / determinant};
}

Point AffineTransform::apply(Point point) const {
  return {a * point.x + c * point.y + tx, b * point.x + d * point.y + ty};
}

Size AffineTransform::apply(Size size) const {
  return {a * size.width + c * size.height, b * size.width + d * size.height};
}

Rect AffineTransform::apply(const Rect& rect) const {
  const std::array<Point, 4> corners{
      apply(Point{rect.minX(), rect.minY()}), apply(Point{rect.maxX(), rect.minY()}),
      apply(Point{rect.minX(), rect.maxY()}), apply(Point{rect.maxX(), rect.maxY()})};
  Rect bounds(corners[0], Size{});
  for (const Point& corner : corners) {
    bounds = bounds.unionWith(Rect(corner, Size{}));
  }
  return bounds;
}

}  // namespace platform
