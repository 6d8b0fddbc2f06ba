#pragma once

#include <optional>
#include <string>

namespace Tavrix {

// A marked position on a point axis: a value on the axis's 0..max scale and an optional label. Shared by
// reference (std::shared_ptr), so a caller may change a point an axis holds.
class AxisPoint {
 public:
  AxisPoint(double value, std::optional<std::string> text) : value_(value), text_(std::move(text)) {}

  double value() const { return value_; }
  void setValue(double value) { value_ = value; }
  // No label when absent.
  const std::optional<std::string>& text() const { return text_; }
  void setText(std::optional<std::string> text) { text_ = std::move(text); }

 private:
  double value_;
  std::optional<std::string> text_;
};

}  // namespace Tavrix
