#include "Tavrix/Graph/PlotterDots.hpp"

#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"

namespace Tavrix {

void addDot(const std::shared_ptr<platform::Layer>& host, const platform::BezierPath& outline,
            platform::Rgba fill, std::vector<std::shared_ptr<platform::ShapeLayer>>& dots) {
  auto dot = std::make_shared<platform::ShapeLayer>();
  dot->setFrame(host->bounds());
  dot->setContentsScale(mainScreenScale());
  dot->setFillColor(fill);
  dot->setStrokeColor(std::nullopt);
  dot->setPath(NSBezierPath::cgPath(outline));
  dots.push_back(dot);
  host->addSublayer(dot);
}

platform::BezierPath markerOutline(platform::Point centre, double radius) {
  platform::BezierPath outline;
  outline.move(centre);
  outline.appendArc(centre, radius, 0, 360);
  return outline;
}

}  // namespace Tavrix
