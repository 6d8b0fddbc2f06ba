#include "Tavrix/Controls/Colors.hpp"

#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/Rgb255.hpp"

namespace Tavrix {

namespace {

platform::ColorRef byAppearance(platform::Rgba dark, platform::Rgba light) {
  const platform::Rgba chosen = isDarkMode() ? dark : light;
  return platform::Color::rgb(chosen.red, chosen.green, chosen.blue, chosen.alpha);
}

}  // namespace

const platform::ColorRef& Colors::plum() {
  static const platform::ColorRef color = rgb255(110, 55, 110);
  return color;
}

const platform::ColorRef& Colors::rose() {
  static const platform::ColorRef color = rgb255(252, 110, 134);
  return color;
}

const platform::ColorRef& Colors::berry() {
  static const platform::ColorRef color = rgb255(202, 74, 125);
  return color;
}

const platform::ColorRef& Colors::peach() {
  static const platform::ColorRef color = rgb255(252, 157, 128);
  return color;
}

const platform::ColorRef& Colors::gradientStart() {
  static const platform::ColorRef color = rgb255(62, 189, 177);
  return color;
}

const platform::ColorRef& Colors::gradientEnd() {
  static const platform::ColorRef color = rgb255(0, 182, 208);
  return color;
}

platform::ColorRef Colors::highlight() { return byAppearance(rgba255(51, 81, 115), rgba255(210, 231, 255)); }

platform::ColorRef Colors::accentBlue() { return byAppearance(rgba255(56, 118, 213), rgba255(48, 99, 182)); }

platform::ColorRef Colors::surface() { return byAppearance(rgba255(52, 54, 57), rgba255(247, 247, 248)); }

platform::ColorRef Colors::warmSurface() { return byAppearance(rgba255(66, 56, 53), rgba255(247, 247, 248)); }

platform::ColorRef Colors::raisedSurface() {
  return byAppearance(rgba255(68, 70, 73), rgba255(231, 231, 232));
}

}  // namespace Tavrix
