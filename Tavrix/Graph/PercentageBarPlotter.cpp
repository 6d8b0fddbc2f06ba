#include "Tavrix/Graph/PercentageBarPlotter.hpp"

#include "Platform/Graphics/BezierPath.hpp"
#include "Tavrix/Controls/Constants.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"
#include "Tavrix/Graph/PlotterNotifications.hpp"

namespace Tavrix {

PercentageBarPlotter::PercentageBarPlotter(platform::ColorRef color)
    : color_(std::move(color)), lineWidth_(2 * Constants::onePixel()) {}

void PercentageBarPlotter::update(PlotterData) { tellDataUpdated(*this); }

void PercentageBarPlotter::draw(const std::shared_ptr<platform::Layer>& layer, double, double, double) {
  drawBar(layer);
}

void PercentageBarPlotter::clear() {
  barLayer_->removeFromSuperlayer();
  forgetSeries();
}

void PercentageBarPlotter::drawBar(const std::shared_ptr<platform::Layer>& layer) {
  if (!layer) {
    return;
  }
  barLayer_->removeFromSuperlayer();
  if (end_ - start_ < minDelta_) {
    return;
  }
  const platform::Rect bounds = layer->bounds();
  const platform::Rect band(start_ * bounds.width(), lineWidth_ / 2, (end_ - start_) * bounds.width(),
                            bounds.height());
  barLayer_->setContentsScale(mainScreenScale());
  barLayer_->setPath(NSBezierPath::cgPath(platform::BezierPath::rect(band)));
  barLayer_->setLineWidth(lineWidth_);
  barLayer_->setStrokeColor(color_->rgba());
  barLayer_->setFillColor(color_->withAlphaComponent(fillAlpha_)->rgba());
  layer->addSublayer(barLayer_);
}

}  // namespace Tavrix
