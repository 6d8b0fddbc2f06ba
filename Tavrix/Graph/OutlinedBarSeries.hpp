#pragma once

#include <cstddef>
#include <memory>
#include <vector>

#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Tavrix/Graph/BarSeriesPlotter.hpp"

namespace Tavrix {

// Bars that are shape layers of their own, stroked with lineWidth and filled at fillAlpha of their colour.
// A value of exactly 0 gets no bar (a null entry); a missing value gets the flat bar.
class OutlinedBarSeries : public BarSeriesPlotter {
 public:
  // IDataPlotter. Replaces the bars of the last draw with one per value (null entries included).
  void draw(const std::shared_ptr<platform::Layer>& layer, double min, double max,
            double bottomInset) override;
  // Removes the bars, drops the delegate and forgets the data.
  void clear() override;

  // One entry per value of the last draw; null where the value got no bar.
  const std::vector<std::shared_ptr<platform::ShapeLayer>>& barLayers() const { return barLayers_; }
  double fillAlpha() const { return fillAlpha_; }
  void setFillAlpha(double alpha) { fillAlpha_ = alpha; }
  double lineWidth() const { return lineWidth_; }
  void setLineWidth(double width) { lineWidth_ = width; }

  // The bar of value index, or null for a value of exactly 0 or without a layer.
  std::shared_ptr<platform::ShapeLayer> createBar(const std::shared_ptr<platform::Layer>& layer,
                                                  std::size_t index, std::optional<double> max,
                                                  double bottomInset) const;

 protected:
  OutlinedBarSeries();
  // Sets what differs between the plotters on a new bar: its frame and colours.
  virtual void styleBar(platform::ShapeLayer& bar, const platform::Layer& layer, std::size_t index) const = 0;
  const std::vector<std::shared_ptr<platform::ShapeLayer>>& animatedLayers() const override {
    return barLayers_;
  }

 private:
  std::vector<std::shared_ptr<platform::ShapeLayer>> barLayers_;
  double fillAlpha_ = 0.75;
  double lineWidth_;
};

}  // namespace Tavrix
