#include "Tavrix/Controls/SingleLineTextFieldCell.hpp"

#include "Tavrix/Controls/SingleLineUnderline.hpp"

namespace Tavrix {

void SingleLineTextFieldCell::drawWithFrame(const platform::Rect& cellFrame, platform::View& controlView) {
  SingleLineUnderline::draw(*this, cellFrame, controlView);
}

platform::Size SingleLineTextFieldCell::cellSize() const {
  return SingleLineUnderline::cellSize(platform::TextFieldCell::cellSize(), borderThickness);
}

}  // namespace Tavrix
