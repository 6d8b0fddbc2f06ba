#pragma once

#include <memory>
#include <vector>

#include "Platform/Graphics/Color.hpp"

namespace Tavrix {

// A closed value interval min...max and the colour of the values inside it. A shared reference (hold it
// through std::shared_ptr); two ranges are equal when their bounds are, whatever their colours. Nothing
// keeps min at or below max.
class ColorRange {
 public:
  ColorRange(double min, double max, platform::ColorRef color)
      : min_(min), max_(max), color_(std::move(color)) {}

  double min() const { return min_; }
  void setMin(double min) { min_ = min; }
  double max() const { return max_; }
  void setMax(double max) { max_ = max; }
  const platform::ColorRef& color() const { return color_; }
  void setColor(platform::ColorRef color) { color_ = std::move(color); }

  friend bool operator==(const ColorRange& a, const ColorRange& b) {
    return a.min_ == b.min_ && a.max_ == b.max_;
  }

 private:
  double min_;
  double max_;
  platform::ColorRef color_;
};

using ColorRanges = std::vector<std::shared_ptr<ColorRange>>;

// The first range, in order, with min <= value <= max (earlier ranges win overlaps); null when none holds
// the value (NaN included).
std::shared_ptr<ColorRange> rangeHolding(const ColorRanges& ranges, double value);

}  // namespace Tavrix
