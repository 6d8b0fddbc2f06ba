#pragma once

#include <optional>

namespace platform {

// A location in a two-dimensional, y-up coordinate space.
struct Point {
  double x = 0;
  double y = 0;

  friend bool operator==(const Point&, const Point&) = default;
};

// A width and a height. Either may be negative; a Rect standardises it where that matters.
struct Size {
  double width = 0;
  double height = 0;

  friend bool operator==(const Size&, const Size&) = default;
};

// An origin and a size. The min/mid/max accessors, width and height read the standardised rectangle (a
// negative width or height extends the rectangle to the left of or below its origin).
struct Rect {
  Point origin;
  Size size;

  constexpr Rect() = default;
  constexpr Rect(Point o, Size s) : origin(o), size(s) {}
  constexpr Rect(double x, double y, double width, double height) : origin{x, y}, size{width, height} {}

  static constexpr Rect zero() { return Rect(); }

  double minX() const;
  double midX() const;
  double maxX() const;
  double minY() const;
  double midY() const;
  double maxY() const;
  double width() const;
  double height() const;
  // (midX, midY).
  Point center() const;

  // True when the width or the height is zero.
  bool isEmpty() const;
  // The same rectangle with a non-negative width and height.
  Rect standardized() const;

  // Half-open: minX <= x < maxX and minY <= y < maxY, so an empty rectangle contains no point.
  bool contains(Point point) const;
  // True only for an overlap of positive area: rectangles that merely touch, and empty rectangles, never
  // intersect.
  bool intersects(const Rect& other) const;
  // The overlap of the two rectangles, or nothing when they do not intersect (see intersects).
  std::optional<Rect> intersection(const Rect& other) const;
  // The smallest rectangle that holds both rectangles.
  Rect unionWith(const Rect& other) const;

  // The standardised rectangle moved in by dx on the left and right and dy at the bottom and top (negative
  // values grow it). A side that would become negative collapses to zero at the middle.
  Rect insetBy(double dx, double dy) const;

  friend bool operator==(const Rect&, const Rect&) = default;
};

}  // namespace platform
