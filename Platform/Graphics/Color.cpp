#include "Platform/Graphics/Color.hpp"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

double clampComponent(double value) { return std::isnan(value) ? 0 : std::clamp(value, 0.0, 1.0); }

Rgba clamped(Rgba value) {
  return {clampComponent(value.red), clampComponent(value.green), clampComponent(value.blue),
          clampComponent(value.alpha)};
}

Rgba withAlpha(Rgba value, double alpha) {
  value.alpha = alpha;
  return value;
}

}  // namespace

Color::Color(Rgba light, Rgba dark, bool dynamic)
    : light_(clamped(light)), dark_(clamped(dark)), dynamic_(dynamic) {}

ColorRef Color::rgb(double red, double green, double blue, double alpha) {
  const Rgba value{red, green, blue, alpha};
  return std::make_shared<const Color>(value, value, false);
}

ColorRef Color::dynamic(Rgba light, Rgba dark) { return std::make_shared<const Color>(light, dark, true); }

const ColorRef& Color::black() {
  static const ColorRef color = rgb(0, 0, 0);
  return color;
}

const ColorRef& Color::white() {
  static const ColorRef color = rgb(1, 1, 1);
  return color;
}

const ColorRef& Color::clear() {
  static const ColorRef color = rgb(0, 0, 0, 0);
  return color;
}

const ColorRef& Color::red() {
  static const ColorRef color = rgb(1, 0, 0);
  return color;
}

const ColorRef& Color::green() {
  static const ColorRef color = rgb(0, 1, 0);
  return color;
}

const ColorRef& Color::gray() {
  static const ColorRef color = rgb(0.5, 0.5, 0.5);
  return color;
}

const ColorRef& Color::darkGray() {
  static const ColorRef color = rgb(1.0 / 3, 1.0 / 3, 1.0 / 3);
  return color;
}

Rgba Color::rgba() const { return rgba(Appearance::current()); }

Rgba Color::rgba(const Appearance& appearance) const {
  return dynamic_ && appearance.isDark() ? dark_ : light_;
}

ColorRef Color::withAlphaComponent(double alpha) const {
  return std::make_shared<const Color>(withAlpha(light_, alpha), withAlpha(dark_, alpha), dynamic_);
}

}  // namespace platform
