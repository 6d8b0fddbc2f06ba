#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace Tavrix {

// The text of one double through a caller's printf format, without letting the format reach printf unless
// it is safe: exactly one floating conversion ('%', flags from "-+ #0", a width and a precision of at most
// three digits each, an optional 'l', then one of "fFeEgGaA"), any literal text and "%%". Any other format
// ("%s", "%n", "%d", two conversions, "%*f", none) gives nothing. Digits are written without a locale.
std::optional<std::string> formatFloat(std::string_view format, double value);

}  // namespace Tavrix
