#include "Tavrix/Controls/VerticalProgressView.hpp"

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<VerticalProgressView>(
      "VerticalProgressView", "View",
      {{"cornerRadius",
        platform::inspectable(&VerticalProgressView::cornerRadius, &VerticalProgressView::setCornerRadius)}});
  return true;
}();

}  // namespace

VerticalProgressView::VerticalProgressView(const platform::Rect& frame) : SolidProgressBar(frame) {}

void VerticalProgressView::setCornerRadius(double radius) {
  cornerRadius_ = radius;
  layout();
}

platform::ColorRef VerticalProgressView::trackColor() const { return SystemColors::quaternaryLabelColor(); }

platform::ColorRef VerticalProgressView::fillColor() const { return SystemColors::controlAccentColor(); }

platform::Path VerticalProgressView::progressLine(const platform::Rect& bounds) const {
  platform::BezierPath line;
  line.move({bounds.width() * 0.5, 0});
  line.line({bounds.width() * 0.5, bounds.height()});
  return NSBezierPath::cgPath(line);
}

}  // namespace Tavrix
