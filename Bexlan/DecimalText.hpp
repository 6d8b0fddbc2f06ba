#pragma once

#include <concepts>
#include <cstdint>
#include <optional>
#include <string>

#include "Bexlan/DecimalFormatter.hpp"
#include "Platform/Foundation/Number.hpp"

namespace Bexlan {

// The number types that have a decimal text: signed 64-bit (long and long long), unsigned 64-bit, int32,
// uint32, uint8, double and float.
template <class T>
concept DecimalTextSource = std::same_as<T, std::int64_t> || std::same_as<T, long long> ||
    std::same_as<T, std::uint64_t> || std::same_as<T, std::int32_t> || std::same_as<T, std::uint32_t> ||
    std::same_as<T, std::uint8_t> || std::same_as<T, double> || std::same_as<T, float>;

// DecimalFormatter::string of the value boxed in a number of its own type, with at most
// `maximumFractionDigits` fraction digits (none when left out): decimalText(2.5) is "2", decimalText(1.25, 1)
// is "1.2" (halves to even). Throws std::out_of_range unless the count is 0 to 999.
template <DecimalTextSource T>
std::optional<std::string> decimalText(T value, std::int64_t maximumFractionDigits = 0) {
  return DecimalFormatter::string(platform::Number::of(value), maximumFractionDigits);
}

// The same for a number as it is boxed.
inline std::optional<std::string> decimalText(const platform::Number& number,
                                              std::int64_t maximumFractionDigits) {
  return DecimalFormatter::string(number, maximumFractionDigits);
}

}  // namespace Bexlan
