#pragma once

#include <memory>

#include "Platform/Graphics/Font.hpp"

namespace Tavrix {

// Which value labels a graph view shows, and in which font. A plain value: a copy changed on its own changes
// nothing until it is written back to the view.
struct FontOptions {
  bool showMinValue = true;
  bool showHalfValue = true;
  bool showMaxValue = true;
  std::shared_ptr<const platform::Font> font = platform::Font::systemFont(13, platform::FontWeight::semibold);
};

}  // namespace Tavrix
