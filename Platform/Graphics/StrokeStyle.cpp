#include "Platform/Graphics/StrokeStyle.hpp"

#include <algorithm>
#include <cmath>

namespace platform {

bool StrokeStyle::isDashed() const {
  const bool allUsable = std::all_of(dashPattern.begin(), dashPattern.end(),
                                     [](double length) { return std::isfinite(length) && length >= 0; });
  const bool anyPositive =
      std::any_of(dashPattern.begin(), dashPattern.end(), [](double length) { return length > 0; });
  return allUsable && anyPositive;
}

}  // namespace platform
