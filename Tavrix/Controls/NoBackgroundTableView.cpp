#include "Tavrix/Controls/NoBackgroundTableView.hpp"

#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/ScrollViewBackground.hpp"

namespace Tavrix {

namespace {

// Made by name from interface files, with View's properties (it exposes none of its own).
[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<NoBackgroundTableView>("NoBackgroundTableView", "View");
  return true;
}();

constexpr double headerCornerRadius = 8;

}  // namespace

void NoBackgroundTableView::didInit() {
  platform::TableView::didInit();
  removeBackground();
}

void NoBackgroundTableView::removeBackground() {
  if (const auto holder = headerView() ? headerView()->superview() : nullptr) {
    holder->setWantsLayer(true);
    holder->layer()->setCornerRadius(headerCornerRadius);
    holder->layer()->setBackgroundColor(platform::Rgba{0, 0, 0, 0});
  }
  removeEnclosingScrollViewBackground(*this);
  setBackgroundColor(platform::Color::clear());
}

}  // namespace Tavrix
