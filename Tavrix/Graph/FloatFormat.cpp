#include "Tavrix/Graph/FloatFormat.hpp"

#include "Platform/Foundation/TextFormat.hpp"

namespace Tavrix {

namespace {

constexpr std::size_t npos = std::string_view::npos;

// Skips up to three digits at `at`; npos when there are more.
std::size_t skipDigits(std::string_view text, std::size_t at) {
  const std::size_t end = std::min(text.find_first_not_of("0123456789", at), text.size());
  return end - at > 3 ? npos : end;
}

// The end of the floating conversion whose '%' is at `at`, or npos when it is not one.
std::size_t floatConversionEnd(std::string_view format, std::size_t at) {
  std::size_t next = std::min(format.find_first_not_of("-+ #0", at + 1), format.size());
  next = skipDigits(format, next);
  if (next != npos && next < format.size() && format[next] == '.') next = skipDigits(format, next + 1);
  if (next != npos && next < format.size() && format[next] == 'l') ++next;
  if (next == npos || next >= format.size() || std::string_view("fFeEgGaA").find(format[next]) == npos) {
    return npos;
  }
  return next + 1;
}

bool isSingleFloatFormat(std::string_view format) {
  int conversions = 0;
  for (std::size_t at = format.find('%'); at != npos; at = format.find('%', at)) {
    if (at + 1 < format.size() && format[at + 1] == '%') {
      at += 2;
      continue;
    }
    const std::size_t end = floatConversionEnd(format, at);
    if (end == npos || ++conversions > 1) return false;
    at = end;
  }
  return conversions == 1;
}

}  // namespace

std::optional<std::string> formatFloat(std::string_view format, double value) {
  if (!isSingleFloatFormat(format)) return std::nullopt;
  return platform::formatC(std::string(format).c_str(), value);
}

}  // namespace Tavrix
