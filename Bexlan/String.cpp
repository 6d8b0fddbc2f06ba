#include "Bexlan/String.hpp"

#include <limits>

#include "Platform/Foundation/FloatText.hpp"
#include "Platform/Foundation/Graphemes.hpp"
#include "Platform/Foundation/MacRoman.hpp"
#include "Platform/Foundation/NumberFormatter.hpp"
#include "Platform/Foundation/Region.hpp"
#include "Platform/Foundation/Uuid.hpp"

namespace Bexlan::String {

const std::string& empty() {
  static const std::string text;
  return text;
}

const std::string& dash() {
  static const std::string text = "-";
  return text;
}

const std::string& bullet() {
  static const std::string text = "\u2022";
  return text;
}

const std::string& indent() {
  static const std::string text = "    ";
  return text;
}

const std::string& newline() {
  static const std::string text = "\n";
  return text;
}

const std::string& doubleSpace() {
  static const std::string text = "  ";
  return text;
}

std::string decimalSeparator() {
  std::string separator = platform::NumberFormatter::decimalSeparator(platform::Region::currentLocaleId());
  return separator.empty() ? "." : separator;
}

std::string truncated(std::string_view text, std::int64_t n) {
  return std::string(platform::Graphemes::slice(text, 0, n));
}

std::string substring(std::string_view text, std::int64_t from, std::int64_t length) {
  std::int64_t to = 0;
  if (__builtin_add_overflow(from, length, &to)) {
    to = length < 0 ? std::numeric_limits<std::int64_t>::min() : std::numeric_limits<std::int64_t>::max();
  }
  return std::string(platform::Graphemes::slice(text, from, to));
}

std::string substringTo(std::string_view text, std::int64_t from, std::int64_t to) {
  return std::string(platform::Graphemes::slice(text, from, to));
}

std::string withoutLastFiveCharacters(std::string_view text) {
  const auto count = static_cast<std::int64_t>(platform::Graphemes::count(text));
  return std::string(platform::Graphemes::slice(text, 0, count - 5));
}

std::string lastPathComponent(std::string_view path) {
  const std::size_t end = path.find_last_not_of('/');
  if (end == std::string_view::npos) {
    return path.empty() ? "" : "/";
  }
  const std::string_view trimmed = path.substr(0, end + 1);
  const std::size_t slash = trimmed.rfind('/');
  return std::string(slash == std::string_view::npos ? trimmed : trimmed.substr(slash + 1));
}

std::uint64_t macRomanCode(std::string_view text) {
  const auto bytes = platform::encodeMacRoman(text);
  std::uint64_t code = 0;
  if (bytes) {
    for (const std::uint8_t byte : *bytes) {
      code = (code << 8) | byte;
    }
  }
  return code;
}

std::string uuid() { return platform::uuidString(); }

std::optional<double> floatValue(std::string_view text) {
  const auto value = platform::parseFloatC(text);
  return value ? std::optional<double>(*value) : std::nullopt;
}

bool isNilOrEmpty(const std::optional<std::string>& text) { return !text || text->empty(); }

}  // namespace Bexlan::String
