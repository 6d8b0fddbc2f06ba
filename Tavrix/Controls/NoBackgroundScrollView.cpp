#include "Tavrix/Controls/NoBackgroundScrollView.hpp"

namespace Tavrix {

void NoBackgroundScrollView::didInit() {
  platform::ScrollView::didInit();
  setDrawsBackground(false);
  contentView()->setDrawsBackground(false);
}

}  // namespace Tavrix
