#include "Bexlan/Formatted.hpp"

#include <stdexcept>
#include <string>

#include "Bexlan/String.hpp"
#include "Platform/Foundation/NumberFormatter.hpp"

namespace Bexlan {

std::string formatted(double value, std::int64_t fractionDigits) {
  const int digits = fractionDigitCount(fractionDigits);
  platform::NumberFormatter formatter;
  formatter.setMinimumFractionDigits(digits);
  formatter.setMaximumFractionDigits(digits);
  formatter.setRoundingMode(platform::NumberFormatter::RoundingMode::down);
  return formatter.string(value).value_or(String::dash());
}

int fractionDigitCount(std::int64_t count) {
  if (count < 0 || count > platform::NumberFormatter::maximumDigitCount) {
    throw std::out_of_range("fraction digits must be 0 to " +
                            std::to_string(platform::NumberFormatter::maximumDigitCount) + ", got " +
                            std::to_string(count));
  }
  return static_cast<int>(count);
}

}  // namespace Bexlan
