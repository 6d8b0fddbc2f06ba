#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Tavrix/Graph/ColorRange.hpp"
#include "Tavrix/Graph/SeriesPlotter.hpp"

namespace Tavrix {

// An area chart cut into vertical slices by value band: neighbouring samples whose values lie in equal
// ranges (equal bounds) share one filled shape in that range's colour, and a new shape begins where the
// band changes. Sample i of n lies at x = i * W / (n - 1); a value v at y = (H - I) - (v - min) /
// (max - min) * (H - I), a missing value counts as min, NaN (and every value when max equals min) lies on
// the baseline H - I. A shape ends with a line to the first sample of the next one, so slices meet; a
// shape of one sample takes the colour of the next sample's range; a last sample in a new range leaves a
// shape of zero width. Samples in no range make unfilled shapes.
class ColorizedSegmentPlotter : public SeriesPlotter {
 public:
  ColorizedSegmentPlotter(ColorRanges colorRanges, PlotterData data)
      : SeriesPlotter(std::move(data)), colorRanges_(std::move(colorRanges)) {}

  // Removes the shapes of the last draw; then, with a layer, two samples or more, max above 0 and min not
  // above max, draws the shapes from the first sample on.
  void draw(const std::shared_ptr<platform::Layer>& layer, double min, double max,
            double bottomInset) override;
  // Removes the shapes and forgets the ranges, the data and the delegate.
  void clear() override;

  // The filled shapes of the last draw, from left to right.
  const std::vector<std::shared_ptr<platform::ShapeLayer>>& segmentLayers() const { return segmentLayers_; }
  const ColorRanges& colorRanges() const { return colorRanges_; }
  void setColorRanges(ColorRanges ranges) { colorRanges_ = std::move(ranges); }

  // Walks the series from sample start + offset to the end: the segment that began at sample start has
  // offset samples in path so far. One loop step per sample, so a long series needs no deep stack.
  // Throws std::out_of_range when start + offset lies beyond data.
  void buildSegment(const std::shared_ptr<platform::Layer>& layer, std::size_t start, std::size_t offset,
                    platform::BezierPath path, double min, double max, double bottomInset);
  // Closes the path (when there is one) down to the baseline between endX and startX, and adds it as a
  // shape filled with the colour (unfilled without one) on top of the layer and to segmentLayers.
  void closeSegment(const std::shared_ptr<platform::Layer>& layer, std::optional<platform::BezierPath> path,
                    const platform::ColorRef& color, double startX, double endX, double bottomInset);

 private:
  std::vector<std::shared_ptr<platform::ShapeLayer>> segmentLayers_;
  ColorRanges colorRanges_;
};

}  // namespace Tavrix
