#include "Tavrix/Controls/NoBackgroundCollectionView.hpp"

#include "Tavrix/Controls/ScrollViewBackground.hpp"

namespace Tavrix {

void NoBackgroundCollectionView::didInit() {
  platform::CollectionView::didInit();
  removeBackground();
}

void NoBackgroundCollectionView::removeBackground() {
  removeEnclosingScrollViewBackground(*this);
  setBackgroundColors({platform::Color::clear()});
}

}  // namespace Tavrix
