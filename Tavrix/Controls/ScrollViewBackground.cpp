#include "Tavrix/Controls/ScrollViewBackground.hpp"

#include "Platform/UI/ScrollView.hpp"

namespace Tavrix {

void removeEnclosingScrollViewBackground(const platform::View& view) {
  if (const auto scrollView = view.enclosingScrollView()) {
    scrollView->setDrawsBackground(false);
    scrollView->contentView()->setDrawsBackground(false);
  }
}

}  // namespace Tavrix
