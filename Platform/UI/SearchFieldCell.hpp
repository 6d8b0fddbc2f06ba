#pragma once

#include "Platform/UI/TextFieldCell.hpp"

namespace platform {

// The cell of a search field: a rounded bezel (a capsule with a grey outline, white, or dark grey in a dark
// appearance) around the text.
class SearchFieldCell : public TextFieldCell {
 public:
  // Draws the bezel over the frame, then the interior inset by half the frame's height on each side, its
  // line of text centred from top to bottom.
  void drawWithFrame(const Rect& cellFrame, View& controlView) override;
};

}  // namespace platform
