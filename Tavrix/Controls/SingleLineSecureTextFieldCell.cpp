#include "Tavrix/Controls/SingleLineSecureTextFieldCell.hpp"

#include "Tavrix/Controls/SingleLineUnderline.hpp"

namespace Tavrix {

void SingleLineSecureTextFieldCell::drawWithFrame(const platform::Rect& cellFrame,
                                                  platform::View& controlView) {
  SingleLineUnderline::draw(*this, cellFrame, controlView);
}

platform::Size SingleLineSecureTextFieldCell::cellSize() const {
  return SingleLineUnderline::cellSize(platform::SecureTextFieldCell::cellSize(), borderThickness);
}

}  // namespace Tavrix
