#pragma once

#include <optional>
#include <string_view>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/TextAttributes.hpp"

namespace Bexlan::String {

// Draws the text into the calling thread's current graphics context (nothing when there is none), centred
// vertically in the rectangle: in a rectangle with the given x and width, the text's measured height, and
// its y moved by half the difference of the heights. Left out, the attributes are the default ones (the
// system font at 12 points, black).
void drawVerticallyCentered(std::string_view text, const platform::Rect& rect,
                            const std::optional<platform::TextAttributes>& attributes = std::nullopt);

}  // namespace Bexlan::String
