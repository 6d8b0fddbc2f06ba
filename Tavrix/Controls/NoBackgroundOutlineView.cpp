#include "Tavrix/Controls/NoBackgroundOutlineView.hpp"

#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/ScrollViewBackground.hpp"

namespace Tavrix {

namespace {

// Made by name from interface files, with View's properties (it exposes none of its own).
[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<NoBackgroundOutlineView>("NoBackgroundOutlineView", "View");
  return true;
}();

}  // namespace

void NoBackgroundOutlineView::didInit() {
  platform::OutlineView::didInit();
  removeBackground();
}

void NoBackgroundOutlineView::removeBackground() {
  removeEnclosingScrollViewBackground(*this);
  setBackgroundColor(platform::Color::clear());
}

}  // namespace Tavrix
