#pragma once

#include <cstdint>
#include <string>

namespace Bexlan::Int {

// The integer with the region's locale's digit grouping (1234567 is "1,234,567" in en_US, "1.234.567" in
// de_DE; none in en_US_POSIX), from a formatter made for the call; "" when the formatter gives no text.
std::string formattedWithSeparator(std::int64_t value);

}  // namespace Bexlan::Int
