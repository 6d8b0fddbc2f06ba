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
#include "Tavrix/Graph/GradientLayer.hpp"
#include "Tavrix/Graph/IDataPlotter.hpp"
#include "Tavrix/Graph/LineJoinMarker.hpp"

namespace Tavrix {

// Draws one series as a smooth line: between two neighbouring samples an S-shaped curve, flat at each
// sample and steepest half-way (see appendSmoothCurve), optionally with the area under it filled down to the
// graph's bottom line. Line and area are each a GradientLayer painted with a vertical gradient. Optional
// circle markers sit on the samples, and optional thinning keeps one sample per minimumDistance points.
//
// Geometry, in the host layer's coordinates (y down in a graph view), with W and H its bounds' size, I the
// bottom inset and L the line width: U = H - I - L is the y of the minimum and 0 that of the maximum; a
// missing sample sits at U, a NaN sample at U - L. Samples are drawn L/2 lower, so a value at the maximum
// touches the top edge with its line and one at the minimum touches the bottom line. Sample i of n lies at
// x = i * (W - 2L) / (n - 1); the last one is pushed past the right edge to W + L.
//
// Setting a property only stores it; it shows at the next drawing pass. The exception is points, whose
// change asks the delegate for a redraw. Make plotters with std::make_shared: update() and points hand the
// plotter itself to the delegate. Drawing runs on the main thread.
class CurvedLinePlotter : public IDataPlotter, public std::enable_shared_from_this<CurvedLinePlotter> {
 public:
  explicit CurvedLinePlotter(std::vector<platform::ColorRef> colors, bool fillArea = true);

  // IDataPlotter.
  const PlotterData& data() const override { return data_; }
  std::shared_ptr<PlotterDelegate> delegate() const override { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<PlotterDelegate>& delegate) override { delegate_ = delegate; }
  // Stores the series (to be thinned at the next pass when asked), then calls plotterDidUpdateData on the
  // delegate. Called off the main thread, the whole step moves to the main queue, so the series is never
  // written while a drawing pass reads it.
  void update(PlotterData data) override;
  // Replaces the plotter's layers. Only removes them when layer is null, max is not above 0 or min is not at
  // or below max (NaN included).
  void draw(const std::shared_ptr<platform::Layer>& layer, double min, double max,
            double bottomInset) override;
  // Removes the layers, drops the delegate and forgets the data, the points and their positions.
  void clear() override;

  // The layers of the last drawing pass.
  const std::shared_ptr<GradientLayer>& strokeLayer() const { return strokeLayer_; }
  const std::shared_ptr<GradientLayer>& fillLayer() const { return fillLayer_; }
  const std::vector<std::shared_ptr<platform::ShapeLayer>>& markerLayers() const { return markerLayers_; }
  // The series as drawn: a copy of data, or its thinned form.
  const PlotterData& drawnData() const { return mData_; }
  // Positions computed from points in the last pass.
  const std::vector<platform::Point>& calculatedPoints() const { return calculatedPoints_; }

  // When set, thinning is skipped. Nothing here sets it; resetTruncation() clears it.
  bool truncated() const { return truncated_; }
  void setTruncated(bool truncated) { truncated_ = truncated; }
  void resetTruncation() { truncated_ = false; }
  // Thinning on or off.
  bool truncateData() const { return truncateData_; }
  void setTruncateData(bool truncate) { truncateData_ = truncate; }

  // Colours of the line's gradient.
  const std::vector<platform::ColorRef>& colors() const { return colors_; }
  void setColors(std::vector<platform::ColorRef> colors) { colors_ = std::move(colors); }
  // Colours of the area's gradient.
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
  platform::LineJoin lineJoin() const { return lineJoin_; }
  void setLineJoin(platform::LineJoin join) { lineJoin_ = join; }
  platform::Point strokeStartPoint() const { return strokeStartPoint_; }
  void setStrokeStartPoint(platform::Point point) { strokeStartPoint_ = point; }
  platform::Point strokeEndPoint() const { return strokeEndPoint_; }
  void setStrokeEndPoint(platform::Point point) { strokeEndPoint_ = point; }
  // Width per kept sample when thinning.
  double minimumDistance() const { return minimumDistance_; }
  void setMinimumDistance(double distance) { minimumDistance_ = distance; }
  // Kept for callers; the plotter does not read them.
  const std::optional<std::string>& unit() const { return unit_; }
  void setUnit(std::optional<std::string> unit) { unit_ = std::move(unit); }
  double labelFactor() const { return labelFactor_; }
  void setLabelFactor(double factor) { labelFactor_ = factor; }
  platform::Point fillStartPoint() const { return fillStartPoint_; }
  void setFillStartPoint(platform::Point point) { fillStartPoint_ = point; }
  platform::Point fillEndPoint() const { return fillEndPoint_; }
  void setFillEndPoint(platform::Point point) { fillEndPoint_ = point; }
  // The stroke colour of the line's mask: only its alpha matters.
  const platform::ColorRef& strokeColor() const { return strokeColor_; }
  void setStrokeColor(platform::ColorRef color) { strokeColor_ = std::move(color); }
  // Explicit positions (x from 0 to maxX, y from 0 to the maximum); when not empty they are drawn instead
  // of the series. Setting them asks the delegate for a redraw.
  const std::vector<platform::Point>& points() const { return points_; }
  void setPoints(std::vector<platform::Point> points);
  // The x of points that maps to the right edge.
  double maxX() const { return maxX_; }
  void setMaxX(double maxX) { maxX_ = maxX; }

  // The y of a value (see the class comment), without the L/2 offset of the samples. Maps every value to
  // U when max equals min.
  double yPosition(std::optional<double> value, double min, double max, platform::Size size,
                   double bottomInset) const;

  // The steps of draw().
  // A circle of lineJoinMarkerThickness at the point, filled with the colour the line's gradient layer
  // shows there at this moment; only with a line layer and circle markers.
  void drawMarker(const std::shared_ptr<platform::Layer>& layer, platform::Point point);
  // Thinning: keeps every (n / k)-th sample, k of them, where k = width / minimumDistance and n is the
  // count of data; all of data when n <= k. Skipped when truncated, and (keeping all of data) when fewer
  // than one sample would fit or the width is not a number.
  void truncate(double width);
  void drawPointsLine(const std::shared_ptr<platform::Layer>& layer, double max, double bottomInset);
  void drawPointsArea(const std::shared_ptr<platform::Layer>& layer, double bottomInset);
  void drawLine(const std::shared_ptr<platform::Layer>& layer, double min, double max, double bottomInset);
  void drawArea(const std::shared_ptr<platform::Layer>& layer, double min, double max, double bottomInset);

 private:
  // Where the samples of the drawn series lie in a layer of the given size.
  std::vector<platform::Point> samplePositions(platform::Size size, double min, double max,
                                               double bottomInset) const;
  // Appends the curves through the positions, with the markers of every interval that ends in a present
  // sample above min.
  void appendSeriesCurves(platform::BezierPath& path, const std::vector<platform::Point>& positions,
                          const std::shared_ptr<platform::Layer>& layer, double min);
  // The line through calculatedPoints, its last point pushed to the right edge plus L.
  platform::BezierPath pointsPath(double width) const;
  void closeArea(platform::BezierPath& path, platform::Size size, double bottomInset) const;
  void configureFill(const platform::BezierPath& path);
  void removeLayers();

  std::shared_ptr<GradientLayer> strokeLayer_;
  std::shared_ptr<GradientLayer> fillLayer_;
  std::vector<std::shared_ptr<platform::ShapeLayer>> markerLayers_;
  PlotterData data_;
  PlotterData mData_;
  std::vector<platform::Point> calculatedPoints_;
  bool truncated_ = false;
  bool truncateData_ = false;
  std::vector<platform::ColorRef> colors_;
  std::vector<platform::ColorRef> fillColors_;
  bool fillArea_;
  double lineDashPhase_ = 0;
  std::optional<std::vector<double>> lineDashPattern_;
  LineJoinMarker lineJoinMarker_ = LineJoinMarker::none;
  double lineJoinMarkerThickness_ = 3;
  double lineWidth_;
  platform::LineJoin lineJoin_ = platform::LineJoin::miter;
  platform::Point strokeStartPoint_{0.5, 0};
  platform::Point strokeEndPoint_{0.5, 1};
  double minimumDistance_ = 5;
  std::optional<std::string> unit_;
  double labelFactor_ = 1;
  platform::Point fillStartPoint_{0.5, 0};
  platform::Point fillEndPoint_{0.5, 1};
  platform::ColorRef strokeColor_;
  std::weak_ptr<PlotterDelegate> delegate_;
  std::vector<platform::Point> points_;
  double maxX_ = 100;
};

}  // namespace Tavrix
