#pragma once

#include <string>
#include <string_view>

namespace platform {

// True when `bytes` is well-formed UTF-8 (no overlong forms, surrogates or code points above U+10FFFF).
bool isValidUtf8(std::string_view bytes) noexcept;

// `bytes` as UTF-8 text, each maximal ill-formed subsequence replaced by U+FFFD.
std::string repairedUtf8(std::string_view bytes);

}  // namespace platform
