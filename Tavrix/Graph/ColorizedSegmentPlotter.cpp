#include "Tavrix/Graph/ColorizedSegmentPlotter.hpp"

#include <cmath>
#include <utility>

#include "Platform/Graphics/RemoveAllFromSuperlayer.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"

namespace Tavrix {

namespace {

bool sameBand(const std::shared_ptr<ColorRange>& a, const std::shared_ptr<ColorRange>& b) {
  return a && b && *a == *b;
}

platform::ColorRef colorOf(const std::shared_ptr<ColorRange>& range) {
  return range ? range->color() : nullptr;
}

}  // namespace

void ColorizedSegmentPlotter::draw(const std::shared_ptr<platform::Layer>& layer, double min, double max,
                                   double bottomInset) {
  platform::removeAllFromSuperlayer(segmentLayers_);
  if (layer && data_.size() >= 2 && max > 0 && min <= max) {
    buildSegment(layer, 0, 0, platform::BezierPath(), min, max, bottomInset);
  }
}

void ColorizedSegmentPlotter::clear() {
  platform::removeAllFromSuperlayer(segmentLayers_);
  colorRanges_.clear();
  forgetSeries();
}

void ColorizedSegmentPlotter::buildSegment(const std::shared_ptr<platform::Layer>& layer, std::size_t start,
                                           std::size_t offset, platform::BezierPath path, double min,
                                           double max, double bottomInset) {
  const platform::Rect bounds = layer->bounds();
  const double baseline = bounds.height() - bottomInset;
  const std::size_t last = data_.size() - 1;
  const auto xOf = [&](std::size_t i) {
    return static_cast<double>(i) * bounds.width() / static_cast<double>(last);
  };
  const auto valueOf = [&](std::size_t i) { return data_.at(i).value_or(min); };
  const auto yOf = [&](std::size_t i) {
    const double value = valueOf(i);
    return std::isnan(value) || max == min ? baseline : baseline - (value - min) / (max - min) * baseline;
  };
  // Each turn is one level of the walk: sample i = start + offset of the segment that began at start.
  for (;;) {
    const std::size_t i = start + offset;
    const std::shared_ptr<ColorRange> range = rangeHolding(colorRanges_, valueOf(i));
    const double y = yOf(i);
    if (offset >= 1 && i == last) {
      path.line({bounds.width(), y});
      closeSegment(layer, std::move(path), colorOf(range), xOf(start), bounds.width(), bottomInset);
      return;
    }
    const platform::Point point{xOf(i), y};
    if (offset == 0) {
      path.move(point);
    } else {
      path.line(point);
    }
    if (i == last) {
      closeSegment(layer, std::move(path), colorOf(range), xOf(start), point.x, bottomInset);
      return;
    }
    const std::shared_ptr<ColorRange> next = rangeHolding(colorRanges_, valueOf(i + 1));
    if (sameBand(range, next)) {
      ++offset;
      continue;
    }
    // The band changes: this segment reaches the next sample, which starts the next one. A segment of one
    // sample takes the next sample's colour.
    path.line({xOf(i + 1), yOf(i + 1)});
    closeSegment(layer, std::move(path), colorOf(offset == 0 ? next : range), xOf(start), xOf(i + 1),
                 bottomInset);
    start = i + 1;
    offset = 0;
    path = platform::BezierPath();
  }
}

void ColorizedSegmentPlotter::closeSegment(const std::shared_ptr<platform::Layer>& layer,
                                           std::optional<platform::BezierPath> path,
                                           const platform::ColorRef& color, double startX, double endX,
                                           double bottomInset) {
  const double baseline = layer->bounds().height() - bottomInset;
  if (path) {
    path->line({endX, baseline});
    path->line({startX, baseline});
    path->close();
  }
  auto segment = std::make_shared<platform::ShapeLayer>();
  segment->setFillColor(color ? std::optional(color->rgba()) : std::nullopt);
  segment->setStrokeColor(std::nullopt);
  segment->setContentsScale(mainScreenScale());
  if (path) {
    segment->setPath(NSBezierPath::cgPath(*path));
  }
  layer->addSublayer(segment);
  segmentLayers_.push_back(segment);
}

}  // namespace Tavrix
