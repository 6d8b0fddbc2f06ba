#include "Platform/Foundation/MacRoman.hpp"

#include <unicode/ucnv.h>
#include <unicode/ucnv_err.h>
#include <unicode/unistr.h>

#include <cstdint>
#include <memory>

namespace platform {

std::optional<std::vector<std::uint8_t>> encodeMacRoman(std::string_view text) {
  if (text.empty()) {
    return std::vector<std::uint8_t>{};
  }
  if (text.size() > static_cast<std::size_t>(INT32_MAX)) {
    return std::nullopt;
  }
  // Ill-formed UTF-8 becomes U+FFFD here, which Mac OS Roman cannot encode.
  const icu::UnicodeString unicode =
      icu::UnicodeString::fromUTF8(icu::StringPiece(text.data(), static_cast<std::int32_t>(text.size())));
  UErrorCode status = U_ZERO_ERROR;
  const std::unique_ptr<UConverter, decltype(&ucnv_close)> converter(ucnv_open("macintosh", &status),
                                                                     &ucnv_close);
  if (U_FAILURE(status)) {
    return std::nullopt;
  }
  // Stop at the first character without a byte of its own instead of writing a substitute.
  ucnv_setFromUCallBack(converter.get(), UCNV_FROM_U_CALLBACK_STOP, nullptr, nullptr, nullptr, &status);
  ucnv_setFallback(converter.get(), false);
  // Mac OS Roman has one byte per UTF-16 unit at most.
  std::vector<std::uint8_t> bytes(static_cast<std::size_t>(unicode.length()));
  const std::int32_t written = ucnv_fromUChars(converter.get(), reinterpret_cast<char*>(bytes.data()),
                                               static_cast<std::int32_t>(bytes.size()), unicode.getBuffer(),
                                               unicode.length(), &status);
  if (U_FAILURE(status)) {
    return std::nullopt;
  }
  bytes.resize(static_cast<std::size_t>(written));
  return bytes;
}

}  // namespace platform
