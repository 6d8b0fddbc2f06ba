#include "Platform/Graphics/Path.hpp"

#include <algorithm>
#include <cmath>
#include <optional>
#include <stdexcept>
#include <string>

#include "Platform/Graphics/PathSegment.hpp"

namespace platform {

namespace {

double clampFraction(double fraction) { return std::isnan(fraction) ? 0 : std::clamp(fraction, 0.0, 1.0); }

Point lerp(Point a, Point b, double t) { return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t}; }

void include(std::optional<Rect>& bounds, const Rect& rect) {
  bounds = bounds ? bounds->unionWith(rect) : rect;
}

// Collects the elements of a trimmed outline.
class TrimmedOutline {
 public:
  void move(Point point) { elements_.push_back({PathElementKind::moveTo, {point}}); }
  void close() { elements_.push_back({PathElementKind::closePath, {}}); }
  void add(const PathSegment& segment) {
    if (segment.kind == PathSegment::Kind::curve) {
      elements_.push_back(
          {PathElementKind::curveTo, {segment.points[1], segment.points[2], segment.points[3]}});
    } else {
      elements_.push_back({PathElementKind::lineTo, {segment.end()}});
    }
  }
  std::vector<PathElement> take() { return std::move(elements_); }

 private:
  std::vector<PathElement> elements_;
};

}  // namespace

const PathElement& Path::element(std::size_t index) const {
  if (index >= elements_.size()) {
    throw std::out_of_range("Path::element: index " + std::to_string(index) + " is past the " +
                            std::to_string(elements_.size()) + " elements");
  }
  return elements_[index];
}

Rect Path::controlBounds() const {
  std::optional<Rect> bounds;
  for (const PathElement& element : elements_) {
    for (std::size_t i = 0; i < pointCount(element.kind); ++i) {
      include(bounds, Rect(element.points[i], Size{}));
    }
  }
  return bounds.value_or(Rect::zero());
}

Rect Path::tightBounds() const {
  std::optional<Rect> bounds;
  for (const PathElement& element : elements_) {
    if (element.kind == PathElementKind::moveTo) {
      include(bounds, Rect(element.points[0], Size{}));
    }
  }
  for (const PathSegment& segment : pathSegments(elements_)) {
    include(bounds, segment.tightBounds());
  }
  return bounds.value_or(Rect::zero());
}

double Path::length() const {
  double total = 0;
  for (const PathSegment& segment : pathSegments(elements_)) {
    total += segment.length();
  }
  return total;
}

Path Path::trimmed(double startFraction, double endFraction) const {
  const double startAt = clampFraction(startFraction);
  const double endAt = clampFraction(endFraction);
  if (startAt <= 0 && endAt >= 1) {
    return *this;
  }
  const std::vector<PathSegment> segments = pathSegments(elements_);
  std::vector<double> lengths;
  double total = 0;
  for (const PathSegment& segment : segments) {
    lengths.push_back(segment.length());
    total += lengths.back();
  }
  if (startAt >= endAt || total <= 0) {
    return Path();
  }
  const double from = startAt * total;
  const double to = endAt * total;

  TrimmedOutline outline;
  double reached = 0;           // distance along the outline at the start of the current segment
  double subpathStartedAt = 0;  // distance at the start of the current subpath
  bool continuous = false;      // the outline so far ends exactly at the current segment's start
  for (std::size_t i = 0; i < segments.size(); ++i) {
    const PathSegment& segment = segments[i];
    const double length = lengths[i];
    if (i == 0 || segment.subpath != segments[i - 1].subpath) {
      subpathStartedAt = reached;
      continuous = false;
    }
    const bool coversEnd = to >= reached + length;
    if (segment.kind == PathSegment::Kind::close && from <= subpathStartedAt && coversEnd && continuous) {
      outline.close();
      continuous = false;
    } else if (from < reached + length && to > reached && length > 0) {
      const double t0 = from > reached ? segment.parameterAtLength(from - reached) : 0;
      const double t1 = coversEnd ? 1 : segment.parameterAtLength(to - reached);
      if (!continuous || t0 > 0) {
        outline.move(segment.pointAt(t0));
      }
      outline.add(segment.piece(t0, t1));
      continuous = coversEnd;
    } else {
      // A zero-length segment inside the range keeps the outline continuous; anything else breaks it.
      continuous = continuous && length == 0 && reached <= to;
    }
    reached += length;
  }
  return Path(outline.take());
}

bool Path::hasSameShape(const Path& other) const {
  return std::equal(elements_.begin(), elements_.end(), other.elements_.begin(), other.elements_.end(),
                    [](const PathElement& a, const PathElement& b) { return a.kind == b.kind; });
}

Path Path::interpolate(const Path& from, const Path& to, double fraction) {
  if (!from.hasSameShape(to)) {
    return fraction < 1 ? from : to;
  }
  std::vector<PathElement> blended = from.elements_;
  for (std::size_t i = 0; i < blended.size(); ++i) {
    for (std::size_t j = 0; j < pointCount(blended[i].kind); ++j) {
      blended[i].points[j] = lerp(from.elements_[i].points[j], to.elements_[i].points[j], fraction);
    }
  }
  return Path(std::move(blended));
}

}  // namespace platform
