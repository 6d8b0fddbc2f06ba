#include "Tavrix/Controls/SearchTextFieldCell.hpp"

namespace Tavrix {

void SearchTextFieldCell::drawWithFrame(const platform::Rect& cellFrame, platform::View& controlView) {
  drawInterior(platform::Rect(0, 0, cellFrame.width(), cellFrame.height()), controlView);
}

}  // namespace Tavrix
