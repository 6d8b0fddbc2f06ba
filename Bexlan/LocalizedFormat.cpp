#include "Bexlan/LocalizedFormat.hpp"

#include <cctype>
#include <optional>
#include <string>
#include <utility>

#include "Platform/Foundation/TextFormat.hpp"

namespace Bexlan {

namespace {

bool isDigit(char c) { return std::isdigit(static_cast<unsigned char>(c)) != 0; }

// An integer conversion: how many characters of the format it takes after its '%', and the printf
// conversion that writes it safely.
struct IntegerConversion {
  std::size_t length;
  std::string safeFormat;
};

// The integer conversion at the start of `conversion` (just after its '%'), absent when it does not start
// with one.
std::optional<IntegerConversion> integerConversion(std::string_view conversion) {
  std::size_t at = 0;
  // A position must name the one argument: "1$".
  std::size_t digits = 0;
  while (digits < conversion.size() && isDigit(conversion[digits])) ++digits;
  if (digits > 0 && digits < conversion.size() && conversion[digits] == '$') {
    if (digits != 1 || conversion[0] != '1') return std::nullopt;
    at = digits + 1;
  }
  std::string safeFormat(1, '%');
  while (at < conversion.size() && std::string_view("-+ 0").find(conversion[at]) != std::string_view::npos) {
    safeFormat += conversion[at++];
  }
  const std::size_t widthStart = at;
  while (at < conversion.size() && isDigit(conversion[at])) ++at;
  if (at - widthStart > 3) return std::nullopt;
  safeFormat += conversion.substr(widthStart, at - widthStart);
  for (int lengths = 0; lengths < 2 && at < conversion.size() && conversion[at] == 'l'; ++lengths) ++at;
  if (at >= conversion.size() || std::string_view("diu").find(conversion[at]) == std::string_view::npos)
    return std::nullopt;
  safeFormat += conversion[at] == 'u' ? "llu" : "lld";
  return IntegerConversion{at + 1, std::move(safeFormat)};
}

}  // namespace

std::string formatLocalized(std::string_view format, std::int64_t value) {
  std::string result;
  for (std::size_t at = 0; at < format.size();) {
    const std::size_t percent = format.find('%', at);
    result += format.substr(at, percent - at);
    if (percent == std::string_view::npos) break;
    const std::string_view conversion = format.substr(percent + 1);
    if (conversion.starts_with('%')) {
      result += '%';
      at = percent + 2;
    } else if (const auto integer = integerConversion(conversion)) {
      const char* safeFormat = integer->safeFormat.c_str();
      result += integer->safeFormat.ends_with('u')
                    ? platform::formatC(safeFormat, static_cast<unsigned long long>(value))
                    : platform::formatC(safeFormat, static_cast<long long>(value));
      at = percent + 1 + integer->length;
    } else {
      result += '%';
      at = percent + 1;
    }
  }
  return result;
}

}  // namespace Bexlan
