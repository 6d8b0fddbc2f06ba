#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/StrokeStyle.hpp"
#include "Tavrix/Graph/GradientLayer.hpp"
#include "Tavrix/Graph/SeriesPlotter.hpp"

namespace Tavrix {

// What the line plotters share: the thinned copy of the series, the line layer and its style. The line is a
// GradientLayer masked by a path stroked in strokeColor (only its alpha matters there), L = lineWidth wide.
//
// Setting a property only stores it; it shows at the next drawing pass.
class LinePlotter : public SeriesPlotter {
 public:
  // Also keeps the series as the one to draw (thinned at the next pass when asked).
  void update(PlotterData data) override;
  // Removes the layers, drops the delegate and forgets the data and the positions.
  void clear() override;

  // The series as drawn: a copy of data, or its thinned form.
  const PlotterData& drawnData() const { return mData_; }
  // The positions of the line in the last pass.
  const std::vector<platform::Point>& calculatedPoints() const { return calculatedPoints_; }
  // The line layer of the last pass.
  const std::shared_ptr<GradientLayer>& strokeLayer() const { return strokeLayer_; }

  // When set, thinning is skipped. Nothing here sets it; resetTruncation() clears it.
  bool truncated() const { return truncated_; }
  void setTruncated(bool truncated) { truncated_ = truncated; }
  void resetTruncation() { truncated_ = false; }
  // Thinning on or off.
  bool truncateData() const { return truncateData_; }
  void setTruncateData(bool truncate) { truncateData_ = truncate; }
  // Width per kept sample when thinning.
  double minimumDistance() const { return minimumDistance_; }
  void setMinimumDistance(double distance) { minimumDistance_ = distance; }

  double lineDashPhase() const { return lineDashPhase_; }
  void setLineDashPhase(double phase) { lineDashPhase_ = phase; }
  const std::optional<std::vector<double>>& lineDashPattern() const { return lineDashPattern_; }
  void setLineDashPattern(std::optional<std::vector<double>> pattern) {
    lineDashPattern_ = std::move(pattern);
  }
  double lineWidth() const { return lineWidth_; }
  void setLineWidth(double width) { lineWidth_ = width; }
  platform::LineJoin lineJoin() const { return lineJoin_; }
  void setLineJoin(platform::LineJoin join) { lineJoin_ = join; }
  platform::Point strokeStartPoint() const { return strokeStartPoint_; }
  void setStrokeStartPoint(platform::Point point) { strokeStartPoint_ = point; }
  platform::Point strokeEndPoint() const { return strokeEndPoint_; }
  void setStrokeEndPoint(platform::Point point) { strokeEndPoint_ = point; }
  const platform::ColorRef& strokeColor() const { return strokeColor_; }
  void setStrokeColor(platform::ColorRef color) { strokeColor_ = std::move(color); }
  // Direction of the area's gradient (a plotter without an area keeps them for callers).
  platform::Point fillStartPoint() const { return fillStartPoint_; }
  void setFillStartPoint(platform::Point point) { fillStartPoint_ = point; }
  platform::Point fillEndPoint() const { return fillEndPoint_; }
  void setFillEndPoint(platform::Point point) { fillEndPoint_ = point; }
  // The x of explicit points that maps to the right edge.
  double maxX() const { return maxX_; }
  void setMaxX(double maxX) { maxX_ = maxX; }

  // Thinning (see thinnedSeries); skipped when truncated.
  void truncate(double width);

 protected:
  LinePlotter();

  // Clears the positions and removes the layers; whether min...max can be drawn (max above 0, min at or
  // below it, neither NaN).
  bool startPass(double min, double max);
  // Thins the drawn series for the layer's width when thinning is on and not already done.
  void thinForWidth(const platform::Layer& layer);
  // Takes the plotter's layers out of the tree.
  virtual void removeLayers();

  PlotterData mData_;
  std::vector<platform::Point> calculatedPoints_;
  std::shared_ptr<GradientLayer> strokeLayer_;

 private:
  bool truncated_ = false;
  bool truncateData_ = false;
  double minimumDistance_ = 5;
  double lineDashPhase_ = 0;
  std::optional<std::vector<double>> lineDashPattern_;
  double lineWidth_;
  platform::LineJoin lineJoin_ = platform::LineJoin::miter;
  platform::Point strokeStartPoint_{0.5, 0};
  platform::Point strokeEndPoint_{0.5, 1};
  platform::ColorRef strokeColor_;
  platform::Point fillStartPoint_{0.5, 0};
  platform::Point fillEndPoint_{0.5, 1};
  double maxX_ = 100;
};

}  // namespace Tavrix
