#include "Tavrix/Controls/GradientTileView.hpp"

#include <utility>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/UI/Shadow.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/Constants.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"
#include "Tavrix/Controls/NSView.hpp"

namespace Tavrix {

namespace {

constexpr double shadowRadius = 8;

[[maybe_unused]] const bool classDefined = [] {
  using platform::inspectable;
  platform::ViewClass::define<GradientTileView>(
      "GradientTileView", "View",
      {{"disableInteraction",
        inspectable(&GradientTileView::disableInteraction, &GradientTileView::setDisableInteraction)},
       {"borderThickness",
        inspectable(&GradientTileView::borderThickness, &GradientTileView::setBorderThickness)},
       {"drawShadow", inspectable(&GradientTileView::drawShadow, &GradientTileView::setDrawShadow)}});
  return true;
}();

}  // namespace

GradientTileView::GradientTileView(const platform::Rect& frame)
    : platform::View(frame),
      colors_{platform::Color::rgb(145.0 / 255, 106.0 / 255, 223.0 / 255, 0.5),
              platform::Color::rgb(210.0 / 255, 103.0 / 255, 130.0 / 255, 0.5)},
      borderColor_(platform::Color::gray()->withAlphaComponent(0.4)),
      borderThickness_(Constants::onePixel()) {}

void GradientTileView::didInit() {
  platform::View::didInit();
  drawTile();
}

void GradientTileView::setColors(std::vector<platform::ColorRef> colors) {
  colors_ = std::move(colors);
  drawTile();
}

void GradientTileView::setBorderColor(platform::ColorRef color) {
  borderColor_ = std::move(color);
  drawTile();
}

void GradientTileView::setBorderThickness(double thickness) {
  borderThickness_ = thickness;
  drawTile();
}

void GradientTileView::setDrawShadow(bool draw) {
  drawShadow_ = draw;
  drawTile();
}

void GradientTileView::layout() {
  platform::View::layout();
  drawTile();
}

void GradientTileView::mouseDown(const platform::Event& event) {
  if (!disableInteraction_) {
    platform::View::mouseDown(event);
  }
}

void GradientTileView::drawTile() {
  setWantsLayer(true);
  platform::Layer& backing = *layer();
  if (const auto& sublayers = backing.sublayers()) {
    for (const auto& sublayer : platform::Layer::LayerList(*sublayers)) sublayer->removeFromSuperlayer();
    backing.setSublayers(platform::Layer::LayerList{});
  }
  const platform::Appearance& appearance = effectiveAppearance();
  backing.setCornerRadius(cornerRadius);
  backing.setMasksToBounds(true);
  backing.setBorderWidth(borderThickness_);
  backing.setBorderColor(borderColor_ ? std::optional(borderColor_->rgba(appearance)) : std::nullopt);

  const platform::Rect bounds = this->bounds();
  auto mask = std::make_shared<platform::ShapeLayer>();
  mask->setCornerRadius(cornerRadius);
  mask->setMasksToBounds(true);
  mask->setContentsScale(mainScreenScale());
  mask->setFrame(bounds);
  mask->setPath(NSBezierPath::cgPath(platform::BezierPath::roundedRect(bounds, cornerRadius, cornerRadius)));

  auto gradient = std::make_shared<platform::GradientLayer>();
  gradient->setFrame(bounds);
  std::vector<platform::Rgba> stops;
  for (const platform::ColorRef& color : colors_) {
    stops.push_back(color ? color->rgba(appearance) : platform::Rgba{0, 0, 0, 0});
  }
  gradient->setColors(std::move(stops));
  gradient->setStartPoint({0, 0});
  gradient->setEndPoint({1, 1});
  gradient->setContentsScale(mainScreenScale());
  gradient->setMask(mask);
  backing.addSublayer(gradient);

  if (drawShadow_) {
    const bool dark = NSView::isDark(*this);
    setShadow(platform::Shadow{});
    backing.setShadowOpacity(dark ? 0.25 : 0.15);
    backing.setShadowColor((dark ? platform::Color::black() : platform::Color::darkGray())->rgba(appearance));
    backing.setShadowOffset({0, 0});
    backing.setShadowRadius(shadowRadius);
  } else {
    setShadow(std::nullopt);
    backing.setShadowOpacity(0);
    backing.setShadowColor(std::nullopt);
    backing.setShadowRadius(0);
  }
}

}  // namespace Tavrix
