#include "Tavrix/Controls/SimpleTileView.hpp"

#include "Platform/Graphics/AffineTransform.hpp"
#include "Platform/UI/Shadow.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/NSView.hpp"
#include "Tavrix/Controls/Rgb255.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

namespace {

constexpr double defaultBorderWidth = 2;
constexpr double defaultBorderAlpha = 0.75;
constexpr double defaultSelectionWidth = 3;
constexpr double shadowRadius = 8;
constexpr double restingShadowOpacity = 0.15;
constexpr double glowOpacityDark = 0.06;
constexpr double glowOpacityLight = 0.16;
constexpr platform::Rgba darkBackground = rgba255(60, 64, 75, 0.6);
constexpr platform::Rgba lightBackground{1, 1, 1, 0.35};

[[maybe_unused]] const bool classDefined = [] {
  using platform::inspectable;
  platform::ViewClass::define<SimpleTileView>(
      "SimpleTileView", "View",
      {{"disableInteraction",
        inspectable(&SimpleTileView::disableInteraction, &SimpleTileView::setDisableInteraction)},
       {"tag", inspectable(&SimpleTileView::tag, &SimpleTileView::setTag)},
       {"allowHover", inspectable(&SimpleTileView::allowHover, &SimpleTileView::setAllowHover)},
       {"enableSelection",
        inspectable(&SimpleTileView::enableSelection, &SimpleTileView::setEnableSelection)},
       {"isSelected", inspectable(&SimpleTileView::isSelected, &SimpleTileView::setIsSelected)}});
  return true;
}();

}  // namespace

SimpleTileView::SimpleTileView(const platform::Rect& frame) : platform::View(frame) {}

void SimpleTileView::didInit() {
  platform::View::didInit();
  refreshAppearance();
  replaceTrackingArea();
}

void SimpleTileView::setEnableSelection(bool enable) {
  enableSelection_ = enable;
  refreshAppearance();
}

void SimpleTileView::setIsSelected(bool selected) {
  isSelected_ = selected;
  refreshAppearance();
}

void SimpleTileView::resetHover() {
  if (!allowHover_) {
    return;
  }
  platform::Layer& layer = backingLayer();
  layer.setBorderWidth(0);
  layer.setBorderColor(std::nullopt);
  isMouseEntered_ = false;
  refreshAppearance();
}

void SimpleTileView::deselect() {
  isSelected_ = false;
  isMouseEntered_ = false;
  refreshAppearance();
  layout();
}

platform::Layer& SimpleTileView::backingLayer() {
  setWantsLayer(true);
  return *layer();
}

void SimpleTileView::removeShift() { shiftBy(0); }

void SimpleTileView::applyShift() { shiftBy(shiftOffset); }

void SimpleTileView::shiftBy(double dx) {
  platform::Layer& layer = backingLayer();
  layer.setPosition(frame().center());
  layer.setAnchorPoint({0.5, 0.5});
  layer.setTransform(platform::AffineTransform::translation(dx, 0));
}

void SimpleTileView::refreshAppearance() {
  platform::Layer& layer = backingLayer();
  const platform::Appearance& appearance = effectiveAppearance();
  layer.setCornerRadius(cornerRadius);
  layer.setMasksToBounds(true);
  layer.setBackgroundColor(NSView::isDark(*this) ? darkBackground : lightBackground);
  applyShadow();

  if (enableSelection_ && isSelected_) {
    layer.setBorderWidth(selectionWidth_.value_or(defaultSelectionWidth));
    layer.setBorderColor((selectionColor_ ? selectionColor_ : SystemColors::systemBlue())->rgba(appearance));
  } else if (allowHover_ && isMouseEntered_ && hoverDisplayMode_ == HoverDisplayMode::rectangle) {
    layer.setBorderWidth(borderWidth_.value_or(defaultBorderWidth));
    const platform::ColorRef color =
        borderColor_ ? borderColor_ : SystemColors::systemBlue()->withAlphaComponent(defaultBorderAlpha);
    layer.setBorderColor(color->rgba(appearance));
  } else {
    layer.setBorderWidth(0);
    layer.setBorderColor(std::nullopt);
  }
}

void SimpleTileView::applyShadow() {
  platform::Layer& layer = backingLayer();
  if (NSView::isDark(*this)) {
    setShadow(std::nullopt);
    layer.setShadowOpacity(0);
    layer.setShadowColor(std::nullopt);
    layer.setShadowOffset({0, 0});
    layer.setShadowRadius(0);
    return;
  }
  setShadow(platform::Shadow());
  layer.setShadowOpacity(restingShadowOpacity);
  layer.setShadowColor(platform::Color::darkGray()->rgba(effectiveAppearance()));
  layer.setShadowOffset({0, 0});
  layer.setShadowRadius(shadowRadius);
}

void SimpleTileView::applyGlow() {
  setShadow(platform::Shadow());
  platform::Layer& layer = backingLayer();
  layer.setShadowOpacity(NSView::isDark(*this) ? glowOpacityDark : glowOpacityLight);
  const platform::ColorRef color = borderColor_ ? borderColor_ : SystemColors::controlAccentColor();
  layer.setShadowColor(color->rgba(effectiveAppearance()));
  layer.setShadowOffset({0, 0});
  layer.setShadowRadius(shadowRadius);
}

void SimpleTileView::layout() {
  platform::View::layout();
  refreshAppearance();
  replaceTrackingArea();
}

void SimpleTileView::replaceTrackingArea() {
  if (trackingArea_) {
    removeTrackingArea(trackingArea_);
  }
  trackingArea_ = platform::TrackingArea::create(
      bounds(), platform::TrackingArea::mouseEnteredAndExited | platform::TrackingArea::activeInKeyWindow,
      shared_from_this());
  addTrackingArea(trackingArea_);
}

void SimpleTileView::mouseDown(const platform::Event& event) {
  if (disableInteraction_) {
    return;
  }
  platform::View::mouseDown(event);
  if (const std::shared_ptr<SimpleTileViewDelegate> delegate = delegate_.lock()) {
    delegate->simpleTileViewClicked(*this);
  }
}

void SimpleTileView::mouseEntered(const platform::Event& event) {
  platform::View::mouseEntered(event);
  if (const std::shared_ptr<SimpleTileViewDelegate> delegate = delegate_.lock()) {
    delegate->simpleTileViewMouseEntered(*this);
  }
  if (!allowHover_) {
    return;
  }
  switch (hoverDisplayMode_) {
    case HoverDisplayMode::rectangle:
      isMouseEntered_ = true;
      refreshAppearance();
      break;
    case HoverDisplayMode::shift:
      // The slide is a 0.2 second animation group on the platform; layer changes here take effect at once.
      applyShift();
      break;
    case HoverDisplayMode::shadow: applyGlow(); break;
  }
}

void SimpleTileView::mouseExited(const platform::Event& event) {
  platform::View::mouseExited(event);
  if (const std::shared_ptr<SimpleTileViewDelegate> delegate = delegate_.lock()) {
    delegate->simpleTileViewMouseExited(*this);
  }
  if (!allowHover_) {
    return;
  }
  applyShadow();
  switch (hoverDisplayMode_) {
    case HoverDisplayMode::rectangle:
      isMouseEntered_ = false;
      refreshAppearance();
      break;
    case HoverDisplayMode::shift: removeShift(); break;
    case HoverDisplayMode::shadow: break;
  }
}

}  // namespace Tavrix
