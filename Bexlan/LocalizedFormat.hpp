#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace Bexlan {

// Fills a translated format with one integer without handing the translation to printf: only integer
// conversions are filled ("%d", "%i", "%u", with flags "-+ 0", a width below 1000, lengths "l" and "ll",
// and the positional "%1$d"), "%%" is "%", and every other '%' is copied as written ("%s %n" stays
// "%s %n"). Digits are written without a locale.
std::string formatLocalized(std::string_view format, std::int64_t value);

}  // namespace Bexlan
