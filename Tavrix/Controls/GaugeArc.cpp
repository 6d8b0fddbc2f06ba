#include "Tavrix/Controls/GaugeArc.hpp"

#include <utility>

#include "Platform/Graphics/BezierPath.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"

namespace Tavrix {

namespace {

constexpr double startAngle = 225;
constexpr double sweep = 270;
constexpr double openEndAngle = 315;

}  // namespace

platform::Path GaugeArc::track(platform::Point center, double radius) {
  platform::BezierPath path;
  path.appendArc(center, radius, -45, -135);
  return NSBezierPath::cgPath(path);
}

platform::Path GaugeArc::value(platform::Point center, double radius, double value) {
  const double angle = value * sweep;
  platform::BezierPath path;
  if (startAngle - angle > 0) {
    path.appendArc(center, radius, startAngle, startAngle - angle, true);
  } else {
    path.appendArc(center, radius, startAngle, 0, true);
    path.appendArc(center, radius, 0, (sweep - angle) + openEndAngle, true);
  }
  return NSBezierPath::cgPath(path);
}

platform::Path GaugeArc::fullCircle(platform::Point center, double radius) {
  platform::BezierPath path;
  path.appendArc(center, radius, 0, 360);
  return NSBezierPath::cgPath(path);
}

platform::Path GaugeArc::clockwiseFromTop(platform::Point center, double radius) {
  platform::BezierPath path;
  path.appendArc(center, radius, 90, 90.000001, true);
  return NSBezierPath::cgPath(path);
}

double GaugeArc::radius(double width, double lineWidth, double inset) {
  return width * 0.5 - inset * lineWidth - 2;
}

void GaugeArc::configure(platform::ShapeLayer& layer, const platform::Rect& bounds, double lineWidth,
                         std::optional<platform::Rgba> strokeColor, platform::Path path) {
  layer.setContentsScale(mainScreenScale());
  layer.setFrame(bounds);
  layer.setLineWidth(lineWidth);
  layer.setFillColor(std::nullopt);
  layer.setStrokeColor(strokeColor);
  layer.setLineCap(platform::LineCap::round);
  layer.setPath(std::move(path));
}

}  // namespace Tavrix
