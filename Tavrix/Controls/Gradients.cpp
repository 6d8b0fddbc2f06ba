#include "Tavrix/Controls/Gradients.hpp"

#include <array>
#include <initializer_list>
#include <vector>

#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/Rgb255.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

// A gradient of new colours from 0-255 components.
ColorGradient stops(std::initializer_list<std::array<int, 3>> components) {
  std::vector<platform::ColorRef> colors;
  for (const std::array<int, 3>& color : components) {
    colors.push_back(rgb255(color[0], color[1], color[2]));
  }
  return ColorGradient(std::move(colors));
}

// The three colours of fancy, blossom and custom.
ColorGradient fancyStops() { return stops({{217, 87, 169}, {233, 69, 63}, {243, 143, 67}}); }

// The six colours of softPastel and softPastelAlt.
ColorGradient softPastelStops() {
  return stops(
      {{255, 154, 162}, {255, 183, 178}, {255, 218, 193}, {226, 240, 203}, {181, 234, 215}, {199, 206, 234}});
}

}  // namespace

const ColorGradient& Gradients::crimson() {
  static const ColorGradient gradient = stops({{220, 28, 19}, {240, 116, 112}});
  return gradient;
}

const ColorGradient& Gradients::red() {
  static const ColorGradient gradient = stops({{251, 93, 117}, {249, 36, 61}});
  return gradient;
}

const ColorGradient& Gradients::trafficLight() {
  static const ColorGradient gradient =
      stops({{204, 50, 50}, {219, 123, 43}, {231, 180, 22}, {153, 193, 64}, {45, 201, 55}});
  return gradient;
}

const ColorGradient& Gradients::blue() {
  static const ColorGradient gradient(Colors::gradientStart(), Colors::gradientEnd());
  return gradient;
}

const ColorGradient& Gradients::neon() {
  static const ColorGradient gradient = stops({{107, 55, 255}, {246, 64, 157}});
  return gradient;
}

const ColorGradient& Gradients::neonReversed() {
  static const ColorGradient gradient = stops({{246, 64, 157}, {107, 55, 255}});
  return gradient;
}

const ColorGradient& Gradients::orangeYellow() {
  static const ColorGradient gradient = stops({{249, 86, 23}, {253, 209, 42}});
  return gradient;
}

const ColorGradient& Gradients::fancy() {
  static const ColorGradient gradient = fancyStops();
  return gradient;
}

const ColorGradient& Gradients::sunset() {
  static const ColorGradient gradient = stops({{251, 220, 132}, {242, 85, 151}, {169, 61, 118}});
  return gradient;
}

const ColorGradient& Gradients::cardOne() {
  static const ColorGradient gradient = stops({{110, 55, 110}, {202, 74, 125}});
  return gradient;
}

const ColorGradient& Gradients::cardTwo() {
  static const ColorGradient gradient = stops({{203, 74, 125}, {252, 110, 135}});
  return gradient;
}

const ColorGradient& Gradients::cardThree() {
  static const ColorGradient gradient = stops({{253, 112, 135}, {253, 158, 129}});
  return gradient;
}

const ColorGradient& Gradients::cardFull() {
  static const ColorGradient gradient = stops({{110, 55, 110}, {203, 74, 125}, {253, 158, 129}});
  return gradient;
}

const ColorGradient& Gradients::softPastel() {
  static const ColorGradient gradient = softPastelStops();
  return gradient;
}

const ColorGradient& Gradients::pastelRainbow() {
  static const ColorGradient gradient =
      stops({{255, 179, 186}, {255, 223, 186}, {255, 255, 186}, {186, 255, 201}, {186, 225, 255}});
  return gradient;
}

const ColorGradient& Gradients::softPastelAlt() {
  static const ColorGradient gradient = softPastelStops();
  return gradient;
}

const ColorGradient& Gradients::rainbow() {
  static const ColorGradient gradient({SystemColors::systemRed(), SystemColors::systemOrange(),
                                       SystemColors::systemYellow(), SystemColors::systemGreen(),
                                       SystemColors::systemTeal(), SystemColors::systemBlue()});
  return gradient;
}

const ColorGradient& Gradients::orangePink() {
  static const ColorGradient gradient = stops({{255, 138, 0}, {229, 46, 113}});
  return gradient;
}

const ColorGradient& Gradients::blossom() {
  static const ColorGradient gradient = fancyStops();
  return gradient;
}

const ColorGradient& Gradients::ocean() {
  static const ColorGradient gradient = stops({{3, 125, 175}, {78, 176, 204}});
  return gradient;
}

const ColorGradient& Gradients::orchid() {
  static const ColorGradient gradient = stops({{165, 29, 212}, {205, 79, 169}, {208, 93, 153}});
  return gradient;
}

const ColorGradient& Gradients::dustyRose() {
  static const ColorGradient gradient = stops({{212, 146, 146}, {212, 134, 174}, {208, 94, 147}});
  return gradient;
}

const ColorGradient& Gradients::systemGreen() {
  static const ColorGradient gradient = systemGradient(SystemColors::systemGreen());
  return gradient;
}

const ColorGradient& Gradients::systemRed() {
  static const ColorGradient gradient = systemGradient(SystemColors::systemRed());
  return gradient;
}

const ColorGradient& Gradients::systemBlue() {
  static const ColorGradient gradient = systemGradient(SystemColors::systemBlue());
  return gradient;
}

const ColorGradient& Gradients::systemYellow() {
  static const ColorGradient gradient = systemGradient(SystemColors::systemYellow());
  return gradient;
}

const ColorGradient& Gradients::systemTeal() {
  static const ColorGradient gradient = systemGradient(SystemColors::systemTeal());
  return gradient;
}

const ColorGradient& Gradients::systemPink() {
  static const ColorGradient gradient = systemGradient(SystemColors::systemPink());
  return gradient;
}

const ColorGradient& Gradients::systemOrange() {
  static const ColorGradient gradient = systemGradient(SystemColors::systemOrange());
  return gradient;
}

const ColorGradient& Gradients::custom() {
  static const ColorGradient gradient = fancyStops();
  return gradient;
}

ColorGradient Gradients::systemGradient(const platform::ColorRef& color) {
  if (!color) {
    throw std::invalid_argument("a system gradient needs a colour");
  }
  return ColorGradient(std::vector<platform::ColorRef>{color->withAlphaComponent(0.22), color});
}

}  // namespace Tavrix
