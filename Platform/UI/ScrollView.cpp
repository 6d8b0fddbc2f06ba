#include "Platform/UI/ScrollView.hpp"

#include <algorithm>
#include <cmath>
#include <utility>

#include "Platform/UI/TableView.hpp"

namespace platform {

void ScrollView::didInit() {
  View::didInit();
  contentView_ = View::create<ClipView>(bounds());
  addSubview(contentView_);
}

void ScrollView::setDocumentView(std::shared_ptr<View> view) {
  if (headerView_) {
    headerView_->removeFromSuperview();
    headerView_.reset();
  }
  if (const auto table = std::dynamic_pointer_cast<TableView>(view)) {
    headerView_ = table->headerView();
  }
  contentView_->setDocumentView(std::move(view));
  if (headerView_) {
    addSubview(headerView_);
  }
  setNeedsLayout(true);
  layout();
}

void ScrollView::layout() {
  View::layout();
  const Rect all = bounds();
  const double header = headerView_ ? std::min(headerView_->frame().height(), all.height()) : 0;
  if (headerView_) {
    headerView_->setFrame(Rect(0, all.height() - header, all.width(), header));
  }
  contentView_->setFrame(Rect(0, 0, all.width(), all.height() - header));
  contentView_->layout();
}

void ScrollView::scrollWheel(const Event& event) {
  const Point position = contentView_->scrollPosition();
  // Scrolling up (a positive delta) shows more of the document's top; a y-up document's position rises.
  if (std::isfinite(event.scrollingDeltaX) && std::isfinite(event.scrollingDeltaY) &&
      contentView_->scrollToPoint({position.x - event.scrollingDeltaX, position.y + event.scrollingDeltaY})) {
    return;
  }
  View::scrollWheel(event);
}

// A view's scroll view is found here, where the class is known.
std::shared_ptr<ScrollView> View::enclosingScrollView() const {
  for (std::shared_ptr<View> view = superview(); view; view = view->superview()) {
    if (auto scrollView = std::dynamic_pointer_cast<ScrollView>(view)) {
      return scrollView;
    }
  }
  return nullptr;
}

}  // namespace platform
