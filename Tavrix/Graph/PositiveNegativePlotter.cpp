#include "Tavrix/Graph/PositiveNegativePlotter.hpp"

#include <utility>

#include "Platform/Graphics/BezierPath.hpp"
#include "Tavrix/Controls/Constants.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/LineLayerStyle.hpp"
#include "Tavrix/Graph/PlotterNotifications.hpp"
#include "Tavrix/Graph/StraightLineWalk.hpp"

namespace Tavrix {

using platform::Layer;
using platform::Size;

PositiveNegativePlotter::PositiveNegativePlotter(platform::ColorRef positive, platform::ColorRef negative)
    : positive_(std::move(positive)),
      negative_(std::move(negative)),
      initialThickness_(2 * Constants::onePixel()),
      initialColor_(SystemColors::systemGray()) {}

void PositiveNegativePlotter::setDrawNilMode(DrawNilMode mode) {
  drawNilMode_ = mode;
  tellNeedsRedraw(*this);
}

void PositiveNegativePlotter::removeLayers() {
  LinePlotter::removeLayers();
  if (initialLayer_) {
    initialLayer_->removeFromSuperlayer();
  }
}

platform::ColorRef PositiveNegativePlotter::lineColor() const {
  if (data_.empty() || !data_.back()) {
    return platform::Color::black();
  }
  const double newest = *data_.back();
  if (initial_ < newest) {
    return positive_;
  }
  if (newest < initial_) {
    return negative_;
  }
  return platform::Color::black();
}

void PositiveNegativePlotter::draw(const std::shared_ptr<Layer>& layer, double min, double max,
                                   double bottomInset) {
  if (!layer || !startPass(min, max)) {
    return;
  }
  const platform::ColorRef color = lineColor();
  strokeLayer_ = std::make_shared<GradientLayer>(layer, std::vector{color, color}, layer->bounds());
  initialLayer_ = std::make_shared<GradientLayer>(
      layer, std::vector{SystemColors::separatorColor(), SystemColors::separatorColor()}, layer->bounds());
  drawInitialLine(layer, min, max, bottomInset);
  drawLine(layer, min, max, bottomInset);
}

double PositiveNegativePlotter::yPosition(std::optional<double> value, double min, double max, Size size,
                                          double bottomInset) const {
  return straightLineY(value, min, max, size.height - bottomInset - lineWidth());
}

void PositiveNegativePlotter::drawInitialLine(const std::shared_ptr<Layer>& layer, double min, double max,
                                              double bottomInset) {
  if (!initialLayer_) {
    return;  // called before any drawing pass made the reference line's layer
  }
  const double y = yPosition(initial_, min, max, layer->bounds().size, bottomInset) + 1;
  platform::BezierPath path;
  path.move({0, y});
  path.line({layer->frame().width(), y});
  initialLayer_->setStrokeColor(initialColor_);
  initialLayer_->setFillColor(nullptr);
  initialLayer_->setLineWidth(initialThickness_);
  initialLayer_->setLineDashPhase(initialLineDashPhase_);
  initialLayer_->setLineDashPattern(initialLineDashPattern_);
  initialLayer_->setPath(path);
}

void PositiveNegativePlotter::drawLine(const std::shared_ptr<Layer>& layer, double min, double max,
                                       double bottomInset) {
  thinForWidth(*layer);
  if (mData_.size() < 2 || (drawNilMode_ != DrawNilMode::drawMinValue && !mData_.front())) {
    return;
  }
  const StraightLineWalk walk(mData_, layer->bounds().size, min, max, bottomInset, lineWidth(),
                              drawNilMode_ == DrawNilMode::stop);
  calculatedPoints_ = walk.points;
  if (!strokeLayer_) {
    return;
  }
  strokeLine(*strokeLayer_, *this, polyline(walk.points));
}

}  // namespace Tavrix
