#include "Tavrix/Controls/NoBackgroundOutlineView.hpp"

#include "Tavrix/Controls/ScrollViewBackground.hpp"

namespace Tavrix {

void NoBackgroundOutlineView::didInit() {
  platform::OutlineView::didInit();
  removeBackground();
}

void NoBackgroundOutlineView::removeBackground() {
  removeEnclosingScrollViewBackground(*this);
  setBackgroundColor(platform::Color::clear());
}

}  // namespace Tavrix
