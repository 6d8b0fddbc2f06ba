#include "Tavrix/Graph/ColorRange.hpp"

namespace Tavrix {

std::shared_ptr<ColorRange> rangeHolding(const ColorRanges& ranges, double value) {
  for (const std::shared_ptr<ColorRange>& range : ranges) {
    if (range->min() <= value && value <= range->max()) {
      return range;
    }
  }
  return nullptr;
}

}  // namespace Tavrix
