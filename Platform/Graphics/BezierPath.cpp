#include "Platform/Graphics/BezierPath.hpp"

#include <algorithm>
#include <cmath>
#include <numbers>
#include <stdexcept>
#include <vector>

namespace platform {

namespace {

// Distance of a quarter ellipse's control points from its ends, as a fraction of the radius.
constexpr double kappa = 0.5522847498307936;

double radians(double degrees) { return degrees * std::numbers::pi / 180; }

// Cosine and sine of an angle in degrees, exact at multiples of 90 so that arcs end on exact points.
Point unitVector(double degrees) {
  const double turn = std::fmod(degrees, 360.0);
  if (std::fmod(turn, 90.0) == 0) {
    const int quadrant = (static_cast<int>(turn / 90) + 4) % 4;
    static constexpr Point axes[] = {{1, 0}, {0, 1}, {-1, 0}, {0, -1}};
    return axes[quadrant];
  }
  return {std::cos(radians(degrees)), std::sin(radians(degrees))};
}

Point onCircle(Point center, double radius, double degrees) {
  const Point unit = unitVector(degrees);
  return {center.x + radius * unit.x, center.y + radius * unit.y};
}

// The sweep of an arc in its own direction, in degrees.
double arcSweep(double difference) {
  if (difference >= 360) {
    return 360;
  }
  const double reduced = std::fmod(difference, 360.0);
  const double sweep = reduced < 0 ? reduced + 360 : reduced;
  return sweep >= 360 ? 0 : sweep;
}

double clampedRadius(double radius, double limit) { return radius > 0 ? std::min(radius, limit) : 0; }

}  // namespace

BezierPath BezierPath::rect(const Rect& rect) {
  BezierPath path;
  path.appendRect(rect);
  return path;
}

BezierPath BezierPath::roundedRect(const Rect& rect, double xRadius, double yRadius) {
  BezierPath path;
  path.appendRoundedRect(rect, xRadius, yRadius);
  return path;
}

BezierPath BezierPath::oval(const Rect& rect) {
  BezierPath path;
  path.appendOval(rect);
  return path;
}

void BezierPath::push(PathElementKind kind, std::array<Point, 3> points) {
  path_.elements_.push_back({kind, points});
}

void BezierPath::move(Point point) {
  push(PathElementKind::moveTo, {point});
  current_ = subpathStart_ = point;
}

void BezierPath::line(Point point) {
  if (!current_) {
    throw std::logic_error("BezierPath::line: the path has no current point; move first");
  }
  reopenSubpath();
  push(PathElementKind::lineTo, {point});
  current_ = point;
}

void BezierPath::curve(Point to, Point controlPoint1, Point controlPoint2) {
  if (!current_) {
    throw std::logic_error("BezierPath::curve: the path has no current point; move first");
  }
  reopenSubpath();
  push(PathElementKind::curveTo, {controlPoint1, controlPoint2, to});
  current_ = to;
}

void BezierPath::close() {
  if (!current_ || path_.elements_.back().kind == PathElementKind::closePath) {
    return;
  }
  push(PathElementKind::closePath, {});
  current_ = subpathStart_;
}

void BezierPath::reopenSubpath() {
  if (!path_.isEmpty() && path_.elements_.back().kind == PathElementKind::closePath) {
    push(PathElementKind::moveTo, {subpathStart_});
  }
}

void BezierPath::append(const BezierPath& other) {
  if (other.isEmpty()) {
    return;
  }
  // A copy, so that appending a path to itself reads nothing that the insertion moves.
  const std::vector<PathElement> added = other.path_.elements_;
  path_.elements_.insert(path_.elements_.end(), added.begin(), added.end());
  current_ = other.current_;
  subpathStart_ = other.subpathStart_;
}

void BezierPath::appendRect(const Rect& rect) {
  move({rect.minX(), rect.minY()});
  line({rect.maxX(), rect.minY()});
  line({rect.maxX(), rect.maxY()});
  line({rect.minX(), rect.maxY()});
  close();
}

void BezierPath::appendRoundedRect(const Rect& rect, double xRadius, double yRadius) {
  const double rx = clampedRadius(xRadius, rect.width() * 0.5);
  const double ry = clampedRadius(yRadius, rect.height() * 0.5);
  if (rx <= 0 || ry <= 0) {
    appendRect(rect);
    return;
  }
  const double left = rect.minX();
  const double right = rect.maxX();
  const double bottom = rect.minY();
  const double top = rect.maxY();
  const double cx = rx * kappa;
  const double cy = ry * kappa;
  move({left + rx, bottom});
  line({right - rx, bottom});
  curve({right, bottom + ry}, {right - rx + cx, bottom}, {right, bottom + ry - cy});
  line({right, top - ry});
  curve({right - rx, top}, {right, top - ry + cy}, {right - rx + cx, top});
  line({left + rx, top});
  curve({left, top - ry}, {left + rx - cx, top}, {left, top - ry + cy});
  line({left, bottom + ry});
  curve({left + rx, bottom}, {left, bottom + ry - cy}, {left + rx - cx, bottom});
  close();
}

void BezierPath::appendOval(const Rect& rect) {
  const double rx = rect.width() * 0.5;
  const double ry = rect.height() * 0.5;
  const double cx = rx * kappa;
  const double cy = ry * kappa;
  const Point middle{rect.midX(), rect.midY()};
  const double left = rect.minX();
  const double right = rect.maxX();
  const double bottom = rect.minY();
  const double top = rect.maxY();
  move({right, middle.y});
  curve({middle.x, top}, {right, middle.y + cy}, {middle.x + cx, top});
  curve({left, middle.y}, {middle.x - cx, top}, {left, middle.y + cy});
  curve({middle.x, bottom}, {left, middle.y - cy}, {middle.x - cx, bottom});
  curve({right, middle.y}, {middle.x + cx, bottom}, {right, middle.y - cy});
  close();
}

void BezierPath::appendArc(Point center, double radius, double startAngle, double endAngle, bool clockwise) {
  const bool finite = std::isfinite(center.x) && std::isfinite(center.y) && std::isfinite(radius) &&
                      std::isfinite(startAngle) && std::isfinite(endAngle);
  if (!finite || radius <= 0) {
    return;
  }
  const double sweep = arcSweep(clockwise ? startAngle - endAngle : endAngle - startAngle);
  const Point start = onCircle(center, radius, startAngle);
  if (current_) {
    line(start);
  } else {
    move(start);
  }
  const int pieces = static_cast<int>(std::ceil(sweep / 90));
  if (pieces == 0) {
    return;
  }
  const double step = (clockwise ? -sweep : sweep) / pieces;
  // Control points sit on the tangents at distance 4/3 tan(step / 4) times the radius.
  const double handle = 4.0 / 3.0 * std::tan(radians(step) / 4) * radius;
  for (int piece = 0; piece < pieces; ++piece) {
    const double from = startAngle + step * piece;
    const double to = piece + 1 == pieces ? startAngle + (clockwise ? -sweep : sweep) : from + step;
    const Point a = onCircle(center, radius, from);
    const Point b = onCircle(center, radius, to);
    const Point tangentA = unitVector(from + 90);
    const Point tangentB = unitVector(to + 90);
    curve(b, {a.x + handle * tangentA.x, a.y + handle * tangentA.y},
          {b.x - handle * tangentB.x, b.y - handle * tangentB.y});
  }
}

}  // namespace platform
