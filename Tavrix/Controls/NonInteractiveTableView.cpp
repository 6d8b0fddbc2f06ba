#include "Tavrix/Controls/NonInteractiveTableView.hpp"

#include "Platform/UI/ViewClass.hpp"

namespace Tavrix {

namespace {

// Made by name from interface files, with View's properties (it exposes none of its own).
[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<NonInteractiveTableView>("NonInteractiveTableView", "View");
  return true;
}();

}  // namespace

bool NonInteractiveTableView::mouseDownCanMoveWindow() const { return true; }

}  // namespace Tavrix
