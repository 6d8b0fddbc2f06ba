#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/StrokeStyle.hpp"
#include "Tavrix/Graph/DrawNilMode.hpp"
#include "Tavrix/Graph/GradientLayer.hpp"
#include "Tavrix/Graph/IDataPlotter.hpp"

namespace Tavrix {

// Draws one series as a polyline against a reference value, initial, marked by a dashed horizontal line.
// The whole line takes one colour that says where the series ended: positive when the newest sample lies
// above initial, negative when below, black when it is equal, missing or NaN. No area, markers or points.
//
// Geometry as StraightLinePlotter's (see StraightLineWalk). Gaps differ: stop ends the line at a missing
// sample; drawMinValue and stopAndHighlightPreviousValue draw it on the bottom line and go on, and only
// a missing first sample stops the line in the highlight mode (there is no highlight).
//
// Setting a property only stores it; drawNilMode also asks the delegate for a redraw. Make plotters with
// std::make_shared. Drawing runs on the main thread.
class PositiveNegativePlotter : public IDataPlotter,
                                public std::enable_shared_from_this<PositiveNegativePlotter> {
 public:
  PositiveNegativePlotter(platform::ColorRef positive, platform::ColorRef negative);

  // IDataPlotter.
  const PlotterData& data() const override { return data_; }
  std::shared_ptr<PlotterDelegate> delegate() const override { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<PlotterDelegate>& delegate) override { delegate_ = delegate; }
  // Stores the series, then calls plotterDidUpdateData on the delegate. Called off the main thread, the
  // whole step moves to the main queue.
  void update(PlotterData data) override;
  // Does nothing without a layer. Otherwise replaces the reference and value lines; only removes them when
  // max is not above 0 or min is not at or below max (NaN included).
  void draw(const std::shared_ptr<platform::Layer>& layer, double min, double max,
            double bottomInset) override;
  // Removes the layers, drops the delegate and forgets the data and the positions.
  void clear() override;

  const PlotterData& drawnData() const { return mData_; }
  const std::vector<platform::Point>& calculatedPoints() const { return calculatedPoints_; }
  // The value line and the reference line of the last pass.
  const std::shared_ptr<GradientLayer>& strokeLayer() const { return strokeLayer_; }
  const std::shared_ptr<GradientLayer>& initialLayer() const { return initialLayer_; }

  bool truncated() const { return truncated_; }
  void setTruncated(bool truncated) { truncated_ = truncated; }
  void resetTruncation() { truncated_ = false; }

  const platform::ColorRef& positive() const { return positive_; }
  void setPositive(platform::ColorRef color) { positive_ = std::move(color); }
  const platform::ColorRef& negative() const { return negative_; }
  void setNegative(platform::ColorRef color) { negative_ = std::move(color); }
  double lineDashPhase() const { return lineDashPhase_; }
  void setLineDashPhase(double phase) { lineDashPhase_ = phase; }
  const std::optional<std::vector<double>>& lineDashPattern() const { return lineDashPattern_; }
  void setLineDashPattern(std::optional<std::vector<double>> pattern) {
    lineDashPattern_ = std::move(pattern);
  }
  double lineWidth() const { return lineWidth_; }
  void setLineWidth(double width) { lineWidth_ = width; }
  bool truncateData() const { return truncateData_; }
  void setTruncateData(bool truncate) { truncateData_ = truncate; }
  double minimumDistance() const { return minimumDistance_; }
  void setMinimumDistance(double distance) { minimumDistance_ = distance; }
  platform::LineJoin lineJoin() const { return lineJoin_; }
  void setLineJoin(platform::LineJoin join) { lineJoin_ = join; }
  platform::Point strokeStartPoint() const { return strokeStartPoint_; }
  void setStrokeStartPoint(platform::Point point) { strokeStartPoint_ = point; }
  platform::Point strokeEndPoint() const { return strokeEndPoint_; }
  void setStrokeEndPoint(platform::Point point) { strokeEndPoint_ = point; }
  // The stroke colour of the value line's mask: only its alpha matters.
  const platform::ColorRef& strokeColor() const { return strokeColor_; }
  void setStrokeColor(platform::ColorRef color) { strokeColor_ = std::move(color); }
  // Kept for callers; the plotter does not read them.
  platform::Point fillStartPoint() const { return fillStartPoint_; }
  void setFillStartPoint(platform::Point point) { fillStartPoint_ = point; }
  platform::Point fillEndPoint() const { return fillEndPoint_; }
  void setFillEndPoint(platform::Point point) { fillEndPoint_ = point; }
  double maxX() const { return maxX_; }
  void setMaxX(double maxX) { maxX_ = maxX; }
  // The reference value and its line: painted in the separator colour through a mask stroked with
  // initialColor (so only that colour's alpha counts).
  double initial() const { return initial_; }
  void setInitial(double initial) { initial_ = initial; }
  double initialThickness() const { return initialThickness_; }
  void setInitialThickness(double thickness) { initialThickness_ = thickness; }
  const platform::ColorRef& initialColor() const { return initialColor_; }
  void setInitialColor(platform::ColorRef color) { initialColor_ = std::move(color); }
  double initialLineDashPhase() const { return initialLineDashPhase_; }
  void setInitialLineDashPhase(double phase) { initialLineDashPhase_ = phase; }
  const std::vector<double>& initialLineDashPattern() const { return initialLineDashPattern_; }
  void setInitialLineDashPattern(std::vector<double> pattern) {
    initialLineDashPattern_ = std::move(pattern);
  }
  // Setting it asks the delegate for a redraw.
  DrawNilMode drawNilMode() const { return drawNilMode_; }
  void setDrawNilMode(DrawNilMode mode);

  // The y of a value without the offsets of the drawn points (see straightLineY).
  double yPosition(std::optional<double> value, double min, double max, platform::Size size,
                   double bottomInset) const;
  // The colour of the value line: from the newest sample of data only.
  platform::ColorRef lineColor() const;

  // The steps of draw(). Called before a drawing pass made the layers, they configure no line.
  // Thinning (see thinnedSeries); skipped when truncated.
  void truncate(double width);
  void drawLine(const std::shared_ptr<platform::Layer>& layer, double min, double max, double bottomInset);
  // The dashed reference line across the whole width, one point below the height of initial.
  void drawInitialLine(const std::shared_ptr<platform::Layer>& layer, double min, double max,
                       double bottomInset);

 private:
  void removeLayers();

  PlotterData data_;
  PlotterData mData_;
  std::vector<platform::Point> calculatedPoints_;
  std::shared_ptr<GradientLayer> strokeLayer_;
  std::shared_ptr<GradientLayer> initialLayer_;
  bool truncated_ = false;
  platform::ColorRef positive_;
  platform::ColorRef negative_;
  double lineDashPhase_ = 0;
  std::optional<std::vector<double>> lineDashPattern_;
  double lineWidth_;
  bool truncateData_ = false;
  double minimumDistance_ = 5;
  platform::LineJoin lineJoin_ = platform::LineJoin::miter;
  platform::Point strokeStartPoint_{0.5, 0};
  platform::Point strokeEndPoint_{0.5, 1};
  platform::ColorRef strokeColor_;
  platform::Point fillStartPoint_{0.5, 0};
  platform::Point fillEndPoint_{0.5, 1};
  double initial_ = 0;
  double initialThickness_;
  platform::ColorRef initialColor_;
  double initialLineDashPhase_ = 2;
  std::vector<double> initialLineDashPattern_{3, 3};
  std::weak_ptr<PlotterDelegate> delegate_;
  DrawNilMode drawNilMode_ = DrawNilMode::drawMinValue;
  double maxX_ = 100;
};

}  // namespace Tavrix
