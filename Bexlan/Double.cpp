#include "Bexlan/Double.hpp"

#include <cmath>
#include <limits>

#include "Bexlan/Formatted.hpp"

namespace Bexlan::Double {

std::string formatted1(double value) { return formatted(value, 1); }
std::string formatted2(double value) { return formatted(value, 2); }
std::string formatted3(double value) { return formatted(value, 3); }
std::string formatted4(double value) { return formatted(value, 4); }
std::string formatted5(double value) { return formatted(value, 5); }

double rounded(double value, std::int64_t places) {
  const double scale = ::exp10(static_cast<double>(places));
  return std::round(value * scale) / scale;
}

bool isNotFinite(double value) { return !std::isfinite(value); }

std::uint32_t uint32Value(double value) {
  constexpr double largest = std::numeric_limits<std::uint32_t>::max();
  return value >= 0 && value <= largest ? static_cast<std::uint32_t>(value) : 0;
}

Date date(double seconds) { return Date(seconds); }

}  // namespace Bexlan::Double
