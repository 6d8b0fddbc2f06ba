#include "Tavrix/Controls/NoDividerSplitView.hpp"

#include "Platform/UI/ViewClass.hpp"

namespace Tavrix {

namespace {

// Made by name from interface files, with View's properties (it exposes none of its own).
[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<NoDividerSplitView>("NoDividerSplitView", "View");
  return true;
}();

}  // namespace

double NoDividerSplitView::dividerThickness() const { return 0; }

void NoDividerSplitView::drawDivider(const platform::Rect&) {}

}  // namespace Tavrix
