#include "Tavrix/Controls/ScaleMode.hpp"

#include <array>
#include <cstddef>

namespace Tavrix {

namespace {

// Indexed by case, in declaration order.
constexpr std::array<double, 19> rawValues{
    0, 1, 2, 3, 4, 5, 10, 15, 20, 25, 30, 35, 40, 45, 50, 100, 1000, 1024.0 * 1024, 1024.0 * 1024 * 1024};

}  // namespace

double rawValue(ScaleMode mode) { return rawValues.at(static_cast<std::size_t>(mode)); }

std::optional<ScaleMode> scaleMode(double rawValue) {
  for (std::size_t index = 0; index < rawValues.size(); ++index) {
    if (rawValues[index] == rawValue) {
      return static_cast<ScaleMode>(index);
    }
  }
  return std::nullopt;
}

}  // namespace Tavrix
