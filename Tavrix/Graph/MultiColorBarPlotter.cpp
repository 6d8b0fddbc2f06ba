#include "Tavrix/Graph/MultiColorBarPlotter.hpp"

#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

platform::BezierPath MultiColorBarPlotter::barPath(const std::shared_ptr<platform::Layer>& layer,
                                                   std::size_t index, std::optional<double> max,
                                                   double bottomInset) const {
  const double slot = layer->frame().width() / static_cast<double>(data().size());
  return platform::BezierPath::rect(barRect(static_cast<double>(index) * slot + offset_ / 2, slot - offset_,
                                            data().at(index), max, layer->bounds().height(), bottomInset));
}

platform::ColorRef MultiColorBarPlotter::barColor(std::size_t index) const {
  switch (coloringMode_) {
    case ColoringMode::array:
      if (colors_.empty()) {
        return nullptr;
      }
      return colors_.size() == data().size() ? colors_.at(index) : colors_.front();
    case ColoringMode::ranges: {
      const std::optional<double>& value = data().at(index);
      if (!value) {
        return nullptr;
      }
      const std::shared_ptr<ColorRange> range = rangeHolding(colorRanges_, *value);
      return range ? range->color() : SystemColors::systemBlue();
    }
  }
  return nullptr;
}

void MultiColorBarPlotter::styleBar(platform::ShapeLayer& bar, const platform::Layer&,
                                    std::size_t index) const {
  if (const platform::ColorRef color = barColor(index)) {
    bar.setStrokeColor(color->rgba());
    bar.setFillColor(color->withAlphaComponent(fillAlpha())->rgba());
  }
}

}  // namespace Tavrix
