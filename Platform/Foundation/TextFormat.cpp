#include "Platform/Foundation/TextFormat.hpp"

#include <locale.h>

#include <charconv>
#include <cmath>
#include <cstdarg>
#include <cstdio>
#include <stdexcept>
#include <system_error>

#include "Platform/Foundation/FatalError.hpp"

namespace platform {
namespace {

locale_t cLocale() {
  static const locale_t locale = [] {
    locale_t created = newlocale(LC_ALL_MASK, "C", locale_t{});
    if (created == locale_t{}) fatalError("cannot create the C locale");
    return created;
  }();
  return locale;
}

// Switches the calling thread to the C locale for its lifetime.
class CLocaleScope {
 public:
  CLocaleScope() : previous_(uselocale(cLocale())) {}
  ~CLocaleScope() { uselocale(previous_); }
  CLocaleScope(const CLocaleScope&) = delete;
  CLocaleScope& operator=(const CLocaleScope&) = delete;

 private:
  locale_t previous_;
};

[[noreturn]] void throwFormatFailure(const char* format) {
  throw std::runtime_error(std::string("formatC: the C library cannot format \"") + format + "\"");
}

template <class T>
std::string shortestTextOf(T value, T fixedLimit) {
  if (std::isnan(value)) return "nan";
  if (std::isinf(value)) return value < 0 ? "-inf" : "inf";
  const T magnitude = std::fabs(value);
  const bool exponent = magnitude != 0 && (magnitude < T(1e-4) || magnitude > fixedLimit);
  // Fixed notation in this range needs at most 25 characters; exponent notation at most 24.
  char buffer[48];
  const auto result = std::to_chars(buffer, buffer + sizeof buffer, value,
                                    exponent ? std::chars_format::scientific : std::chars_format::fixed);
  if (result.ec != std::errc{}) fatalError("shortest number text does not fit its buffer");
  return std::string(buffer, result.ptr);
}

}  // namespace

std::string formatC(const char* format, ...) {
  if (format == nullptr) throw std::invalid_argument("formatC: the format is null");
  CLocaleScope scope;
  char stackBuffer[256];
  va_list arguments;
  va_start(arguments, format);
  const int length = std::vsnprintf(stackBuffer, sizeof stackBuffer, format, arguments);
  va_end(arguments);
  if (length < 0) throwFormatFailure(format);
  if (static_cast<std::size_t>(length) < sizeof stackBuffer) return std::string(stackBuffer, length);

  std::string text(static_cast<std::size_t>(length), '\0');
  va_start(arguments, format);
  // The string's own terminator slot takes the NUL that vsnprintf writes.
  const int written = std::vsnprintf(text.data(), text.size() + 1, format, arguments);
  va_end(arguments);
  if (written != length) throwFormatFailure(format);
  return text;
}

std::string shortestText(double value) { return shortestTextOf(value, 0x1p53); }

std::string shortestText(float value) { return shortestTextOf(value, 0x1p24f); }

std::string shortestDouble(double value) {
  std::string text = shortestText(value);
  if (text.find_first_not_of("-0123456789") == std::string::npos) text += ".0";
  return text;
}

}  // namespace platform
