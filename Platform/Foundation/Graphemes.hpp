#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

namespace platform {

// UTF-8 text counted in the characters a reader sees: extended grapheme clusters, as ICU's character break
// iterator finds them ("e" followed by a combining acute accent, a flag and a family joined by zero-width
// joiners each count one). Bytes that are not valid UTF-8 count as one character each. Thread-safe.
class Graphemes {
 public:
  Graphemes() = delete;

  static std::size_t count(std::string_view text);
  // The characters from index `from` up to, not including, index `to`, both clamped to 0...count (so an
  // end before the start gives an empty text). A view into `text`.
  static std::string_view slice(std::string_view text, std::int64_t from, std::int64_t to);
};

}  // namespace platform
