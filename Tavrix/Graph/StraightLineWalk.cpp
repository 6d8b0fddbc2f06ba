#include "Tavrix/Graph/StraightLineWalk.hpp"

#include <cmath>
#include <cstddef>

namespace Tavrix {

double straightLineY(std::optional<double> value, double min, double max, double usable) {
  if (!value || std::isnan(*value) || max == min) {
    return usable;
  }
  return usable - (*value - min) / (max - min) * usable;
}

StraightLineWalk::StraightLineWalk(const PlotterData& data, platform::Size size, double min, double max,
                                   double bottomInset, double lineWidth, bool gapsEndTheLine) {
  const double usable = size.height - bottomInset - lineWidth;
  const std::size_t count = data.size();
  const double step = (size.width - 2 * lineWidth) / static_cast<double>(count - 1);
  points.reserve(count);
  points.push_back({0, straightLineY(data.front(), min, max, usable) + 1});
  for (std::size_t i = 1; i < count; ++i) {
    if (!data[i] && gapsEndTheLine) {
      endedAtGap = true;
      return;
    }
    const double x = i + 1 == count ? size.width + lineWidth : step * static_cast<double>(i) + 1;
    points.push_back({x, lineWidth / 2 + straightLineY(data[i], min, max, usable)});
  }
}

platform::BezierPath polyline(const std::vector<platform::Point>& points) {
  platform::BezierPath path;
  path.move(points.front());
  for (std::size_t i = 1; i < points.size(); ++i) {
    path.line(points[i]);
  }
  return path;
}

}  // namespace Tavrix
