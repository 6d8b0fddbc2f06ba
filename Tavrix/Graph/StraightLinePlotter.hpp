#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Tavrix/Graph/AreaLinePlotter.hpp"
#include "Tavrix/Graph/DrawNilMode.hpp"
#include "Tavrix/Graph/StraightLineWalk.hpp"

namespace Tavrix {

// Draws one series as a polyline, optionally with the area under it filled down to the graph's bottom
// line. A missing sample does what drawNilMode says: it lies on the bottom line, or it ends the line there,
// optionally marking the last sample before it with two concentric dots in the stroke colour (the outer one
// translucent). Optional circle markers sit on the inner samples, optional thinning keeps one sample per
// minimumDistance points, and explicit points can replace the series.
//
// Geometry, in the host layer's coordinates (y down in a graph view), with W and H its bounds' size, I the
// bottom inset and L the line width: see StraightLineWalk. Missing and NaN samples both map to the bottom
// of the usable band, U = H - I - L.
//
// Setting a property only stores it; drawNilMode and points also ask the delegate for a redraw.
class StraightLinePlotter : public AreaLinePlotter {
 public:
  // Line colours given; the stroke colour is the default.
  explicit StraightLinePlotter(std::vector<platform::ColorRef> colors);
  // The stroke colour (the alpha of the line's mask and the colour of the highlight dots) given, and
  // whether to fill the area; the line colours are the default pair.
  StraightLinePlotter(platform::ColorRef strokeColor, bool fillArea);

  // Does nothing without a layer. Otherwise replaces the plotter's layers; only removes them when max is
  // not above 0 or min is not at or below max (NaN included).
  void draw(const std::shared_ptr<platform::Layer>& layer, double min, double max,
            double bottomInset) override;

  bool usePointColor() const { return usePointColor_; }
  void setUsePointColor(bool use) { usePointColor_ = use; }
  // Setting it asks the delegate for a redraw.
  DrawNilMode drawNilMode() const { return drawNilMode_; }
  void setDrawNilMode(DrawNilMode mode);
  // Radii of the highlight's inner (opaque) and outer (translucent) dot.
  double innerMarkerRadius() const { return innerMarkerRadius_; }
  void setInnerMarkerRadius(double radius) { innerMarkerRadius_ = radius; }
  double outerMarkerRadius() const { return outerMarkerRadius_; }
  void setOuterMarkerRadius(double radius) { outerMarkerRadius_ = radius; }

  // The y of a value without the offsets of the drawn points (see straightLineY).
  double yPosition(std::optional<double> value, double min, double max, platform::Size size,
                   double bottomInset) const;

  // The steps of draw(). Called before a drawing pass made the layers, they place the points and dots but
  // configure no line or area.
  // A dot: the circle of the radius around the centre, filled with the colour.
  void drawCircle(const std::shared_ptr<platform::Layer>& layer, const platform::ColorRef& color,
                  double radius, platform::Point centre);
  // Straight lines through the points; with fillArea the line's own gradient fills the area below them.
  // With no positions at all it configures nothing.
  void drawPoints(const std::shared_ptr<platform::Layer>& layer, double max, double bottomInset);
  void drawLine(const std::shared_ptr<platform::Layer>& layer, double min, double max, double bottomInset);
  // The area under the line, down to the bottom line. After a gap that ends the line, its outline runs
  // from the last drawn point straight to the bottom right corner.
  void drawArea(const std::shared_ptr<platform::Layer>& layer, double min, double max, double bottomInset);

 private:
  // The line through the drawn series, or nothing when it draws nothing.
  std::optional<StraightLineWalk> walkSeries(const std::shared_ptr<platform::Layer>& layer, double min,
                                             double max, double bottomInset) const;
  // The markers of the walk's inner samples above min, then the highlight where a gap ended it.
  void drawDots(const std::shared_ptr<platform::Layer>& layer, const StraightLineWalk& walk, double min);

  bool usePointColor_ = true;
  DrawNilMode drawNilMode_ = DrawNilMode::drawMinValue;
  double innerMarkerRadius_ = 3;
  double outerMarkerRadius_ = 5;
};

}  // namespace Tavrix
