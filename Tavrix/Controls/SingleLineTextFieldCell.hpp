#pragma once

#include "Platform/UI/TextFieldCell.hpp"

namespace Tavrix {

// A text-field cell drawn as a single underlined line (see SingleLineUnderline), reporting a size one
// border thickness higher than a plain cell's.
class SingleLineTextFieldCell : public platform::TextFieldCell {
 public:
  static constexpr double borderThickness = 1;

  void drawWithFrame(const platform::Rect& cellFrame, platform::View& controlView) override;
  platform::Size cellSize() const override;
};

}  // namespace Tavrix
