#pragma once

#include <memory>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Rgba.hpp"

namespace platform {

class Color;
// Colours are immutable shared objects; two references are the same colour object when the pointers are
// equal.
using ColorRef = std::shared_ptr<const Color>;

// A device-RGB colour with straight alpha. A fixed colour has one value; a dynamic colour has a light and a
// dark value and resolves to one of them against the appearance in force when it is read (it does not follow
// later appearance changes by itself: whoever holds the resolved value reads it again).
class Color {
 public:
  // Components are clamped to 0...1; NaN counts as 0.
  static ColorRef rgb(double red, double green, double blue, double alpha = 1);
  static ColorRef dynamic(Rgba light, Rgba dark);

  // Shared constants: every call returns the same object.
  static const ColorRef& black();
  static const ColorRef& white();
  static const ColorRef& clear();
  static const ColorRef& red();
  static const ColorRef& green();
  // 50 % and 33.3 % white.
  static const ColorRef& gray();
  static const ColorRef& darkGray();

  bool isDynamic() const { return dynamic_; }

  // The value under Appearance::current(), or under the given appearance.
  Rgba rgba() const;
  Rgba rgba(const Appearance& appearance) const;

  // A new colour of the same kind (a dynamic colour stays dynamic) whose alpha is replaced, not multiplied,
  // by alpha (clamped like the components).
  ColorRef withAlphaComponent(double alpha) const;

  // Equal kind and values; identity is pointer equality of the references.
  friend bool operator==(const Color&, const Color&) = default;

  // Use rgb() or dynamic(); public only so that std::make_shared can reach it.
  Color(Rgba light, Rgba dark, bool dynamic);

 private:
  Rgba light_;
  Rgba dark_;
  bool dynamic_;
};

}  // namespace platform
