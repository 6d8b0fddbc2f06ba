#include "Tavrix/Controls/NoBackgroundScrollView.hpp"

#include "Platform/UI/ViewClass.hpp"

namespace Tavrix {

namespace {

// Made by name from interface files, with View's properties (it exposes none of its own).
[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<NoBackgroundScrollView>("NoBackgroundScrollView", "View");
  return true;
}();

}  // namespace

void NoBackgroundScrollView::didInit() {
  platform::ScrollView::didInit();
  setDrawsBackground(false);
  contentView()->setDrawsBackground(false);
}

}  // namespace Tavrix
