#pragma once

#include <bitset>
#include <optional>
#include <string>
#include <string_view>

namespace platform {

// A set of ASCII characters that percent-encoding leaves as they are.
class AllowedCharacters {
 public:
  // The ASCII letters and digits and ! $ & ' ( ) * + , - . / : ; = ? @ _ ~ : what a URL query may hold.
  static const AllowedCharacters& urlQueryAllowed();
  // The ASCII letters and digits and ! $ & ' ( ) * + , - . : ; = @ _ ~ : what one path segment may hold
  // ("/", "?" and "#" are escaped).
  static const AllowedCharacters& urlPathSegmentAllowed();

  bool contains(char c) const {
    return static_cast<unsigned char>(c) < 128 && set_[static_cast<unsigned char>(c)];
  }

 private:
  explicit AllowedCharacters(std::string_view punctuation);
  std::bitset<128> set_;
};

// The text with every byte of a character outside `allowed` written as "%XX" (upper-case hexadecimal, the
// character's UTF-8 bytes); nothing when the text is not valid UTF-8.
std::optional<std::string> addingPercentEncoding(std::string_view text, const AllowedCharacters& allowed);

}  // namespace platform
