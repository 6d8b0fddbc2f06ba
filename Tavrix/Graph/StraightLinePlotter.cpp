#include "Tavrix/Graph/StraightLinePlotter.hpp"

#include <cmath>
#include <cstddef>
#include <utility>

#include "Platform/Graphics/BezierPath.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Graph/LineLayerStyle.hpp"
#include "Tavrix/Graph/PlotterDots.hpp"
#include "Tavrix/Graph/PlotterNotifications.hpp"

namespace Tavrix {

using platform::BezierPath;
using platform::Layer;
using platform::Point;
using platform::Size;

StraightLinePlotter::StraightLinePlotter(std::vector<platform::ColorRef> colors)
    : AreaLinePlotter(std::move(colors), true) {}

StraightLinePlotter::StraightLinePlotter(platform::ColorRef strokeColor, bool fillArea)
    : AreaLinePlotter({Colors::gradientStart(), Colors::gradientEnd()}, fillArea) {
  setStrokeColor(std::move(strokeColor));
}

void StraightLinePlotter::setDrawNilMode(DrawNilMode mode) {
  drawNilMode_ = mode;
  tellNeedsRedraw(*this);
}

void StraightLinePlotter::draw(const std::shared_ptr<Layer>& layer, double min, double max,
                               double bottomInset) {
  if (!layer || !startPass(min, max)) {
    return;
  }
  makeLayers(layer);
  if (points().empty()) {
    drawLine(layer, min, max, bottomInset);
    if (fillArea()) {
      drawArea(layer, min, max, bottomInset);
    }
  } else {
    drawPoints(layer, max, bottomInset);
  }
}

double StraightLinePlotter::yPosition(std::optional<double> value, double min, double max, Size size,
                                      double bottomInset) const {
  return straightLineY(value, min, max, size.height - bottomInset - lineWidth());
}

void StraightLinePlotter::drawCircle(const std::shared_ptr<Layer>& layer, const platform::ColorRef& color,
                                     double radius, Point centre) {
  addDot(layer, BezierPath::oval({centre.x - radius, centre.y - radius, 2 * radius, 2 * radius}),
         color->rgba(), markerLayers_);
}

std::optional<StraightLineWalk> StraightLinePlotter::walkSeries(const std::shared_ptr<Layer>& layer,
                                                                double min, double max,
                                                                double bottomInset) const {
  const bool gapsEndTheLine = drawNilMode_ != DrawNilMode::drawMinValue;
  if (mData_.size() < 2 || (gapsEndTheLine && !mData_.front())) {
    return std::nullopt;
  }
  return StraightLineWalk(mData_, layer->bounds().size, min, max, bottomInset, lineWidth(), gapsEndTheLine);
}

void StraightLinePlotter::drawDots(const std::shared_ptr<Layer>& layer, const StraightLineWalk& walk,
                                   double min) {
  // Neither the first nor the last sample of the series is marked, nor a missing or NaN one.
  for (std::size_t i = 1; i < walk.points.size() && i + 1 < mData_.size(); ++i) {
    const std::optional<double>& value = mData_[i];
    if (value && !std::isnan(*value) && *value > min) {
      drawMarker(layer, walk.points[i]);
    }
  }
  if (walk.endedAtGap && drawNilMode_ == DrawNilMode::stopAndHighlightPreviousValue) {
    drawCircle(layer, strokeColor()->withAlphaComponent(0.25), outerMarkerRadius_, walk.points.back());
    drawCircle(layer, strokeColor(), innerMarkerRadius_, walk.points.back());
  }
}

void StraightLinePlotter::drawLine(const std::shared_ptr<Layer>& layer, double min, double max,
                                   double bottomInset) {
  thinForWidth(*layer);
  const std::optional<StraightLineWalk> walk = walkSeries(layer, min, max, bottomInset);
  if (!walk) {
    return;
  }
  calculatedPoints_ = walk->points;
  drawDots(layer, *walk, min);
  if (!strokeLayer_) {
    return;  // called before any drawing pass made the line's layer
  }
  strokeLine(*strokeLayer_, *this, polyline(walk->points));
}

void StraightLinePlotter::drawArea(const std::shared_ptr<Layer>& layer, double min, double max,
                                   double bottomInset) {
  const std::optional<StraightLineWalk> walk = walkSeries(layer, min, max, bottomInset);
  if (!walk) {
    return;
  }
  drawDots(layer, *walk, min);
  if (!fillLayer_) {
    return;
  }
  BezierPath path = polyline(walk->points);
  closeArea(path, layer->bounds().size, bottomInset);
  fillUnderLine(*fillLayer_, *this, path);
}

void StraightLinePlotter::drawPoints(const std::shared_ptr<Layer>& layer, double max, double bottomInset) {
  const Size size = layer->bounds().size;
  placePoints(size, max, bottomInset, 0);
  if (!strokeLayer_ || calculatedPoints_.empty()) {
    return;
  }
  BezierPath path = polyline(calculatedPoints_);
  strokeLayer_->setColors(colors());
  if (fillArea()) {
    // The line's own gradient fills the area; its fill stays the default black.
    closeArea(path, size, bottomInset);
  } else {
    strokeLayer_->setFillColor(nullptr);
  }
  strokeLayer_->setPath(path);
  applyLineStyle(*strokeLayer_, *this);
}

}  // namespace Tavrix
