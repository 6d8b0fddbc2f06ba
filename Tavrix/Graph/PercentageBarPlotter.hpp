#pragma once

#include <memory>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Tavrix/Graph/SeriesPlotter.hpp"

namespace Tavrix {

// A shaded band over the whole height of the plot, from start to end, fractions of its width (not
// clamped), outlined in the colour and filled with it at fillAlpha. A band narrower than minDelta is not
// shown. The band does not depend on data: update() only asks the delegate for a redraw. One layer serves
// the plotter for its life.
class PercentageBarPlotter : public SeriesPlotter {
 public:
  explicit PercentageBarPlotter(platform::ColorRef color);

  // Keeps data as it is and calls plotterDidUpdateData on the delegate: a request to redraw.
  void update(PlotterData data) override;
  // drawBar(); the range and inset do not matter.
  void draw(const std::shared_ptr<platform::Layer>& layer, double min, double max,
            double bottomInset) override;
  // Takes the band out of the layer tree, drops the delegate and empties data.
  void clear() override;

  // The band, the same layer at every draw.
  const std::shared_ptr<platform::ShapeLayer>& barLayer() const { return barLayer_; }
  double minDelta() const { return minDelta_; }
  void setMinDelta(double delta) { minDelta_ = delta; }
  double fillAlpha() const { return fillAlpha_; }
  void setFillAlpha(double alpha) { fillAlpha_ = alpha; }
  const platform::ColorRef& color() const { return color_; }
  void setColor(platform::ColorRef color) { color_ = std::move(color); }
  double lineWidth() const { return lineWidth_; }
  void setLineWidth(double width) { lineWidth_ = width; }
  double start() const { return start_; }
  void setStart(double start) { start_ = start; }
  double end() const { return end_; }
  void setEnd(double end) { end_ = end; }

  // Without a layer nothing; else the band leaves the tree and, unless end - start is below minDelta,
  // comes back with the rectangle start * W, lineWidth / 2, (end - start) * W wide and H high.
  void drawBar(const std::shared_ptr<platform::Layer>& layer);

 private:
  std::shared_ptr<platform::ShapeLayer> barLayer_ = std::make_shared<platform::ShapeLayer>();
  double minDelta_ = 0.001;
  double fillAlpha_ = 0.75;
  platform::ColorRef color_;
  double lineWidth_;
  double start_ = 0;
  double end_ = 0;
};

}  // namespace Tavrix
