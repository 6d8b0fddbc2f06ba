#pragma once

#include <string_view>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Path.hpp"
#include "Platform/Graphics/Rgba.hpp"

namespace Tavrix {

// What the gradient progress bars share: the fraction they keep for a written value, the centre line whose
// stroked part shows it, and their gradient colours.
class GradientBar {
 public:
  // The value a bar keeps: above 1 (positive infinity included) is 1; below 0, negative infinity and NaN are
  // 0; anything else is kept as it is.
  static double fraction(double value);

  // The horizontal line through the middle of the bounds that a stroke as thick as the bar runs along. With
  // round caps it runs from (H / 2, H / 2) to (W - H / 2, H / 2), so that the caps end at the bar's edges and
  // a full stroke fills a capsule exactly; with butt caps it runs from (0, H / 2) to (W, H / 2).
  static platform::Path line(const platform::Rect& bounds, bool roundCaps);

  // The colours unchanged; throws std::invalid_argument naming the bar class when one of them is null.
  static std::vector<platform::ColorRef> checked(std::vector<platform::ColorRef> colors,
                                                 std::string_view barClass);
  // The colours resolved under an appearance, in order.
  static std::vector<platform::Rgba> resolved(const std::vector<platform::ColorRef>& colors,
                                              const platform::Appearance& appearance);
};

}  // namespace Tavrix
