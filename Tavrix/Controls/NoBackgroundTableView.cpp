#include "Tavrix/Controls/NoBackgroundTableView.hpp"

#include "Tavrix/Controls/ScrollViewBackground.hpp"

namespace Tavrix {

namespace {

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
