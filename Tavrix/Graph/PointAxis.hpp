#pragma once

#include <memory>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Tavrix/Graph/AxisPoint.hpp"
#include "Tavrix/Graph/IAxis.hpp"

namespace Tavrix {

// An x axis with a short tick and an optional label at each of its points, placed by value on a 0..max
// scale over the layer's width. Changing the points or max does not redraw.
class PointAxis : public IAxis {
 public:
  PointAxis(std::vector<std::shared_ptr<AxisPoint>> points, double max);

  // All tick strokes, in one layer.
  const std::shared_ptr<platform::ShapeLayer>& tickLayer() const { return tickLayer_; }
  void setTickLayer(std::shared_ptr<platform::ShapeLayer> layer) { tickLayer_ = std::move(layer); }
  // The labels and the tick layer of the last draw.
  const std::vector<std::shared_ptr<platform::Layer>>& layers() const { return layers_; }
  void setLayers(std::vector<std::shared_ptr<platform::Layer>> layers) { layers_ = std::move(layers); }
  // Drawn in order.
  const std::vector<std::shared_ptr<AxisPoint>>& points() const { return points_; }
  void setPoints(std::vector<std::shared_ptr<AxisPoint>> points) { points_ = std::move(points); }
  double max() const { return max_; }
  void setMax(double max) { max_ = max; }
  // Kept for callers; drawing does not use it.
  const platform::ColorRef& lineColor() const { return lineColor_; }
  void setLineColor(platform::ColorRef color) { lineColor_ = std::move(color); }
  // Every tick and label sits half of it to the left.
  double tickRadius() const { return tickRadius_; }
  void setTickRadius(double radius) { tickRadius_ = radius; }
  double fontSize() const { return fontSize_; }
  void setFontSize(double size) { fontSize_ = size; }
  platform::FontWeight fontWeight() const { return fontWeight_; }
  void setFontWeight(platform::FontWeight weight) { fontWeight_ = weight; }

  double height() const override { return 24; }
  // Removes the old layers, then draws the points unless there are none, the layer is null or max is not
  // above 0. The line width is not used.
  void draw(const std::shared_ptr<platform::Layer>& layer, double lineWidth) override;
  // Removes the layers and forgets the points: nothing draws until new points are set.
  void clear() override;

  // Ticks 3 points down from the top of the 24-point band and labels centred under them, moved left to end
  // 1 point before the right edge when they would pass it. A point beyond max ends the pass at once: the
  // labels so far stay and no tick shows.
  virtual void drawPoints(platform::Layer& layer);

 private:
  void removeLayers();

  std::shared_ptr<platform::ShapeLayer> tickLayer_ = std::make_shared<platform::ShapeLayer>();
  std::vector<std::shared_ptr<platform::Layer>> layers_;
  std::vector<std::shared_ptr<AxisPoint>> points_;
  double max_;
  platform::ColorRef lineColor_;
  double tickRadius_ = 2;
  double fontSize_ = 12;
  platform::FontWeight fontWeight_ = platform::FontWeight::regular;
};

}  // namespace Tavrix
