#include "Tavrix/Controls/HoverView.hpp"

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/UI/TrackingArea.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

constexpr std::uint64_t trackingOptions = platform::TrackingArea::mouseEnteredAndExited |
                                          platform::TrackingArea::activeAlways |
                                          platform::TrackingArea::inVisibleRect;

[[maybe_unused]] const bool classDefined = [] {
  using platform::inspectable;
  platform::ViewClass::define<HoverView>(
      "HoverView", "View",
      {{"radius", inspectable(&HoverView::radius, &HoverView::setRadius)},
       {"enableHover", inspectable(&HoverView::enableHover, &HoverView::setEnableHover)},
       {"hoverColor", inspectable(&HoverView::hoverColor, &HoverView::setHoverColor)}});
  return true;
}();

}  // namespace

HoverView::HoverView(const platform::Rect& frame)
    : platform::View(frame), hoverColor_(SystemColors::highlightColor()) {}

void HoverView::setRadius(double radius) {
  radius_ = radius;
  setNeedsDisplay(true);
}

void HoverView::resetHover() {
  if (enableHover_) {
    setMouseOver(false);
  }
}

void HoverView::awakeFromNib() {
  platform::View::awakeFromNib();
  addTrackingArea(platform::TrackingArea::create(bounds(), trackingOptions, shared_from_this()));
}

void HoverView::viewDidChangeEffectiveAppearance() {
  platform::View::viewDidChangeEffectiveAppearance();
  setNeedsDisplay(true);
}

void HoverView::mouseEntered(const platform::Event& event) {
  platform::View::mouseEntered(event);
  if (enableHover_) {
    setMouseOver(true);
  }
}

void HoverView::mouseExited(const platform::Event& event) {
  platform::View::mouseExited(event);
  if (enableHover_) {
    setMouseOver(false);
  }
}

void HoverView::setMouseOver(bool over) {
  mouseOver_ = over;
  setNeedsDisplay(true);
}

void HoverView::draw(const platform::Rect& dirtyRect) {
  platform::GraphicsContext* context = platform::GraphicsContext::current();
  if (!mouseOver_ || context == nullptr) {
    platform::View::draw(dirtyRect);
    return;
  }
  context->setFillColor(hoverColor_ ? hoverColor_->rgba() : platform::Rgba{0, 0, 0, 0});
  context->fill(platform::BezierPath::roundedRect(bounds(), highlightRadius, highlightRadius));
}

}  // namespace Tavrix
