#include "Tavrix/Controls/HorizontalProgressView.hpp"

#include <utility>

#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

constexpr double trackAlpha = 0.22;

[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<HorizontalProgressView>(
      "HorizontalProgressView", "View",
      {{"cornerRadius", platform::inspectable(&HorizontalProgressView::cornerRadius,
                                              &HorizontalProgressView::setCornerRadius)}});
  return true;
}();

}  // namespace

HorizontalProgressView::HorizontalProgressView(const platform::Rect& frame) : SolidProgressBar(frame) {}

void HorizontalProgressView::setColor(platform::ColorRef color) {
  color_ = std::move(color);
  layout();
}

void HorizontalProgressView::setCornerRadius(double radius) {
  cornerRadius_ = radius;
  layout();
}

platform::ColorRef HorizontalProgressView::trackColor() const {
  return color_ ? color_->withAlphaComponent(trackAlpha) : SystemColors::quaternaryLabelColor();
}

platform::ColorRef HorizontalProgressView::fillColor() const {
  return color_ ? color_ : SystemColors::controlAccentColor();
}

}  // namespace Tavrix
