#include "Platform/Graphics/PathSegment.hpp"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

Point lerp(Point a, Point b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

double distance(Point a, Point b) { return std::hypot(b.x - a.x, b.y - a.y); }

// Splits a cubic at t with de Casteljau's construction; returns the part before t.
std::array<Point, 4> cubicHead(const std::array<Point, 4>& p, double t) {
  const Point ab = lerp(p[0], p[1], t);
  const Point bc = lerp(p[1], p[2], t);
  const Point cd = lerp(p[2], p[3], t);
  const Point abc = lerp(ab, bc, t);
  const Point bcd = lerp(bc, cd, t);
  return {p[0], ab, abc, lerp(abc, bcd, t)};
}

// The part of a cubic after t.
std::array<Point, 4> cubicTail(const std::array<Point, 4>& p, double t) {
  const std::array<Point, 4> reversed{p[3], p[2], p[1], p[0]};
  const std::array<Point, 4> head = cubicHead(reversed, 1 - t);
  return {head[3], head[2], head[1], head[0]};
}

// Speed |B'(t)| of a cubic.
double cubicSpeed(const std::array<Point, 4>& p, double t) {
  const double u = 1 - t;
  const double dx =
      3 * u * u * (p[1].x - p[0].x) + 6 * u * t * (p[2].x - p[1].x) + 3 * t * t * (p[3].x - p[2].x);
  const double dy =
      3 * u * u * (p[1].y - p[0].y) + 6 * u * t * (p[2].y - p[1].y) + 3 * t * t * (p[3].y - p[2].y);
  return std::hypot(dx, dy);
}

// Five-point Gauss-Legendre quadrature of the speed over [a, b].
double gaussLength(const std::array<Point, 4>& p, double a, double b) {
  static constexpr std::array<double, 5> nodes{0.0, -0.5384693101056831, 0.5384693101056831,
                                               -0.9061798459386640, 0.9061798459386640};
  static constexpr std::array<double, 5> weights{0.5688888888888889, 0.4786286704993665, 0.4786286704993665,
                                                 0.2369268850561891, 0.2369268850561891};
  const double half = (b - a) * 0.5;
  const double middle = (a + b) * 0.5;
  double sum = 0;
  for (std::size_t i = 0; i < nodes.size(); ++i) {
    sum += weights[i] * cubicSpeed(p, middle + half * nodes[i]);
  }
  return sum * half;
}

// Arc length over [a, b], halving the interval until the quadrature agrees with its two halves.
double adaptiveLength(const std::array<Point, 4>& p, double a, double b, double whole, int depth) {
  const double middle = (a + b) * 0.5;
  const double left = gaussLength(p, a, middle);
  const double right = gaussLength(p, middle, b);
  if (depth == 0 || std::abs(left + right - whole) <= 1e-9 * whole + 1e-12) {
    return left + right;
  }
  return adaptiveLength(p, a, middle, left, depth - 1) + adaptiveLength(p, middle, b, right, depth - 1);
}

double cubicLength(const std::array<Point, 4>& p, double t) {
  return t <= 0 ? 0 : adaptiveLength(p, 0, t, gaussLength(p, 0, t), 20);
}

// Parameters in (0, 1) where one coordinate of a cubic has a zero derivative.
std::vector<double> extremaParameters(double p0, double p1, double p2, double p3) {
  // B'(t) / 3 = a t^2 + b t + c
  const double a = -p0 + 3 * p1 - 3 * p2 + p3;
  const double b = 2 * (p0 - 2 * p1 + p2);
  const double c = p1 - p0;
  std::vector<double> roots;
  if (std::abs(a) < 1e-12) {
    if (b != 0) {
      roots.push_back(-c / b);
    }
  } else {
    const double discriminant = b * b - 4 * a * c;
    if (discriminant >= 0) {
      const double root = std::sqrt(discriminant);
      roots.push_back((-b + root) / (2 * a));
      roots.push_back((-b - root) / (2 * a));
    }
  }
  std::erase_if(roots, [](double t) { return !(t > 0 && t < 1); });
  return roots;
}

}  // namespace

Point PathSegment::pointAt(double t) const {
  if (kind != Kind::curve) {
    return lerp(start(), end(), t);
  }
  return cubicHead(points, t)[3];
}

double PathSegment::length() const {
  return kind == Kind::curve ? cubicLength(points, 1) : distance(start(), end());
}

double PathSegment::parameterAtLength(double target) const {
  const double total = length();
  if (total <= 0 || target <= 0) {
    return 0;
  }
  if (target >= total) {
    return 1;
  }
  if (kind != Kind::curve) {
    return target / total;
  }
  // Newton's method on the arc length, kept inside a shrinking bracket (bisection when a step leaves it).
  double low = 0;
  double high = 1;
  double t = target / total;
  for (int iteration = 0; iteration < 60; ++iteration) {
    const double error = cubicLength(points, t) - target;
    if (std::abs(error) <= 1e-12 * total) {
      break;
    }
    (error > 0 ? high : low) = t;
    const double speed = cubicSpeed(points, t);
    const double next = speed > 0 ? t - error / speed : low - 1;
    t = next > low && next < high ? next : (low + high) * 0.5;
  }
  return t;
}

PathSegment PathSegment::piece(double t0, double t1) const {
  PathSegment result = *this;
  if (kind != Kind::curve) {
    result.points[0] = pointAt(t0);
    result.points[3] = pointAt(t1);
    return result;
  }
  const std::array<Point, 4> head = cubicHead(points, t1);
  result.points = t1 > 0 ? cubicTail(head, t0 / t1) : head;
  return result;
}

Rect PathSegment::tightBounds() const {
  Rect bounds = Rect(start(), Size{}).unionWith(Rect(end(), Size{}));
  if (kind == Kind::curve) {
    std::vector<double> parameters = extremaParameters(points[0].x, points[1].x, points[2].x, points[3].x);
    const std::vector<double> vertical =
        extremaParameters(points[0].y, points[1].y, points[2].y, points[3].y);
    parameters.insert(parameters.end(), vertical.begin(), vertical.end());
    for (double t : parameters) {
      bounds = bounds.unionWith(Rect(pointAt(t), Size{}));
    }
  }
  return bounds;
}

std::vector<PathSegment> pathSegments(const std::vector<PathElement>& elements) {
  std::vector<PathSegment> segments;
  std::size_t moves = 0;
  Point subpathStart;
  Point current;
  for (const PathElement& element : elements) {
    PathSegment segment;
    segment.subpath = moves == 0 ? 0 : moves - 1;
    segment.points[0] = current;
    switch (element.kind) {
      case PathElementKind::moveTo:
        ++moves;
        subpathStart = current = element.points[0];
        continue;
      case PathElementKind::lineTo:
        segment.kind = PathSegment::Kind::line;
        segment.points[3] = element.points[0];
        break;
      case PathElementKind::curveTo:
        segment.kind = PathSegment::Kind::curve;
        segment.points = {current, element.points[0], element.points[1], element.points[2]};
        break;
      case PathElementKind::closePath:
        segment.kind = PathSegment::Kind::close;
        segment.points[3] = subpathStart;
        break;
    }
    current = segment.end();
    segments.push_back(segment);
  }
  return segments;
}

}  // namespace platform
