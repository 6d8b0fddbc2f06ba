#pragma once

#include <cstddef>
#include <stdexcept>
#include <utility>
#include <vector>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/PathElement.hpp"

namespace platform {

// An immutable outline: what a shape layer holds and what path animations interpolate. Made from a
// BezierPath (BezierPath::path()), so every subpath starts with a moveTo element. A value: copies are
// independent and compare equal element by element.
class Path {
 public:
  // The empty path.
  Path() = default;

  const std::vector<PathElement>& elements() const { return elements_; }
  std::size_t elementCount() const { return elements_.size(); }
  // Throws std::out_of_range for an index at or past elementCount().
  const PathElement& element(std::size_t index) const;
  bool isEmpty() const { return elements_.empty(); }

  // The smallest rectangle holding every point of every element, control points included. The zero
  // rectangle for an empty path.
  Rect controlBounds() const;
  // The smallest rectangle holding the outline itself: on-path points (moveTo points included) and the
  // extremes of the curves, without their control points. The zero rectangle for an empty path.
  Rect tightBounds() const;

  // The length of the outline as stroked, closing segments included.
  double length() const;

  // The part of the outline between two fractions of its length, measured across all subpaths, as
  // strokeStart and strokeEnd show it. Fractions are clamped to 0...1 and NaN counts as 0. The whole range
  // returns the path unchanged; an empty range (start at or after end) or a path of zero length returns the
  // empty path. Cut curves stay cubic; a cut closing segment becomes a line, and a closed subpath that lies
  // wholly inside the range stays closed.
  Path trimmed(double startFraction, double endFraction) const;

  // True when both paths have the same number of elements and the same kind at every index.
  bool hasSameShape(const Path& other) const;
  // Point-by-point blend of two paths of the same shape (fraction 0 gives from, 1 gives to). Paths of
  // different shapes do not blend: the result is from below fraction 1 and to from 1 on.
  static Path interpolate(const Path& from, const Path& to, double fraction);

  friend bool operator==(const Path&, const Path&) = default;

 private:
  friend class BezierPath;
  explicit Path(std::vector<PathElement> elements) : elements_(std::move(elements)) {}

  std::vector<PathElement> elements_;
};

}  // namespace platform
