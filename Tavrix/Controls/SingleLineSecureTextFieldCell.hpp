#pragma once

#include "Platform/UI/SecureTextFieldCell.hpp"

namespace Tavrix {

// A password cell drawn as a single underlined line, like SingleLineTextFieldCell.
class SingleLineSecureTextFieldCell : public platform::SecureTextFieldCell {
 public:
  static constexpr double borderThickness = 1;

  void drawWithFrame(const platform::Rect& cellFrame, platform::View& controlView) override;
  platform::Size cellSize() const override;
};

}  // namespace Tavrix
