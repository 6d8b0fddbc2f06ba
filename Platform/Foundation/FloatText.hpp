#pragma once

#include <optional>
#include <string_view>

namespace platform {

// The whole text read as a single-precision number by the C library's strtof in the "C" locale (decimal
// or hexadecimal notation, "inf", "infinity" and "nan" words, an optional sign; values beyond float's
// range become infinities), whatever locale the process or thread uses. nullopt for an empty text, a text
// that begins with white space, or one with anything left after the number (an embedded NUL included).
std::optional<float> parseFloatC(std::string_view text);

}  // namespace platform
