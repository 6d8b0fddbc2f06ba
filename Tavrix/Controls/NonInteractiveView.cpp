#include "Tavrix/Controls/NonInteractiveView.hpp"

#include "Platform/UI/ViewClass.hpp"

namespace Tavrix {

namespace {

// Made by name from interface files, with View's properties (it exposes none of its own).
[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<NonInteractiveView>("NonInteractiveView", "View");
  return true;
}();

}  // namespace

std::shared_ptr<platform::View> NonInteractiveView::hitTest(platform::Point) { return nullptr; }

}  // namespace Tavrix
