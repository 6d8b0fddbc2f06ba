#pragma once

#include <cstdint>
#include <string>

#include "Bexlan/Date.hpp"

// Number texts and arithmetic on doubles. The texts follow the region's current locale (see formatted).
namespace Bexlan::Double {

// formatted(value, n) with exactly n = 1...5 fraction digits, cut toward zero: formatted2(2.999) is "2.99".
std::string formatted1(double value);
std::string formatted2(double value);
std::string formatted3(double value);
std::string formatted4(double value);
std::string formatted5(double value);

// round(value * 10^places) / 10^places, halves away from zero: 1.234 to 2 places is 1.23, 2.5 to 0 places
// is 3 and -2.5 is -3; a negative count rounds to tens, hundreds...: 1234.5 to -2 places is 1200.
double rounded(double value, std::int64_t places);

// True for NaN and both infinities.
bool isNotFinite(double value);

// The value cut toward zero when it lies in 0...4294967295 (3.99 gives 3), else 0 (NaN included).
std::uint32_t uint32Value(double value);

// The date `seconds` after 1970-01-01 00:00 UTC.
Date date(double seconds);

}  // namespace Bexlan::Double
