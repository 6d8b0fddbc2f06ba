#pragma once

#include "Platform/UI/TextFieldCell.hpp"

namespace platform {

// The cell of a search field: a rounded bezel (a white capsule with a grey outline) around the text.
class SearchFieldCell : public TextFieldCell {
 public:
  // Draws the bezel over the frame, then the interior inset by half the frame's height on each side.
  void drawWithFrame(const Rect& cellFrame, View& controlView) override;
};

}  // namespace platform
