#include "Platform/Foundation/PercentEncoding.hpp"

#include <cctype>

#include "Platform/System/Utf8Text.hpp"

namespace platform {

AllowedCharacters::AllowedCharacters(std::string_view punctuation) {
  for (int c = 0; c < 128; ++c) set_[c] = std::isalnum(c) != 0;
  for (char c : punctuation) set_[static_cast<unsigned char>(c)] = true;
}

const AllowedCharacters& AllowedCharacters::urlQueryAllowed() {
  static const AllowedCharacters set("!$&'()*+,-./:;=?@_~");
  return set;
}

const AllowedCharacters& AllowedCharacters::urlPathSegmentAllowed() {
  static const AllowedCharacters set("!$&'()*+,-.:;=@_~");
  return set;
}

std::optional<std::string> addingPercentEncoding(std::string_view text, const AllowedCharacters& allowed) {
  if (!isValidUtf8(text)) return std::nullopt;
  static constexpr char digits[] = "0123456789ABCDEF";
  std::string encoded;
  encoded.reserve(text.size());
  for (char c : text) {
    if (allowed.contains(c)) {
      encoded.push_back(c);
    } else {
      const auto byte = static_cast<unsigned char>(c);
      encoded.append({'%', digits[byte >> 4], digits[byte & 0x0F]});
    }
  }
  return encoded;
}

}  // namespace platform
