#include "Platform/Graphics/Geometry.hpp"

#include <algorithm>
#include <cmath>

namespace platform {

double Rect::minX() const { return std::min(origin.x, origin.x + size.width); }
double Rect::midX() const { return origin.x + size.width * 0.5; }
double Rect::maxX() const { return std::max(origin.x, origin.x + size.width); }
double Rect::minY() const { return std::min(origin.y, origin.y + size.height); }
double Rect::midY() const { return origin.y + size.height * 0.5; }
double Rect::maxY() const { return std::max(origin.y, origin.y + size.height); }
double Rect::width() const { return std::abs(size.width); }
double Rect::height() const { return std::abs(size.height); }
Point Rect::center() const { return {midX(), midY()}; }

bool Rect::isEmpty() const { return size.width == 0 || size.height == 0; }

Rect Rect::standardized() const { return Rect(minX(), minY(), width(), height()); }

bool Rect::contains(Point point) const {
  return minX() <= point.x && point.x < maxX() && minY() <= point.y && point.y < maxY();
}

bool Rect::intersects(const Rect& other) const {
  return std::max(minX(), other.minX()) < std::min(maxX(), other.maxX()) &&
         std::max(minY(), other.minY()) < std::min(maxY(), other.maxY());
}

std::optional<Rect> Rect::intersection(const Rect& other) const {
  if (!intersects(other)) {
    return std::nullopt;
  }
  const double left = std::max(minX(), other.minX());
  const double bottom = std::max(minY(), other.minY());
  return Rect(left, bottom, std::min(maxX(), other.maxX()) - left, std::min(maxY(), other.maxY()) - bottom);
}

Rect Rect::unionWith(const Rect& other) const {
  const double left = std::min(minX(), other.minX());
  const double bottom = std::min(minY(), other.minY());
  return Rect(left, bottom, std::max(maxX(), other.maxX()) - left, std::max(maxY(), other.maxY()) - bottom);
}

Rect Rect::insetBy(double dx, double dy) const {
  // Moves one axis in by delta on both sides, or collapses it at its middle when it is too short.
  const auto inset = [](double& start, double& length, double delta) {
    if (length < 2 * delta) {
      start += length * 0.5;
      length = 0;
    } else {
      start += delta;
      length -= 2 * delta;
    }
  };
  Rect result = standardized();
  inset(result.origin.x, result.size.width, dx);
  inset(result.origin.y, result.size.height, dy);
  return result;
}

}  // namespace platform
