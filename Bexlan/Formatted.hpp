#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

namespace Bexlan {

// `value` with exactly `fractionDigits` fraction digits, cut toward zero, in the region's current locale
// and without grouping: formatted(2.999, 2) is "2.99" in en_US and "2,99" in de_DE, formatted(-1.25, 1)
// is "-1.2", formatted(7.9, 0) is "7". The decimal digits of the value's shortest text are cut, not those
// of its binary expansion, so formatted(4.35, 2) stays "4.35". "-" when the formatter gives no text.
// Throws std::out_of_range unless fractionDigits is 0 to 999.
std::string formatted(double value, std::int64_t fractionDigits);

// A fraction-digit count as the number formatter takes it. Throws std::out_of_range unless `count` is 0
// to 999.
int fractionDigitCount(std::int64_t count);

}  // namespace Bexlan
