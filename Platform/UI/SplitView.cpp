#include "Platform/UI/SplitView.hpp"

#include <algorithm>

#include "Platform/Graphics/GraphicsContext.hpp"

namespace platform {

void SplitView::setVertical(bool vertical) {
  vertical_ = vertical;
  setNeedsLayout(true);
  setNeedsDisplay(true);
}

double SplitView::paneLength(std::size_t count) const {
  const double total = vertical_ ? bounds().width() : bounds().height();
  const double dividers = dividerThickness() * static_cast<double>(count - 1);
  return std::max((total - dividers) / static_cast<double>(count), 0.0);
}

Rect SplitView::dividerRect(std::size_t index, std::size_t count) const {
  const double step = paneLength(count) + dividerThickness();
  const double at = step * static_cast<double>(index + 1) - dividerThickness();
  const Rect all = bounds();
  // Stacked panes run from the top down.
  return vertical_ ? Rect(at, 0, dividerThickness(), all.height())
                   : Rect(0, all.height() - at - dividerThickness(), all.width(), dividerThickness());
}

void SplitView::layout() {
  View::layout();
  const std::size_t count = subviews().size();
  const double length = count == 0 ? 0 : paneLength(count);
  const Rect all = bounds();
  for (std::size_t index = 0; index < count; ++index) {
    const double at = (length + dividerThickness()) * static_cast<double>(index);
    subviews()[index]->setFrame(vertical_ ? Rect(at, 0, length, all.height())
                                          : Rect(0, all.height() - at - length, all.width(), length));
  }
}

void SplitView::drawDivider(const Rect& rect) {
  if (GraphicsContext* context = GraphicsContext::current()) {
    context->setFillColor(Color::gray()->rgba());
    context->fillRect(rect);
  }
}

void SplitView::draw(const Rect&) {
  const std::size_t count = subviews().size();
  for (std::size_t index = 0; index + 1 < count; ++index) {
    drawDivider(dividerRect(index, count));
  }
}

}  // namespace platform
