#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Tavrix/Graph/GradientLayer.hpp"
#include "Tavrix/Graph/LineJoinMarker.hpp"
#include "Tavrix/Graph/LinePlotter.hpp"

namespace Tavrix {

// A line plotter that can fill the area under its line down to the graph's bottom line (a second
// GradientLayer in fillColors), mark its samples with circles, and draw explicit points instead of the
// series.
class AreaLinePlotter : public LinePlotter {
 public:
  // Also forgets the points.
  void clear() override;

  // The area layer and the dots of the last pass, dots in the order made.
  const std::shared_ptr<GradientLayer>& fillLayer() const { return fillLayer_; }
  const std::vector<std::shared_ptr<platform::ShapeLayer>>& markerLayers() const { return markerLayers_; }

  // Colours of the line's gradient.
  const std::vector<platform::ColorRef>& colors() const { return colors_; }
  void setColors(std::vector<platform::ColorRef> colors) { colors_ = std::move(colors); }
  // Colours of the area's gradient.
  const std::vector<platform::ColorRef>& fillColors() const { return fillColors_; }
  void setFillColors(std::vector<platform::ColorRef> colors) { fillColors_ = std::move(colors); }
  bool fillArea() const { return fillArea_; }
  void setFillArea(bool fill) { fillArea_ = fill; }
  LineJoinMarker lineJoinMarker() const { return lineJoinMarker_; }
  void setLineJoinMarker(LineJoinMarker marker) { lineJoinMarker_ = marker; }
  // Radius of a marker.
  double lineJoinMarkerThickness() const { return lineJoinMarkerThickness_; }
  void setLineJoinMarkerThickness(double radius) { lineJoinMarkerThickness_ = radius; }
  // Kept for callers; the plotter does not read them.
  const std::optional<std::string>& unit() const { return unit_; }
  void setUnit(std::optional<std::string> unit) { unit_ = std::move(unit); }
  double labelFactor() const { return labelFactor_; }
  void setLabelFactor(double factor) { labelFactor_ = factor; }
  // Explicit positions (x from 0 to maxX, y from 0 to the maximum); when not empty they are drawn instead
  // of the series. Setting them asks the delegate for a redraw.
  const std::vector<platform::Point>& points() const { return points_; }
  void setPoints(std::vector<platform::Point> points);

  // A circle of lineJoinMarkerThickness at the point, filled with the colour the line's gradient layer
  // shows there at this moment; only with a line layer and circle markers.
  void drawMarker(const std::shared_ptr<platform::Layer>& layer, platform::Point point);

 protected:
  // The area's colours are the default pair: gradientStart at 0.6 and gradientEnd at 0.25 alpha.
  AreaLinePlotter(std::vector<platform::ColorRef> colors, bool fillArea);

  void removeLayers() override;
  // New line and (with fillArea) area layers over the host's bounds.
  void makeLayers(const std::shared_ptr<platform::Layer>& layer);
  // Appends the positions of points to calculatedPoints for a layer of the size: x = p.x / maxX * W
  // (W - L for NaN), y = U - p.y / max * U with U = H - I - L (U - nanLift for NaN).
  void placePoints(platform::Size size, double max, double bottomInset, double nanLift);
  // Down to the bottom line a line width beyond the right edge, across to a line width beyond the left.
  void closeArea(platform::BezierPath& path, platform::Size size, double bottomInset) const;

  std::shared_ptr<GradientLayer> fillLayer_;
  std::vector<std::shared_ptr<platform::ShapeLayer>> markerLayers_;

 private:
  std::vector<platform::ColorRef> colors_;
  std::vector<platform::ColorRef> fillColors_;
  bool fillArea_;
  LineJoinMarker lineJoinMarker_ = LineJoinMarker::none;
  double lineJoinMarkerThickness_ = 3;
  std::optional<std::string> unit_;
  double labelFactor_ = 1;
  std::vector<platform::Point> points_;
};

}  // namespace Tavrix
