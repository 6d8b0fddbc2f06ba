#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>

#include "Platform/Foundation/Number.hpp"

namespace Bexlan {

// Numbers with at most a given count of fraction digits, for texts that drop trailing zeros.
class DecimalFormatter {
 public:
  DecimalFormatter() = delete;

  // `number` in the region's current locale without grouping, with at most `maximumFractionDigits`
  // fraction digits, halves rounded to even and no trailing zeros: 1.5 with 2 is "1.5", 2 with 2 is "2",
  // 0.125 with 2 is "0.12". Integers are written with all their digits, 2^64 - 1 included. nullopt when the
  // formatter gives no text. Throws std::out_of_range unless maximumFractionDigits is 0 to 999.
  static std::optional<std::string> string(const platform::Number& number,
                                           std::int64_t maximumFractionDigits);
};

}  // namespace Bexlan
