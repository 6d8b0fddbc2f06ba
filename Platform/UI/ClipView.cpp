#include "Platform/UI/ClipView.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

namespace platform {

void ClipView::didInit() {
  View::didInit();
  setWantsLayer(true);
  layer()->setMasksToBounds(true);
}

void ClipView::setDocumentView(std::shared_ptr<View> view) {
  if (documentView_) {
    documentView_->removeFromSuperview();
  }
  documentView_ = std::move(view);
  scrollPosition_ = Point();
  if (documentView_) {
    addSubview(documentView_);
    placeDocument();
  }
}

bool ClipView::scrollToPoint(Point point) {
  const Point before = scrollPosition_;
  // A coordinate that is not a number keeps the current one, so the document never lands nowhere.
  point = {std::isfinite(point.x) ? point.x : before.x, std::isfinite(point.y) ? point.y : before.y};
  const Size document = documentView_ ? documentView_->frame().size : Size{0, 0};
  scrollPosition_ = {std::clamp(point.x, 0.0, std::max(document.width - bounds().width(), 0.0)),
                     std::clamp(point.y, 0.0, std::max(document.height - bounds().height(), 0.0))};
  placeDocument();
  return scrollPosition_ != before;
}

void ClipView::layout() {
  View::layout();
  scrollToPoint(scrollPosition_);
}

void ClipView::placeDocument() {
  if (documentView_) {
    documentView_->setFrameOrigin({-scrollPosition_.x, -scrollPosition_.y});
  }
}

}  // namespace platform
