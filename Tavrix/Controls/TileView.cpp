#include "Tavrix/Controls/TileView.hpp"

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/UI/TrackingArea.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/Rgb255.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

// Entered and exited, always active, over the visible rectangle.
constexpr std::uint64_t trackingOptions = platform::TrackingArea::mouseEnteredAndExited |
                                          platform::TrackingArea::activeAlways |
                                          platform::TrackingArea::inVisibleRect;
constexpr double selectionWidth = 3;

[[maybe_unused]] const bool classDefined = [] {
  using platform::inspectable;
  platform::ViewClass::define<TileView>(
      "TileView", "View",
      {{"radius", inspectable(&TileView::radius, &TileView::setRadius)},
       {"isSelected", inspectable(&TileView::isSelected, &TileView::setIsSelected)},
       {"disableInteraction", inspectable(&TileView::disableInteraction, &TileView::setDisableInteraction)},
       {"enableHover", inspectable(&TileView::enableHover, &TileView::setEnableHover)}});
  return true;
}();

}  // namespace

void TileView::setRadius(double radius) {
  radius_ = radius;
  setNeedsDisplay(true);
}

void TileView::setIsSelected(bool selected) {
  isSelected_ = selected;
  setNeedsDisplay(true);
}

void TileView::resetHover() {
  if (enableHover_) {
    mouseOver_ = false;
    setNeedsDisplay(true);
  }
}

void TileView::awakeFromNib() {
  platform::View::awakeFromNib();
  addTrackingArea(platform::TrackingArea::create(bounds(), trackingOptions, shared_from_this()));
}

void TileView::viewDidChangeEffectiveAppearance() {
  platform::View::viewDidChangeEffectiveAppearance();
  setNeedsDisplay(true);
}

void TileView::mouseEntered(const platform::Event& event) {
  platform::View::mouseEntered(event);
  if (enableHover_) {
    mouseOver_ = true;
    setNeedsDisplay(true);
    if (const auto listener = delegate()) listener->tileViewMouseEntered(*this);
  }
}

void TileView::mouseExited(const platform::Event& event) {
  platform::View::mouseExited(event);
  if (enableHover_) {
    mouseOver_ = false;
    setNeedsDisplay(true);
    if (const auto listener = delegate()) listener->tileViewMouseExited(*this);
  }
}

void TileView::mouseDown(const platform::Event& event) {
  if (!disableInteraction_) {
    platform::View::mouseDown(event);
  }
  if (isSelectable_) {
    if (const auto listener = delegate()) listener->tileViewClicked(*this);
  }
}

void TileView::draw(const platform::Rect&) {
  platform::GraphicsContext* context = platform::GraphicsContext::current();
  if (context == nullptr) {
    return;
  }
  const bool dark = isDarkMode();
  const platform::Rgba fill = mouseOver_ ? (dark ? rgba255(68, 70, 73) : rgba255(231, 231, 232))
                                         : (dark ? rgba255(52, 54, 57) : rgba255(247, 247, 248));
  context->setFillColor(fill);
  context->fill(platform::BezierPath::roundedRect(bounds(), radius_, radius_));
  if (isSelected_) {
    platform::BezierPath ring = platform::BezierPath::roundedRect(bounds().insetBy(1, 1), radius_, radius_);
    ring.strokeStyle().lineWidth = selectionWidth;
    context->setStrokeColor(SystemColors::linkColor()->rgba());
    context->stroke(ring);
  }
}

}  // namespace Tavrix
