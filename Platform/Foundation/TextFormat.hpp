#pragma once

#include <stdexcept>
#include <string>

namespace platform {

// printf into a std::string of any length, always in the "C" locale (decimal point ".", no grouping),
// whatever setlocale or uselocale did elsewhere; the calling thread's locale is restored before returning.
// Throws std::invalid_argument for a null format and std::runtime_error when the C library cannot format
// the arguments (an invalid wide character, a result beyond INT_MAX bytes).
std::string formatC(const char* format, ...) __attribute__((format(printf, 1, 2)));

// The shortest text that reads back as exactly the same value, in fixed notation from 1e-4 up to the
// largest magnitude below which every integer is representable (2^53 for double, 2^24 for float) and in
// exponent notation ("1e+16", "1.5e-05") outside it; "nan" for any NaN, "inf" and "-inf".
// 1.0 -> "1", 0.1 -> "0.1", -0.0 -> "-0".
std::string shortestText(double value);
std::string shortestText(float value);

// shortestText with ".0" added to a whole number in fixed notation, as Swift prints a Double:
// 1.0 -> "1.0", 0.1 -> "0.1", 1e16 -> "1e+16", -0.0 -> "-0.0".
std::string shortestDouble(double value);

}  // namespace platform
