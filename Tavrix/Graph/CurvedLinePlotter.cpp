#include "Tavrix/Graph/CurvedLinePlotter.hpp"

#include <cmath>
#include <cstddef>
#include <utility>

#include "Platform/Graphics/RemoveAllFromSuperlayer.hpp"
#include "Tavrix/Controls/CALayer.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/Constants.hpp"
#include "Tavrix/Graph/LineLayerStyle.hpp"
#include "Tavrix/Graph/PlotterDots.hpp"
#include "Tavrix/Graph/PlotterNotifications.hpp"
#include "Tavrix/Graph/SeriesThinning.hpp"
#include "Tavrix/Graph/SmoothCurve.hpp"

namespace Tavrix {

using platform::BezierPath;
using platform::Layer;
using platform::Point;
using platform::Size;

CurvedLinePlotter::CurvedLinePlotter(std::vector<platform::ColorRef> colors, bool fillArea)
    : colors_(std::move(colors)),
      fillColors_{Colors::gradientStart()->withAlphaComponent(0.6),
                  Colors::gradientEnd()->withAlphaComponent(0.25)},
      fillArea_(fillArea),
      lineWidth_(4 * Constants::onePixel()),
      strokeColor_(Colors::gradientStart()) {}

void CurvedLinePlotter::update(PlotterData data) {
  updateOnMainThread(*this, std::move(data), [this](PlotterData stored) {
    data_ = stored;
    mData_ = std::move(stored);
  });
}

void CurvedLinePlotter::setPoints(std::vector<Point> points) {
  points_ = std::move(points);
  tellNeedsRedraw(*this);
}

void CurvedLinePlotter::removeLayers() {
  if (strokeLayer_) {
    strokeLayer_->removeFromSuperlayer();
  }
  if (fillLayer_) {
    fillLayer_->removeFromSuperlayer();
  }
  platform::removeAllFromSuperlayer(markerLayers_);
}

void CurvedLinePlotter::draw(const std::shared_ptr<Layer>& layer, double min, double max,
                             double bottomInset) {
  calculatedPoints_.clear();
  removeLayers();
  if (!layer || !(max > 0) || !(min <= max)) {
    return;
  }
  strokeLayer_ = std::make_shared<GradientLayer>(layer, colors_, layer->bounds());
  if (fillArea_) {
    fillLayer_ = std::make_shared<GradientLayer>(layer, fillColors_, layer->bounds());
  }
  if (!points_.empty()) {
    drawPointsLine(layer, max, bottomInset);
    if (fillArea_) {
      drawPointsArea(layer, bottomInset);
    }
  } else {
    drawLine(layer, min, max, bottomInset);
    if (fillArea_) {
      drawArea(layer, min, max, bottomInset);
    }
  }
}

void CurvedLinePlotter::clear() {
  removeLayers();
  delegate_.reset();
  data_.clear();
  mData_.clear();
  setPoints({});
  calculatedPoints_.clear();
}

double CurvedLinePlotter::yPosition(std::optional<double> value, double min, double max, Size size,
                                    double bottomInset) const {
  const double usable = size.height - bottomInset - lineWidth_;
  if (!value) {
    return usable;
  }
  if (std::isnan(*value)) {
    return usable - lineWidth_;
  }
  if (max == min) {
    return usable;
  }
  return usable - (*value - min) / (max - min) * usable;
}

void CurvedLinePlotter::drawMarker(const std::shared_ptr<Layer>& layer, Point point) {
  if (strokeLayer_ && lineJoinMarker_ == LineJoinMarker::circle) {
    addDot(layer, markerOutline(point, lineJoinMarkerThickness_),
           CALayer::color(*strokeLayer_->gradientLayer(), point), markerLayers_);
  }
}

void CurvedLinePlotter::truncate(double width) {
  if (!truncated_) {
    mData_ = thinnedSeries(data_, width, minimumDistance_);
  }
}

std::vector<Point> CurvedLinePlotter::samplePositions(Size size, double min, double max,
                                                      double bottomInset) const {
  const std::size_t count = mData_.size();
  const double step = (size.width - 2 * lineWidth_) / static_cast<double>(count - 1);
  std::vector<Point> positions;
  positions.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double x = i + 1 == count ? size.width + lineWidth_ : static_cast<double>(i) * step;
    positions.push_back({x, lineWidth_ / 2 + yPosition(mData_[i], min, max, size, bottomInset)});
  }
  return positions;
}

void CurvedLinePlotter::appendSeriesCurves(BezierPath& path, const std::vector<Point>& positions,
                                           const std::shared_ptr<Layer>& layer, double min) {
  for (std::size_t i = 1; i < positions.size(); ++i) {
    appendSmoothCurve(path, positions[i - 1], positions[i]);
    // Only the later sample of an interval decides, and the last interval never has markers.
    const std::optional<double>& value = mData_[i];
    if (i + 1 < positions.size() && value && !std::isnan(*value) && *value > min) {
      drawMarker(layer, positions[i - 1]);
      drawMarker(layer, positions[i]);
    }
  }
}

void CurvedLinePlotter::drawLine(const std::shared_ptr<Layer>& layer, double min, double max,
                                 double bottomInset) {
  if (truncateData_ && !truncated_) {
    truncate(layer->frame().width());
  }
  if (mData_.size() < 2) {
    return;
  }
  const std::vector<Point> positions = samplePositions(layer->bounds().size, min, max, bottomInset);
  BezierPath path;
  path.move(positions.front());
  appendSeriesCurves(path, positions, layer, min);
  strokeLine(*strokeLayer_, *this, path);
}

void CurvedLinePlotter::drawArea(const std::shared_ptr<Layer>& layer, double min, double max,
                                 double bottomInset) {
  if (mData_.size() < 2) {
    return;
  }
  const Size size = layer->bounds().size;
  const std::vector<Point> positions = samplePositions(size, min, max, bottomInset);
  BezierPath path;
  path.move({0, positions.front().y + lineWidth_ / 2});
  appendSeriesCurves(path, positions, layer, min);
  closeArea(path, size, bottomInset);
  configureFill(path);
}

void CurvedLinePlotter::drawPointsLine(const std::shared_ptr<Layer>& layer, double max, double bottomInset) {
  const Size size = layer->bounds().size;
  const double usable = size.height - bottomInset - lineWidth_;
  for (const Point& point : points_) {
    const double x = std::isnan(point.x) ? size.width - lineWidth_ : point.x / maxX_ * size.width;
    const double y = std::isnan(point.y) ? usable - lineWidth_ : usable - point.y / max * usable;
    calculatedPoints_.push_back({x, y});
  }
  if (calculatedPoints_.empty()) {
    return;
  }
  strokeLine(*strokeLayer_, *this, pointsPath(size.width));
}

void CurvedLinePlotter::drawPointsArea(const std::shared_ptr<Layer>& layer, double bottomInset) {
  if (calculatedPoints_.empty()) {
    return;
  }
  const Size size = layer->bounds().size;
  BezierPath path = pointsPath(size.width);
  closeArea(path, size, bottomInset);
  configureFill(path);
}

BezierPath CurvedLinePlotter::pointsPath(double width) const {
  Point previous{0, calculatedPoints_.front().y};
  BezierPath path;
  path.move(previous);
  for (std::size_t i = 0; i < calculatedPoints_.size(); ++i) {
    const Point target{i + 1 == calculatedPoints_.size() ? width + lineWidth_ : calculatedPoints_[i].x,
                       calculatedPoints_[i].y};
    appendSmoothCurve(path, previous, target);
    previous = target;
  }
  return path;
}

void CurvedLinePlotter::closeArea(BezierPath& path, Size size, double bottomInset) const {
  const double bottom = size.height - bottomInset;
  path.line({size.width + lineWidth_, bottom});
  path.line({-lineWidth_, bottom});
  path.close();
}

void CurvedLinePlotter::configureFill(const BezierPath& path) {
  fillLayer_->setColors(fillColors_);
  fillUnderLine(*fillLayer_, *this, path);
}

}  // namespace Tavrix
