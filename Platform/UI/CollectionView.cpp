#include "Platform/UI/CollectionView.hpp"

#include <utility>

namespace platform {

void CollectionView::setBackgroundColors(std::vector<ColorRef> colors) {
  backgroundColors_ = std::move(colors);
  setNeedsDisplay(true);
}

void CollectionView::setBackgroundView(std::shared_ptr<View> view) {
  if (backgroundView_) {
    backgroundView_->removeFromSuperview();
  }
  backgroundView_ = std::move(view);
  if (backgroundView_) {
    backgroundView_->setFrame(bounds());
    // Behind every other subview.
    ViewList views{backgroundView_};
    for (const std::shared_ptr<View>& subview : subviews()) {
      if (subview != backgroundView_) views.push_back(subview);
    }
    setSubviews(std::move(views));
  }
  setNeedsDisplay(true);
}

void CollectionView::draw(const Rect&) {
  if (!backgroundView() && !backgroundColors_.empty()) {
    fillBackground(backgroundColors_.front(), bounds());
  }
}

}  // namespace platform
