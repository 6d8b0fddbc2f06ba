#include "Platform/UI/TableView.hpp"

#include <utility>

namespace platform {

TableView::TableView(const Rect& frame)
    : View(frame), headerView_(View::create(Rect(0, 0, frame.width(), headerHeight))) {}

void TableView::setBackgroundColor(ColorRef color) {
  backgroundColor_ = std::move(color);
  setNeedsDisplay(true);
}

void TableView::draw(const Rect&) { fillBackground(backgroundColor_, bounds()); }

}  // namespace platform
