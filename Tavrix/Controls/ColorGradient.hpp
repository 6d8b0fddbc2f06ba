#pragma once

#include <vector>

#include "Platform/Graphics/Color.hpp"

namespace Tavrix {

// A gradient: its colour stops in drawing order (mColors), its first colour (start) and its last (end).
// A value; copies share the colour objects.
class ColorGradient {
 public:
  // The two stops start and end.
  ColorGradient(platform::ColorRef start, platform::ColorRef end);
  // The stops as given. No colours give the pair Colors::gradientStart, Colors::gradientEnd instead; one
  // colour is both the start and the end.
  explicit ColorGradient(std::vector<platform::ColorRef> colors);

  const std::vector<platform::ColorRef>& mColors() const { return mColors_; }
  const platform::ColorRef& start() const { return start_; }
  const platform::ColorRef& end() const { return end_; }

  // [start at startAlpha, end at endAlpha] (each a new colour whose alpha is replaced).
  std::vector<platform::ColorRef> fadedPair(double startAlpha, double endAlpha) const;
  // Faded copies of the stops: with two stops, start at 0.75 and end at 0.2; otherwise, of n stops, stop i
  // at 0.9 - i x 0.7 / n (one stop: 0.9; four: 0.9, 0.725, 0.55, 0.375).
  std::vector<platform::ColorRef> fadedColors() const;

 private:
  std::vector<platform::ColorRef> mColors_;
  platform::ColorRef start_;
  platform::ColorRef end_;
};

}  // namespace Tavrix
