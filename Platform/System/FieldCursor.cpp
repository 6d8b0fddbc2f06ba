#include "Platform/System/FieldCursor.hpp"

namespace platform {

namespace {

constexpr bool isBlank(char c) noexcept { return c == ' ' || c == '\t'; }

}  // namespace

std::string_view FieldCursor::field() noexcept {
  while (position_ < text_.size() && isBlank(text_[position_])) ++position_;
  std::size_t start = position_;
  while (position_ < text_.size() && !isBlank(text_[position_]) && text_[position_] != '\n') ++position_;
  return text_.substr(start, position_ - start);
}

std::optional<std::uint64_t> FieldCursor::unsignedField() noexcept { return parseDecimal(field()); }

bool FieldCursor::skipFields(std::size_t count) noexcept {
  for (std::size_t i = 0; i < count; ++i) {
    if (field().empty()) return false;
  }
  return true;
}

std::string_view FieldCursor::restOfLine() noexcept {
  std::size_t start = position_ < text_.size() ? position_ : text_.size();
  std::size_t end = text_.find('\n', start);
  if (end == std::string_view::npos) end = text_.size();
  position_ = end < text_.size() ? end + 1 : text_.size();
  return text_.substr(start, end - start);
}

void FieldCursor::nextLine() noexcept { restOfLine(); }

std::optional<std::uint64_t> parseDecimal(std::string_view digits) noexcept {
  if (digits.empty()) return std::nullopt;
  std::uint64_t value = 0;
  for (char c : digits) {
    if (c < '0' || c > '9') return std::nullopt;
    auto digit = static_cast<std::uint64_t>(c - '0');
    if (value > (UINT64_MAX - digit) / 10) return std::nullopt;
    value = value * 10 + digit;
  }
  return value;
}

}  // namespace platform
