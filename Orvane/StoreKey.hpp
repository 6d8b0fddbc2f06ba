#pragma once

#include <algorithm>
#include <cstddef>
#include <string>

namespace Orvane {

// A string literal carried as a template argument; implicit, so that storeKey<"M_A">() takes the literal.
template <std::size_t Size>
struct KeyText {
  consteval KeyText(const char (&text)[Size]) { std::copy_n(text, Size, chars); }
  char chars[Size];
};

// The store key `Text` as one std::string, made on first use from any thread: safe to ask for while other
// statics are being made.
template <KeyText Text>
const std::string& storeKey() {
  static const std::string key(Text.chars);
  return key;
}

}  // namespace Orvane
