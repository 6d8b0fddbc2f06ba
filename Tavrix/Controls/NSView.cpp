#include "Tavrix/Controls/NSView.hpp"

#include <memory>

#include "Platform/UI/LayoutConstraint.hpp"

namespace Tavrix::NSView {

namespace {

void paintLayer(platform::View& view, const platform::ColorRef& color) {
  if (const std::shared_ptr<platform::Layer> layer = view.layer()) {
    layer->setBackgroundColor(color ? std::optional<platform::Rgba>(color->rgba()) : std::nullopt);
  }
}

}  // namespace

bool isDark(const platform::View& view) { return view.effectiveAppearance().isDark(); }

void removeAllSubviews(platform::View& view) {
  for (const std::shared_ptr<platform::View>& subview : platform::View::ViewList(view.subviews())) {
    subview->removeFromSuperview();
  }
  view.setSubviews({});
}

void pinToSuperview(platform::View& view) {
  const std::shared_ptr<platform::View> superview = view.superview();
  if (!superview) {
    return;
  }
  view.setTranslatesAutoresizingMaskIntoConstraints(false);
  view.topAnchor().constraintEqualTo(superview->topAnchor())->setActive(true);
  view.bottomAnchor().constraintEqualTo(superview->bottomAnchor())->setActive(true);
  view.leadingAnchor().constraintEqualTo(superview->leadingAnchor())->setActive(true);
  view.trailingAnchor().constraintEqualTo(superview->trailingAnchor())->setActive(true);
}

void roundCorners(platform::View& view, double radius) {
  view.setWantsLayer(true);
  view.layer()->setCornerRadius(radius);
}

void roundCorners(platform::View& view, double radius, const platform::ColorRef& backgroundColor) {
  roundCorners(view, radius);
  paintLayer(view, backgroundColor);
}

void setLayerBackgroundColor(platform::View& view, const platform::ColorRef& color) {
  view.setWantsLayer(true);
  paintLayer(view, color);
}

}  // namespace Tavrix::NSView
