#include "Tavrix/Controls/NoBackgroundCollectionView.hpp"

#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/ScrollViewBackground.hpp"

namespace Tavrix {

namespace {

// Made by name from interface files, with View's properties (it exposes none of its own).
[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<NoBackgroundCollectionView>("NoBackgroundCollectionView", "View");
  return true;
}();

}  // namespace

void NoBackgroundCollectionView::didInit() {
  platform::CollectionView::didInit();
  removeBackground();
}

void NoBackgroundCollectionView::removeBackground() {
  removeEnclosingScrollViewBackground(*this);
  setBackgroundColors({platform::Color::clear()});
}

}  // namespace Tavrix
