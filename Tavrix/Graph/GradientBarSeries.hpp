#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Tavrix/Graph/BarSeriesPlotter.hpp"

namespace Tavrix {

// Bars cut out of a vertical gradient: each bar is a gradient layer over the whole plot, colors from its
// y = 0 edge (the top of a graph view) to the opposite edge, masked by a shape layer of the bar's outline.
// A short bar therefore shows only the colours near the baseline. The masks carry the grow-in.
class GradientBarSeries : public BarSeriesPlotter {
 public:
  using Bar = std::pair<std::shared_ptr<platform::ShapeLayer>, std::shared_ptr<platform::GradientLayer>>;

  // IDataPlotter. Replaces the bars of the last draw (removeBars(), then drawBars()).
  void draw(const std::shared_ptr<platform::Layer>& layer, double min, double max,
            double bottomInset) override;
  // Removes the bars, drops the delegate and forgets the data.
  void clear() override;

  // One entry per value of the last draw, at equal indices; null where the value got no bar.
  const std::vector<std::shared_ptr<platform::ShapeLayer>>& maskingLayers() const { return maskingLayers_; }
  const std::vector<std::shared_ptr<platform::GradientLayer>>& gradientLayers() const {
    return gradientLayers_;
  }
  // Kept for callers; the drawing does not read it.
  double fillAlpha() const { return fillAlpha_; }
  void setFillAlpha(double alpha) { fillAlpha_ = alpha; }
  const std::vector<platform::ColorRef>& colors() const { return colors_; }
  void setColors(std::vector<platform::ColorRef> colors) { colors_ = std::move(colors); }

  // Without a layer or data nothing; else one bar per value, the gradients added to the layer.
  void drawBars(const std::shared_ptr<platform::Layer>& layer, double max, double bottomInset);
  // The mask and gradient of value index; nulls without a layer or when the value gets no bar.
  Bar createBar(const std::shared_ptr<platform::Layer>& layer, std::size_t index, std::optional<double> max,
                double bottomInset) const;
  // Takes every bar out of the layer tree (and its mask's animations off) and forgets them.
  void removeBars();

 protected:
  explicit GradientBarSeries(std::vector<platform::ColorRef> colors) : colors_(std::move(colors)) {}
  // Whether a value of exactly 0 gets a bar.
  virtual bool drawsZero() const = 0;
  const std::vector<std::shared_ptr<platform::ShapeLayer>>& animatedLayers() const override {
    return maskingLayers_;
  }

 private:
  std::vector<std::shared_ptr<platform::ShapeLayer>> maskingLayers_;
  std::vector<std::shared_ptr<platform::GradientLayer>> gradientLayers_;
  double fillAlpha_ = 0.75;
  std::vector<platform::ColorRef> colors_;
};

}  // namespace Tavrix
