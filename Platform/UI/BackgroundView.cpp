#include "Platform/UI/BackgroundView.hpp"

#include <utility>

namespace platform {

void BackgroundView::setDrawsBackground(bool draws) {
  drawsBackground_ = draws;
  setNeedsDisplay(true);
}

void BackgroundView::setBackgroundColor(ColorRef color) {
  backgroundColor_ = std::move(color);
  setNeedsDisplay(true);
}

void BackgroundView::draw(const Rect&) {
  if (drawsBackground_) {
    fillBackground(backgroundColor_, bounds());
  }
}

}  // namespace platform
