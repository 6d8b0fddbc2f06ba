#include "Tavrix/Graph/AreaLinePlotter.hpp"

#include <cmath>
#include <utility>

#include "Platform/Graphics/RemoveAllFromSuperlayer.hpp"
#include "Tavrix/Controls/CALayer.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Graph/PlotterDots.hpp"
#include "Tavrix/Graph/PlotterNotifications.hpp"

namespace Tavrix {

using platform::Layer;
using platform::Point;
using platform::Size;

AreaLinePlotter::AreaLinePlotter(std::vector<platform::ColorRef> colors, bool fillArea)
    : colors_(std::move(colors)),
      fillColors_{Colors::gradientStart()->withAlphaComponent(0.6),
                  Colors::gradientEnd()->withAlphaComponent(0.25)},
      fillArea_(fillArea) {}

void AreaLinePlotter::clear() {
  LinePlotter::clear();
  points_.clear();
}

void AreaLinePlotter::setPoints(std::vector<Point> points) {
  points_ = std::move(points);
  tellNeedsRedraw(*this);
}

void AreaLinePlotter::removeLayers() {
  LinePlotter::removeLayers();
  if (fillLayer_) {
    fillLayer_->removeFromSuperlayer();
  }
  platform::removeAllFromSuperlayer(markerLayers_);
}

void AreaLinePlotter::makeLayers(const std::shared_ptr<Layer>& layer) {
  strokeLayer_ = std::make_shared<GradientLayer>(layer, colors_, layer->bounds());
  if (fillArea_) {
    fillLayer_ = std::make_shared<GradientLayer>(layer, fillColors_, layer->bounds());
  }
}

void AreaLinePlotter::drawMarker(const std::shared_ptr<Layer>& layer, Point point) {
  if (strokeLayer_ && lineJoinMarker_ == LineJoinMarker::circle) {
    addDot(layer, markerOutline(point, lineJoinMarkerThickness_),
           CALayer::color(*strokeLayer_->gradientLayer(), point), markerLayers_);
  }
}

void AreaLinePlotter::placePoints(Size size, double max, double bottomInset, double nanLift) {
  const double usable = size.height - bottomInset - lineWidth();
  for (const Point& point : points_) {
    const double x = std::isnan(point.x) ? size.width - lineWidth() : point.x / maxX() * size.width;
    const double y = std::isnan(point.y) ? usable - nanLift : usable - point.y / max * usable;
    calculatedPoints_.push_back({x, y});
  }
}

void AreaLinePlotter::closeArea(platform::BezierPath& path, Size size, double bottomInset) const {
  path.line({size.width + lineWidth(), size.height - bottomInset});
  path.line({-lineWidth(), size.height - bottomInset});
  path.close();
}

}  // namespace Tavrix
