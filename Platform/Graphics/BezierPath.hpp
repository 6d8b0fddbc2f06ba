#pragma once

#include <array>
#include <cstddef>
#include <optional>
#include <stdexcept>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Path.hpp"
#include "Platform/Graphics/PathElement.hpp"
#include "Platform/Graphics/StrokeStyle.hpp"

namespace platform {

// A mutable outline built from moves, lines, cubic curves and closes, with the stroke style it is drawn with.
// Coordinates are y-up; angles are in degrees, counterclockwise positive. Every subpath starts with a
// moveTo: a line or curve added right after a close first repeats the move to the closed subpath's start,
// which is where the current point is after a close.
class BezierPath {
 public:
  BezierPath() = default;
  static BezierPath rect(const Rect& rect);
  static BezierPath roundedRect(const Rect& rect, double xRadius, double yRadius);
  static BezierPath oval(const Rect& rect);

  void move(Point point);
  // line and curve throw std::logic_error when there is no current point (nothing to draw from).
  void line(Point point);
  void curve(Point to, Point controlPoint1, Point controlPoint2);
  // Closes the current subpath; does nothing when there is none or it is already closed.
  void close();
  void append(const BezierPath& other);

  // A closed rectangle: move to (minX, minY), lines to (maxX, minY), (maxX, maxY), (minX, maxY), close.
  void appendRect(const Rect& rect);
  // A closed rectangle with elliptical corners. Each radius is clamped to half the width or height; when
  // either radius is zero or less (or NaN), a plain rectangle.
  void appendRoundedRect(const Rect& rect, double xRadius, double yRadius);
  // The ellipse inscribed in the rectangle: four quarter curves counterclockwise from (maxX, midY), closed.
  void appendOval(const Rect& rect);
  // A circular arc from startAngle to endAngle (degrees), counterclockwise unless clockwise is set, in cubic
  // curves of at most 90 degrees each. A line joins the current point to the arc's start; without a current
  // point the arc starts with a move. The sweep is the angle difference in the arc's direction (end - start
  // counterclockwise, start - end clockwise) reduced into [0, 360), except that a difference of 360 or more
  // sweeps the full circle: counterclockwise 0 to 360 is a circle, clockwise 0 to 360 sweeps nothing.
  // A radius of zero or less, or any value that is not finite, appends nothing.
  void appendArc(Point center, double radius, double startAngle, double endAngle, bool clockwise = false);

  std::size_t elementCount() const { return path_.elementCount(); }
  // Throws std::out_of_range for an index at or past elementCount().
  const PathElement& element(std::size_t index) const { return path_.element(index); }
  bool isEmpty() const { return path_.isEmpty(); }
  std::optional<Point> currentPoint() const { return current_; }

  // The outline so far; copy it to keep it (a Path is a value), as layers do.
  const Path& path() const { return path_; }

  const StrokeStyle& strokeStyle() const { return strokeStyle_; }
  StrokeStyle& strokeStyle() { return strokeStyle_; }

 private:
  // Repeats the move to the subpath start after a close, so that the next element has a subpath to join.
  void reopenSubpath();
  void push(PathElementKind kind, std::array<Point, 3> points);

  Path path_;
  std::optional<Point> current_;
  Point subpathStart_;
  StrokeStyle strokeStyle_;
};

}  // namespace platform
