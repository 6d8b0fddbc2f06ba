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
#include "Platform/Graphics/StrokeStyle.hpp"
#include "Tavrix/Graph/DrawNilMode.hpp"
#include "Tavrix/Graph/GradientLayer.hpp"
#include "Tavrix/Graph/IDataPlotter.hpp"
#include "Tavrix/Graph/LineJoinMarker.hpp"
#include "Tavrix/Graph/StraightLineWalk.hpp"

namespace Tavrix {

// Draws one series as a polyline, optionally with the area under it filled down to the graph's bottom
// line; line and area are each a GradientLayer painted with a vertical gradient. A missing sample does what
// drawNilMode says: it lies on the bottom line, or it ends the line there, optionally marking the last
// sample before it with two concentric dots in the stroke colour (the outer one translucent). Optional
// circle markers sit on the inner samples, optional thinning keeps one sample per minimumDistance points,
// and explicit points can replace the series.
//
// Geometry, in the host layer's coordinates (y down in a graph view), with W and H its bounds' size, I the
// bottom inset and L the line width: see StraightLineWalk. Missing and NaN samples both map to the bottom
// of the usable band, U = H - I - L.
//
// Setting a property only stores it; drawNilMode and points also ask the delegate for a redraw. Make
// plotters with std::make_shared: update() and those setters hand the plotter itself to the delegate.
// Drawing runs on the main thread.
class StraightLinePlotter : public IDataPlotter, public std::enable_shared_from_this<StraightLinePlotter> {
 public:
  // Line colours given; the stroke colour is the default.
  explicit StraightLinePlotter(std::vector<platform::ColorRef> colors);
  // The stroke colour (the alpha of the line's mask and the colour of the highlight dots) given, and
  // whether to fill the area; the line colours are the default pair.
  StraightLinePlotter(platform::ColorRef strokeColor, bool fillArea);

  // IDataPlotter.
  const PlotterData& data() const override { return data_; }
  std::shared_ptr<PlotterDelegate> delegate() const override { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<PlotterDelegate>& delegate) override { delegate_ = delegate; }
  // Stores the series, then calls plotterDidUpdateData on the delegate. Called off the main thread, the
  // whole step moves to the main queue.
  void update(PlotterData data) override;
  // Does nothing without a layer. Otherwise replaces the plotter's layers; only removes them when max is
  // not above 0 or min is not at or below max (NaN included).
  void draw(const std::shared_ptr<platform::Layer>& layer, double min, double max,
            double bottomInset) override;
  // Removes the layers, drops the delegate and forgets the data, the points and their positions.
  void clear() override;

  // The series as drawn: a copy of data, or its thinned form.
  const PlotterData& drawnData() const { return mData_; }
  // The positions of the line in the last pass.
  const std::vector<platform::Point>& calculatedPoints() const { return calculatedPoints_; }
  // The layers of the last pass.
  const std::shared_ptr<GradientLayer>& strokeLayer() const { return strokeLayer_; }
  const std::shared_ptr<GradientLayer>& fillLayer() const { return fillLayer_; }
  // Markers and highlight dots, in the order made.
  const std::vector<std::shared_ptr<platform::ShapeLayer>>& markerLayers() const { return markerLayers_; }

  // When set, thinning is skipped. Nothing here sets it; resetTruncation() clears it.
  bool truncated() const { return truncated_; }
  void setTruncated(bool truncated) { truncated_ = truncated; }
  void resetTruncation() { truncated_ = false; }

  const std::vector<platform::ColorRef>& colors() const { return colors_; }
  void setColors(std::vector<platform::ColorRef> colors) { colors_ = std::move(colors); }
  const std::vector<platform::ColorRef>& fillColors() const { return fillColors_; }
  void setFillColors(std::vector<platform::ColorRef> colors) { fillColors_ = std::move(colors); }
  bool fillArea() const { return fillArea_; }
  void setFillArea(bool fill) { fillArea_ = fill; }
  double lineDashPhase() const { return lineDashPhase_; }
  void setLineDashPhase(double phase) { lineDashPhase_ = phase; }
  const std::optional<std::vector<double>>& lineDashPattern() const { return lineDashPattern_; }
  void setLineDashPattern(std::optional<std::vector<double>> pattern) {
    lineDashPattern_ = std::move(pattern);
  }
  LineJoinMarker lineJoinMarker() const { return lineJoinMarker_; }
  void setLineJoinMarker(LineJoinMarker marker) { lineJoinMarker_ = marker; }
  // Radius of a marker.
  double lineJoinMarkerThickness() const { return lineJoinMarkerThickness_; }
  void setLineJoinMarkerThickness(double radius) { lineJoinMarkerThickness_ = radius; }
  double lineWidth() const { return lineWidth_; }
  void setLineWidth(double width) { lineWidth_ = width; }
  bool truncateData() const { return truncateData_; }
  void setTruncateData(bool truncate) { truncateData_ = truncate; }
  // Width per kept sample when thinning.
  double minimumDistance() const { return minimumDistance_; }
  void setMinimumDistance(double distance) { minimumDistance_ = distance; }
  // Kept for callers; the plotter does not read them.
  const std::optional<std::string>& unit() const { return unit_; }
  void setUnit(std::optional<std::string> unit) { unit_ = std::move(unit); }
  double labelFactor() const { return labelFactor_; }
  void setLabelFactor(double factor) { labelFactor_ = factor; }
  bool usePointColor() const { return usePointColor_; }
  void setUsePointColor(bool use) { usePointColor_ = use; }
  platform::LineJoin lineJoin() const { return lineJoin_; }
  void setLineJoin(platform::LineJoin join) { lineJoin_ = join; }
  platform::Point strokeStartPoint() const { return strokeStartPoint_; }
  void setStrokeStartPoint(platform::Point point) { strokeStartPoint_ = point; }
  platform::Point strokeEndPoint() const { return strokeEndPoint_; }
  void setStrokeEndPoint(platform::Point point) { strokeEndPoint_ = point; }
  // The stroke colour of the line's mask (only its alpha matters there) and the colour of the highlight.
  const platform::ColorRef& strokeColor() const { return strokeColor_; }
  void setStrokeColor(platform::ColorRef color) { strokeColor_ = std::move(color); }
  platform::Point fillStartPoint() const { return fillStartPoint_; }
  void setFillStartPoint(platform::Point point) { fillStartPoint_ = point; }
  platform::Point fillEndPoint() const { return fillEndPoint_; }
  void setFillEndPoint(platform::Point point) { fillEndPoint_ = point; }
  // Setting it asks the delegate for a redraw.
  DrawNilMode drawNilMode() const { return drawNilMode_; }
  void setDrawNilMode(DrawNilMode mode);
  // Radii of the highlight's inner (opaque) and outer (translucent) dot.
  double innerMarkerRadius() const { return innerMarkerRadius_; }
  void setInnerMarkerRadius(double radius) { innerMarkerRadius_ = radius; }
  double outerMarkerRadius() const { return outerMarkerRadius_; }
  void setOuterMarkerRadius(double radius) { outerMarkerRadius_ = radius; }
  // Explicit positions (x from 0 to maxX, y from 0 to the maximum); when not empty they are drawn instead
  // of the series. Setting them asks the delegate for a redraw.
  const std::vector<platform::Point>& points() const { return points_; }
  void setPoints(std::vector<platform::Point> points);
  // The x of points that maps to the right edge.
  double maxX() const { return maxX_; }
  void setMaxX(double maxX) { maxX_ = maxX; }

  // The y of a value without the offsets of the drawn points (see straightLineY).
  double yPosition(std::optional<double> value, double min, double max, platform::Size size,
                   double bottomInset) const;

  // The steps of draw(). Called before a drawing pass made the layers, they place the points and dots but
  // configure no line or area.
  // A circle of lineJoinMarkerThickness at the point, filled with the colour the line's gradient layer
  // shows there at this moment; only with a line layer and circle markers.
  void drawMarker(const std::shared_ptr<platform::Layer>& layer, platform::Point point);
  // A dot: the circle of the radius around the centre, filled with the colour.
  void drawCircle(const std::shared_ptr<platform::Layer>& layer, const platform::ColorRef& color,
                  double radius, platform::Point centre);
  // Thinning (see thinnedSeries); skipped when truncated.
  void truncate(double width);
  // Straight lines through the points; with fillArea the line's own gradient fills the area below them.
  // With no positions at all it configures nothing.
  void drawPoints(const std::shared_ptr<platform::Layer>& layer, double max, double bottomInset);
  void drawLine(const std::shared_ptr<platform::Layer>& layer, double min, double max, double bottomInset);
  // The area under the line, down to the bottom line. After a gap that ends the line, its outline runs
  // from the last drawn point straight to the bottom right corner.
  void drawArea(const std::shared_ptr<platform::Layer>& layer, double min, double max, double bottomInset);

 private:
  void removeLayers();
  // The line through the drawn series, or nothing when it draws nothing.
  std::optional<StraightLineWalk> walkSeries(const std::shared_ptr<platform::Layer>& layer, double min,
                                             double max, double bottomInset) const;
  // The markers of the walk's inner samples above min, then the highlight where a gap ended it.
  void drawDots(const std::shared_ptr<platform::Layer>& layer, const StraightLineWalk& walk, double min);
  // Down to the bottom line a line width beyond the right edge, across to a line width beyond the left.
  void closeArea(platform::BezierPath& path, platform::Size size, double bottomInset) const;

  PlotterData data_;
  PlotterData mData_;
  std::vector<platform::Point> calculatedPoints_;
  std::shared_ptr<GradientLayer> strokeLayer_;
  std::shared_ptr<GradientLayer> fillLayer_;
  std::vector<std::shared_ptr<platform::ShapeLayer>> markerLayers_;
  bool truncated_ = false;
  std::vector<platform::ColorRef> colors_;
  std::vector<platform::ColorRef> fillColors_;
  bool fillArea_ = true;
  double lineDashPhase_ = 0;
  std::optional<std::vector<double>> lineDashPattern_;
  LineJoinMarker lineJoinMarker_ = LineJoinMarker::none;
  double lineJoinMarkerThickness_ = 3;
  double lineWidth_;
  bool truncateData_ = false;
  double minimumDistance_ = 5;
  std::optional<std::string> unit_;
  double labelFactor_ = 1;
  platform::LineJoin lineJoin_ = platform::LineJoin::miter;
  platform::Point strokeStartPoint_{0.5, 0};
  platform::Point strokeEndPoint_{0.5, 1};
  platform::ColorRef strokeColor_;
  platform::Point fillStartPoint_{0.5, 0};
  platform::Point fillEndPoint_{0.5, 1};
  bool usePointColor_ = true;
  std::weak_ptr<PlotterDelegate> delegate_;
  DrawNilMode drawNilMode_ = DrawNilMode::drawMinValue;
  double innerMarkerRadius_ = 3;
  double outerMarkerRadius_ = 5;
  std::vector<platform::Point> points_;
  double maxX_ = 100;
};

}  // namespace Tavrix
