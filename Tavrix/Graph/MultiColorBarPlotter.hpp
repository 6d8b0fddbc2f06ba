#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Tavrix/Graph/ColorRange.hpp"
#include "Tavrix/Graph/ColoringMode.hpp"
#include "Tavrix/Graph/OutlinedBarSeries.hpp"

namespace Tavrix {

// Outlined bars in a colour each, offset points apart whatever the slot width: value i's bar starts at
// i * W / n + offset / 2 and is W / n - offset wide. In array mode bar i takes colors[i] when there are as
// many colours as values, else colors[0]; in ranges mode it takes the colour of the first range holding
// its value, system blue when none does. A bar without a colour (no colours, or a missing value in ranges
// mode) keeps a shape layer's own look: black fill, no outline. resetAnimation() lets the grow-in play
// again.
class MultiColorBarPlotter : public OutlinedBarSeries {
 public:
  // Array mode.
  explicit MultiColorBarPlotter(std::vector<platform::ColorRef> colors = {}) : colors_(std::move(colors)) {}
  // Ranges mode.
  explicit MultiColorBarPlotter(ColorRanges colorRanges)
      : colorRanges_(std::move(colorRanges)), coloringMode_(ColoringMode::ranges) {}

  // The next draw builds flat bars again and the next animate() plays again.
  void resetAnimation() { mAlreadyAnimated_ = false; }

  // Gap between neighbouring bars in points.
  double offset() const { return offset_; }
  void setOffset(double offset) { offset_ = offset; }
  const std::vector<platform::ColorRef>& colors() const { return colors_; }
  void setColors(std::vector<platform::ColorRef> colors) { colors_ = std::move(colors); }
  const ColorRanges& colorRanges() const { return colorRanges_; }
  void setColorRanges(ColorRanges ranges) { colorRanges_ = std::move(ranges); }
  ColoringMode coloringMode() const { return coloringMode_; }
  void setColoringMode(ColoringMode mode) { coloringMode_ = mode; }

  platform::BezierPath barPath(const std::shared_ptr<platform::Layer>& layer, std::size_t index,
                               std::optional<double> max, double bottomInset) const override;
  // The colour of bar index, or null to keep the shape layer's own.
  platform::ColorRef barColor(std::size_t index) const;

 protected:
  void styleBar(platform::ShapeLayer& bar, const platform::Layer& layer, std::size_t index) const override;

 private:
  double offset_ = 4;
  std::vector<platform::ColorRef> colors_;
  ColorRanges colorRanges_;
  ColoringMode coloringMode_ = ColoringMode::array;
};

}  // namespace Tavrix
