#pragma once

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/UI/TextFieldCell.hpp"
#include "Platform/UI/View.hpp"

// The underlined look of the single-line text-field cells.
namespace Tavrix::SingleLineUnderline {

// In a cell frame w wide and h high (the control's flipped coordinates): a 1-point line in the tertiary
// label colour from (0, h - 0.5) to (w, h - 0.5), the bottom edge; then the cell's interior in
// (0, 0, w, h - 1), with no bezel, clear of the line.
void draw(platform::TextFieldCell& cell, const platform::Rect& cellFrame, platform::View& controlView);

// A cell size one border thickness higher.
platform::Size cellSize(platform::Size base, double borderThickness);

}  // namespace Tavrix::SingleLineUnderline
