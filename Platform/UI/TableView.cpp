#include "Platform/UI/TableView.hpp"

#include <utility>

#include "Platform/Graphics/GraphicsContext.hpp"

namespace platform {

TableView::TableView(const Rect& frame)
    : View(frame), headerView_(View::create(Rect(0, 0, frame.width(), headerHeight))) {}

void TableView::setBackgroundColor(ColorRef color) {
  backgroundColor_ = std::move(color);
  setNeedsDisplay(true);
}

void TableView::draw(const Rect&) {
  GraphicsContext* context = GraphicsContext::current();
  if (backgroundColor_ && context != nullptr) {
    context->setFillColor(backgroundColor_->rgba());
    context->fillRect(bounds());
  }
}

}  // namespace platform
