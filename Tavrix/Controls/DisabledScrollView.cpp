#include "Tavrix/Controls/DisabledScrollView.hpp"

#include "Platform/UI/ViewClass.hpp"

namespace Tavrix {

namespace {

// Made by name from interface files, with View's properties (it exposes none of its own).
[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<DisabledScrollView>("DisabledScrollView", "View");
  return true;
}();

}  // namespace

void DisabledScrollView::scrollWheel(const platform::Event&) {}

}  // namespace Tavrix
