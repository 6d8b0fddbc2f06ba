#include "Platform/System/Utf8Text.hpp"

#include <unicode/utf8.h>

#include <cstdint>

namespace platform {

namespace {

constexpr std::string_view replacementCharacter = "\xEF\xBF\xBD";

// Calls `take(start, end, valid)` for each code point or ill-formed subsequence of `bytes`, in order, until
// it returns false. ICU indexes with 32-bit integers: a text beyond that range counts as one ill-formed run.
template <class Take>
void walkUtf8(std::string_view bytes, Take&& take) {
  if (bytes.size() > static_cast<size_t>(INT32_MAX)) {
    take(0, bytes.size(), false);
    return;
  }
  const auto* text = reinterpret_cast<const std::uint8_t*>(bytes.data());
  const auto length = static_cast<std::int32_t>(bytes.size());
  std::int32_t offset = 0;
  while (offset < length) {
    std::int32_t start = offset;
    UChar32 codePoint = 0;
    U8_NEXT(text, offset, length, codePoint);
    if (!take(static_cast<size_t>(start), static_cast<size_t>(offset), codePoint >= 0)) return;
  }
}

}  // namespace

bool isValidUtf8(std::string_view bytes) noexcept {
  bool valid = true;
  walkUtf8(bytes, [&](size_t, size_t, bool wellFormed) { return valid = wellFormed; });
  return valid;
}

std::string repairedUtf8(std::string_view bytes) {
  std::string text;
  text.reserve(bytes.size());
  walkUtf8(bytes, [&](size_t start, size_t end, bool wellFormed) {
    text.append(wellFormed ? bytes.substr(start, end - start) : replacementCharacter);
    return true;
  });
  return text;
}

}  // namespace platform
