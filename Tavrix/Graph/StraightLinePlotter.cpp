#include "Tavrix/Graph/StraightLinePlotter.hpp"

#include <cmath>
#include <cstddef>
#include <utility>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/RemoveAllFromSuperlayer.hpp"
#include "Tavrix/Controls/CALayer.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/Constants.hpp"
#include "Tavrix/Graph/LineLayerStyle.hpp"
#include "Tavrix/Graph/PlotterDots.hpp"
#include "Tavrix/Graph/PlotterNotifications.hpp"
#include "Tavrix/Graph/SeriesThinning.hpp"

namespace Tavrix {

using platform::BezierPath;
using platform::Layer;
using platform::Point;
using platform::Size;

StraightLinePlotter::StraightLinePlotter(std::vector<platform::ColorRef> colors)
    : colors_(std::move(colors)),
      fillColors_{Colors::gradientStart()->withAlphaComponent(0.6),
                  Colors::gradientEnd()->withAlphaComponent(0.25)},
      lineWidth_(4 * Constants::onePixel()),
      strokeColor_(Colors::gradientStart()) {}

StraightLinePlotter::StraightLinePlotter(platform::ColorRef strokeColor, bool fillArea)
    : StraightLinePlotter(std::vector<platform::ColorRef>{Colors::gradientStart(), Colors::gradientEnd()}) {
  strokeColor_ = std::move(strokeColor);
  fillArea_ = fillArea;
}

void StraightLinePlotter::update(PlotterData data) {
  updateOnMainThread(*this, std::move(data), [this](PlotterData stored) {
    data_ = stored;
    mData_ = std::move(stored);
  });
}

void StraightLinePlotter::setDrawNilMode(DrawNilMode mode) {
  drawNilMode_ = mode;
  tellNeedsRedraw(*this);
}

void StraightLinePlotter::setPoints(std::vector<Point> points) {
  points_ = std::move(points);
  tellNeedsRedraw(*this);
}

void StraightLinePlotter::removeLayers() {
  if (strokeLayer_) {
    strokeLayer_->removeFromSuperlayer();
  }
  if (fillLayer_) {
    fillLayer_->removeFromSuperlayer();
  }
  platform::removeAllFromSuperlayer(markerLayers_);
}

void StraightLinePlotter::draw(const std::shared_ptr<Layer>& layer, double min, double max,
                               double bottomInset) {
  if (!layer) {
    return;
  }
  calculatedPoints_.clear();
  removeLayers();
  if (!(max > 0) || !(min <= max)) {
    return;
  }
  strokeLayer_ = std::make_shared<GradientLayer>(layer, colors_, layer->bounds());
  if (fillArea_) {
    fillLayer_ = std::make_shared<GradientLayer>(layer, fillColors_, layer->bounds());
  }
  if (points_.empty()) {
    drawLine(layer, min, max, bottomInset);
    if (fillArea_) {
      drawArea(layer, min, max, bottomInset);
    }
  } else {
    drawPoints(layer, max, bottomInset);
  }
}

void StraightLinePlotter::clear() {
  removeLayers();
  delegate_.reset();
  data_.clear();
  mData_.clear();
  setPoints({});
  calculatedPoints_.clear();
}

double StraightLinePlotter::yPosition(std::optional<double> value, double min, double max, Size size,
                                      double bottomInset) const {
  return straightLineY(value, min, max, size.height - bottomInset - lineWidth_);
}

void StraightLinePlotter::drawMarker(const std::shared_ptr<Layer>& layer, Point point) {
  if (strokeLayer_ && lineJoinMarker_ == LineJoinMarker::circle) {
    addDot(layer, markerOutline(point, lineJoinMarkerThickness_),
           CALayer::color(*strokeLayer_->gradientLayer(), point), markerLayers_);
  }
}

void StraightLinePlotter::drawCircle(const std::shared_ptr<Layer>& layer, const platform::ColorRef& color,
                                     double radius, Point centre) {
  addDot(layer, BezierPath::oval({centre.x - radius, centre.y - radius, 2 * radius, 2 * radius}),
         color->rgba(), markerLayers_);
}

void StraightLinePlotter::truncate(double width) {
  if (!truncated_) {
    mData_ = thinnedSeries(data_, width, minimumDistance_);
  }
}

std::optional<StraightLineWalk> StraightLinePlotter::walkSeries(const std::shared_ptr<Layer>& layer,
                                                                double min, double max,
                                                                double bottomInset) const {
  const bool gapsEndTheLine = drawNilMode_ != DrawNilMode::drawMinValue;
  if (mData_.size() < 2 || (gapsEndTheLine && !mData_.front())) {
    return std::nullopt;
  }
  return StraightLineWalk(mData_, layer->bounds().size, min, max, bottomInset, lineWidth_, gapsEndTheLine);
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
    drawCircle(layer, strokeColor_->withAlphaComponent(0.25), outerMarkerRadius_, walk.points.back());
    drawCircle(layer, strokeColor_, innerMarkerRadius_, walk.points.back());
  }
}

void StraightLinePlotter::drawLine(const std::shared_ptr<Layer>& layer, double min, double max,
                                   double bottomInset) {
  if (truncateData_ && !truncated_) {
    truncate(layer->frame().width());
  }
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
  const Size size = layer->bounds().size;
  BezierPath path = polyline(walk->points);
  closeArea(path, size, bottomInset);
  fillUnderLine(*fillLayer_, *this, path);
}

void StraightLinePlotter::drawPoints(const std::shared_ptr<Layer>& layer, double max, double bottomInset) {
  const Size size = layer->bounds().size;
  const double usable = size.height - bottomInset - lineWidth_;
  for (const Point& point : points_) {
    const double x = std::isnan(point.x) ? size.width - lineWidth_ : point.x / maxX_ * size.width;
    const double y = std::isnan(point.y) ? usable : usable - point.y / max * usable;
    calculatedPoints_.push_back({x, y});
  }
  if (!strokeLayer_ || calculatedPoints_.empty()) {
    return;
  }
  BezierPath path = polyline(calculatedPoints_);
  strokeLayer_->setColors(colors_);
  if (fillArea_) {
    // The line's own gradient fills the area; its fill stays the default black.
    closeArea(path, size, bottomInset);
  } else {
    strokeLayer_->setFillColor(nullptr);
  }
  strokeLayer_->setPath(path);
  applyLineStyle(*strokeLayer_, *this);
}

void StraightLinePlotter::closeArea(BezierPath& path, Size size, double bottomInset) const {
  path.line({size.width + lineWidth_, size.height - bottomInset});
  path.line({-lineWidth_, size.height - bottomInset});
  path.close();
}

}  // namespace Tavrix
