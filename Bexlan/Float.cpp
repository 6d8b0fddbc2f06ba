#include "Bexlan/Float.hpp"

#include <cmath>

#include "Bexlan/Double.hpp"
#include "Bexlan/Formatted.hpp"
#include "Platform/Foundation/Number.hpp"

namespace Bexlan::Float {

std::string formatted(float value, std::int64_t fractionDigits) {
  return Bexlan::formatted(static_cast<double>(value), fractionDigits);
}

std::string formatted1(float value) { return formatted(value, 1); }
std::string formatted2(float value) { return formatted(value, 2); }
std::string formatted3(float value) { return formatted(value, 3); }
std::string formatted4(float value) { return formatted(value, 4); }
std::string formatted5(float value) { return formatted(value, 5); }

float rounded(float value, std::int64_t places) {
  // Number's narrowing is defined for every double (a plain cast beyond float's range is not).
  return platform::Number::of(Double::rounded(value, places)).floatValue();
}

bool isNotFinite(float value) { return !std::isfinite(value); }

}  // namespace Bexlan::Float
