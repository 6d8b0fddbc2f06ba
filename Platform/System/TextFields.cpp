#include "Platform/System/TextFields.hpp"

#include <charconv>

namespace platform::textfields {

namespace {

constexpr std::string_view whitespace = " \t\n\r\v\f";

}  // namespace

std::vector<std::string_view> splitWhitespace(std::string_view text) {
  std::vector<std::string_view> fields;
  std::size_t position = text.find_first_not_of(whitespace);
  while (position != std::string_view::npos) {
    const std::size_t end = text.find_first_of(whitespace, position);
    fields.push_back(text.substr(position, end == std::string_view::npos ? end : end - position));
    position = end == std::string_view::npos ? end : text.find_first_not_of(whitespace, end);
  }
  return fields;
}

std::optional<std::uint64_t> parseDecimal(std::string_view field) noexcept {
  if (field.empty() || field.front() < '0' || field.front() > '9') return std::nullopt;
  std::uint64_t value = 0;
  const char* end = field.data() + field.size();
  const auto [stop, error] = std::from_chars(field.data(), end, value);
  if (error != std::errc() || stop != end) return std::nullopt;
  return value;
}

std::string_view trimmed(std::string_view text) noexcept {
  const std::size_t first = text.find_first_not_of(whitespace);
  if (first == std::string_view::npos) return {};
  const std::size_t last = text.find_last_not_of(whitespace);
  return text.substr(first, last - first + 1);
}

std::vector<std::string_view> splitLines(std::string_view text) {
  std::vector<std::string_view> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    if (end == std::string_view::npos) break;
    text.remove_prefix(end + 1);
  }
  return lines;
}

}  // namespace platform::textfields
