#include "Tavrix/Controls/ProgressView.hpp"

#include <stdexcept>
#include <utility>

#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<ProgressView>("ProgressView", "View");
  return true;
}();

}  // namespace

ProgressView::ProgressView(const platform::Rect& frame)
    : SolidProgressBar(frame), color_(SystemColors::controlAccentColor()) {}

void ProgressView::setColor(platform::ColorRef color) {
  if (!color) {
    throw std::invalid_argument("ProgressView: the colour is null");
  }
  color_ = std::move(color);
  layout();
}

void ProgressView::setRoundCorners(bool roundCorners) {
  roundCorners_ = roundCorners;
  layout();
}

void ProgressView::setAlpha(double alpha) {
  alpha_ = alpha;
  layout();
}

double ProgressView::layerCornerRadius() const { return roundCorners_ ? bounds().height() * 0.5 : 0; }

platform::ColorRef ProgressView::trackColor() const { return color_->withAlphaComponent(alpha_); }

platform::ColorRef ProgressView::fillColor() const { return color_; }

}  // namespace Tavrix
