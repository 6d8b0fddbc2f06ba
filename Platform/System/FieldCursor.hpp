#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string_view>

namespace platform {

// A reading position in the text of a /proc or /sys file, for parsers that take the fields of a line one
// after another without copying them. Every step is bounds-checked: at the end of the text, or of the
// current line, a field is empty and a number is absent, so truncated or hostile text can only make a
// parse fail, never read outside the text.
class FieldCursor {
 public:
  explicit FieldCursor(std::string_view text) noexcept : text_(text) {}

  bool atEnd() const noexcept { return position_ >= text_.size(); }

  // The next field of the current line: blanks and tabs are skipped, then the run of characters up to the
  // next blank, tab or line end. Empty when the line has no more fields.
  std::string_view field() noexcept;
  // The next field read as an unsigned decimal number; absent when it is empty, holds anything but digits
  // or does not fit 64 bits. The field is consumed either way.
  std::optional<std::uint64_t> unsignedField() noexcept;
  // Consumes `count` fields of the current line; false when the line ends first.
  bool skipFields(std::size_t count) noexcept;
  // What is left of the current line, without its line end, and moves to the start of the next line.
  std::string_view restOfLine() noexcept;
  // Moves to the start of the next line (or to the end of the text).
  void nextLine() noexcept;

 private:
  std::string_view text_;
  std::size_t position_ = 0;
};

// a + b, or the largest value when the sum does not fit.
constexpr std::uint64_t saturatingAdd(std::uint64_t a, std::uint64_t b) noexcept {
  return a > UINT64_MAX - b ? UINT64_MAX : a + b;
}

// a * b, or absent when the product does not fit.
constexpr std::optional<std::uint64_t> checkedMultiply(std::uint64_t a, std::uint64_t b) noexcept {
  if (b != 0 && a > UINT64_MAX / b) return std::nullopt;
  return a * b;
}

}  // namespace platform
