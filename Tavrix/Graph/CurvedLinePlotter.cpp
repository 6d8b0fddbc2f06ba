#include "Tavrix/Graph/CurvedLinePlotter.hpp"

#include <cmath>
#include <cstddef>
#include <utility>

#include "Tavrix/Graph/LineLayerStyle.hpp"
#include "Tavrix/Graph/SmoothCurve.hpp"

namespace Tavrix {

using platform::BezierPath;
using platform::Layer;
using platform::Point;
using platform::Size;

CurvedLinePlotter::CurvedLinePlotter(std::vector<platform::ColorRef> colors, bool fillArea)
    : AreaLinePlotter(std::move(colors), fillArea) {}

void CurvedLinePlotter::draw(const std::shared_ptr<Layer>& layer, double min, double max,
                             double bottomInset) {
  if (!startPass(min, max) || !layer) {
    return;
  }
  makeLayers(layer);
  if (!points().empty()) {
    drawPointsLine(layer, max, bottomInset);
    if (fillArea()) {
      drawPointsArea(layer, bottomInset);
    }
  } else {
    drawLine(layer, min, max, bottomInset);
    if (fillArea()) {
      drawArea(layer, min, max, bottomInset);
    }
  }
}

double CurvedLinePlotter::yPosition(std::optional<double> value, double min, double max, Size size,
                                    double bottomInset) const {
  const double usable = size.height - bottomInset - lineWidth();
  if (!value) {
    return usable;
  }
  if (std::isnan(*value)) {
    return usable - lineWidth();
  }
  if (max == min) {
    return usable;
  }
  return usable - (*value - min) / (max - min) * usable;
}

std::vector<Point> CurvedLinePlotter::samplePositions(Size size, double min, double max,
                                                      double bottomInset) const {
  const double lineWidth = this->lineWidth();
  const std::size_t count = mData_.size();
  const double step = (size.width - 2 * lineWidth) / static_cast<double>(count - 1);
  std::vector<Point> positions;
  positions.reserve(count);
  for (std::size_t i = 0; i < count; ++i) {
    const double x = i + 1 == count ? size.width + lineWidth : static_cast<double>(i) * step;
    positions.push_back({x, lineWidth / 2 + yPosition(mData_[i], min, max, size, bottomInset)});
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
  thinForWidth(*layer);
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
  path.move({0, positions.front().y + lineWidth() / 2});
  appendSeriesCurves(path, positions, layer, min);
  closeArea(path, size, bottomInset);
  configureFill(path);
}

void CurvedLinePlotter::drawPointsLine(const std::shared_ptr<Layer>& layer, double max, double bottomInset) {
  const Size size = layer->bounds().size;
  placePoints(size, max, bottomInset, lineWidth());
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
    const Point target{i + 1 == calculatedPoints_.size() ? width + lineWidth() : calculatedPoints_[i].x,
                       calculatedPoints_[i].y};
    appendSmoothCurve(path, previous, target);
    previous = target;
  }
  return path;
}

void CurvedLinePlotter::configureFill(const BezierPath& path) {
  fillLayer_->setColors(fillColors());
  fillUnderLine(*fillLayer_, *this, path);
}

}  // namespace Tavrix
