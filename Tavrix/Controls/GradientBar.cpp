#include "Tavrix/Controls/GradientBar.hpp"

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

#include "Platform/Graphics/BezierPath.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"

namespace Tavrix {

double GradientBar::fraction(double value) {
  if (value > 1) {
    return 1;
  }
  if (value < 0 || !std::isfinite(value)) {
    return 0;
  }
  return value;
}

platform::Path GradientBar::line(const platform::Rect& bounds, bool roundCaps) {
  const double middle = bounds.height() * 0.5;
  const double inset = roundCaps ? middle : 0;
  platform::BezierPath line;
  line.move({inset, middle});
  line.line({bounds.width() - inset, middle});
  return NSBezierPath::cgPath(line);
}

std::vector<platform::ColorRef> GradientBar::checked(std::vector<platform::ColorRef> colors,
                                                     std::string_view barClass) {
  for (const platform::ColorRef& color : colors) {
    if (!color) {
      throw std::invalid_argument(std::string(barClass) + ": a gradient colour is null");
    }
  }
  return colors;
}

std::vector<platform::Rgba> GradientBar::resolved(const std::vector<platform::ColorRef>& colors,
                                                  const platform::Appearance& appearance) {
  std::vector<platform::Rgba> stops;
  stops.reserve(colors.size());
  for (const platform::ColorRef& color : colors) {
    stops.push_back(color->rgba(appearance));
  }
  return stops;
}

}  // namespace Tavrix
