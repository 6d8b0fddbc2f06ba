#include "Platform/System/FieldCursor.hpp"

#include "Platform/System/TextFields.hpp"

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

std::optional<std::uint64_t> FieldCursor::unsignedField() noexcept {
  return textfields::parseDecimal(field());
}

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

}  // namespace platform
