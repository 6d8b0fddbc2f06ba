#pragma once

#include <memory>
#include <optional>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Tavrix/Graph/DrawNilMode.hpp"
#include "Tavrix/Graph/GradientLayer.hpp"
#include "Tavrix/Graph/LinePlotter.hpp"

namespace Tavrix {

// Draws one series as a polyline against a reference value, initial, marked by a dashed horizontal line.
// The whole line takes one colour that says where the series ended: positive when the newest sample lies
// above initial, negative when below, black when it is equal, missing or NaN. No area, markers or points.
//
// Geometry as StraightLinePlotter's (see StraightLineWalk). Gaps differ: stop ends the line at a missing
// sample; drawMinValue and stopAndHighlightPreviousValue draw it on the bottom line and go on, and only
// a missing first sample stops the line in the highlight mode (there is no highlight).
//
// Setting a property only stores it; drawNilMode also asks the delegate for a redraw.
class PositiveNegativePlotter : public LinePlotter {
 public:
  PositiveNegativePlotter(platform::ColorRef positive, platform::ColorRef negative);

  // Does nothing without a layer. Otherwise replaces the reference and value lines; only removes them when
  // max is not above 0 or min is not at or below max (NaN included).
  void draw(const std::shared_ptr<platform::Layer>& layer, double min, double max,
            double bottomInset) override;

  // The reference line of the last pass.
  const std::shared_ptr<GradientLayer>& initialLayer() const { return initialLayer_; }

  const platform::ColorRef& positive() const { return positive_; }
  void setPositive(platform::ColorRef color) { positive_ = std::move(color); }
  const platform::ColorRef& negative() const { return negative_; }
  void setNegative(platform::ColorRef color) { negative_ = std::move(color); }
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
  void drawLine(const std::shared_ptr<platform::Layer>& layer, double min, double max, double bottomInset);
  // The dashed reference line across the whole width, one point below the height of initial.
  void drawInitialLine(const std::shared_ptr<platform::Layer>& layer, double min, double max,
                       double bottomInset);

 private:
  void removeLayers() override;

  std::shared_ptr<GradientLayer> initialLayer_;
  platform::ColorRef positive_;
  platform::ColorRef negative_;
  double initial_ = 0;
  double initialThickness_;
  platform::ColorRef initialColor_;
  double initialLineDashPhase_ = 2;
  std::vector<double> initialLineDashPattern_{3, 3};
  DrawNilMode drawNilMode_ = DrawNilMode::drawMinValue;
};

}  // namespace Tavrix
