#pragma once

#include "Platform/Graphics/Color.hpp"
#include "Tavrix/Controls/ColorGradient.hpp"

namespace Tavrix {

// The catalogue of named gradients. Each is made once, on first use from any thread, and never changes;
// each has colour objects of its own, except blue, whose stops are Colors::gradientStart and
// Colors::gradientEnd themselves, and the gradients of system colours, which hold those dynamic colours.
class Gradients {
 public:
  Gradients() = delete;

  static const ColorGradient& crimson();
  static const ColorGradient& red();
  static const ColorGradient& trafficLight();
  static const ColorGradient& blue();
  static const ColorGradient& neon();
  static const ColorGradient& neonReversed();
  static const ColorGradient& orangeYellow();
  static const ColorGradient& fancy();
  static const ColorGradient& sunset();
  static const ColorGradient& cardOne();
  static const ColorGradient& cardTwo();
  static const ColorGradient& cardThree();
  static const ColorGradient& cardFull();
  static const ColorGradient& softPastel();
  static const ColorGradient& pastelRainbow();
  static const ColorGradient& softPastelAlt();
  static const ColorGradient& rainbow();
  static const ColorGradient& orangePink();
  static const ColorGradient& blossom();
  static const ColorGradient& ocean();
  static const ColorGradient& orchid();
  static const ColorGradient& dustyRose();
  static const ColorGradient& systemGreen();
  static const ColorGradient& systemRed();
  static const ColorGradient& systemBlue();
  static const ColorGradient& systemYellow();
  static const ColorGradient& systemTeal();
  static const ColorGradient& systemPink();
  static const ColorGradient& systemOrange();
  static const ColorGradient& custom();

  // [the colour at alpha 0.22, the colour]: the gradients of the system colours.
  static ColorGradient systemGradient(const platform::ColorRef& color);
};

}  // namespace Tavrix
