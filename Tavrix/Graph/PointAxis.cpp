#include "Tavrix/Graph/PointAxis.hpp"

#include <cmath>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/RemoveAllFromSuperlayer.hpp"
#include "Platform/Graphics/TextLayer.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

PointAxis::PointAxis(std::vector<std::shared_ptr<AxisPoint>> points, double max)
    : points_(std::move(points)), max_(max), lineColor_(SystemColors::separatorColor()) {}

void PointAxis::draw(const std::shared_ptr<platform::Layer>& layer, double) {
  removeLayers();
  // A maximum that is not above 0 would put every point at an infinite or meaningless position.
  if (points_.empty() || !layer || !(max_ > 0) || !std::isfinite(max_)) return;
  drawPoints(*layer);
}

void PointAxis::clear() {
  removeLayers();
  points_.clear();
}

void PointAxis::removeLayers() { platform::removeAllFromSuperlayer(layers_); }

void PointAxis::drawPoints(platform::Layer& layer) {
  const platform::Rect bounds = layer.bounds();
  const double width = bounds.width();
  const double height = bounds.height();
  platform::BezierPath ticks;
  for (const std::shared_ptr<AxisPoint>& point : points_) {
    if (point->value() > max_) return;
    const double x = point->value() / max_ * width - tickRadius_ / 2;
    ticks.move({x, height - 24});
    ticks.line({x, height - 21});
    if (!point->text()) continue;
    const auto font = platform::Font::systemFont(fontSize_, fontWeight_);
    const platform::Size size =
        platform::TextMeasurer::boundingSize(*point->text(), {.font = font}, {64, 20});
    platform::Rect frame(x - size.width / 2, height - 22 + size.height / 2, size.width, 20);
    if (frame.maxX() > width) frame.origin.x = width - size.width - 1;
    auto label = std::make_shared<platform::TextLayer>();
    label->setFont(font);
    label->setForegroundColor(SystemColors::secondaryLabelColor()->rgba());
    label->setFontSize(fontSize_);
    label->setString(*point->text());
    label->setFrame(frame);
    label->setWrapped(false);
    label->setAlignmentMode(platform::TextAlignment::center);
    label->setContentsScale(mainScreenScale());
    layer.addSublayer(label);
    layers_.push_back(std::move(label));
  }
  tickLayer_->setPath(NSBezierPath::cgPath(ticks));
  tickLayer_->setStrokeColor(SystemColors::tertiaryLabelColor()->rgba());
  tickLayer_->setFillColor(std::nullopt);
  layers_.push_back(tickLayer_);
  layer.addSublayer(tickLayer_);
}

}  // namespace Tavrix
