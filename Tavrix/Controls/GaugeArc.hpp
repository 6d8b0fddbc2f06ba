#pragma once

#include <optional>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Path.hpp"
#include "Platform/Graphics/Rgba.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"

namespace Tavrix {

// The rings of the gauges: the three-quarter rings of Gauge and DoubleGauge and the full rings of GaugeView
// and GradientCircularGauge. Angles run counterclockwise from the positive x axis in
// the view's y-up space; the ring is open at the bottom, between 225° and 315°.
class GaugeArc {
 public:
  GaugeArc() = delete;

  // The track: counterclockwise from -45° to -135°, 270° over the top. Empty for a radius of zero or less.
  static platform::Path track(platform::Point center, double radius);
  // The part of the track a value fills from its lower left end, 270° per unit: one clockwise arc from 225°
  // while it stays above 0°, else a clockwise arc from 225° to 0° followed by a clockwise arc from 0° to
  // (270 - a) + 315°, where a = 270 × value. At exactly 5/6 the second arc runs from 0° to 360° and sweeps
  // nothing. Empty for a radius of zero or less.
  static platform::Path value(platform::Point center, double radius, double value);

  // A whole circle, counterclockwise from 0° to 360°.
  static platform::Path fullCircle(platform::Point center, double radius);
  // A ring a hair short of a full turn, clockwise from the top (90° to 90.000001°), so that a stroke end of
  // f shows the fraction f of the ring from 12 o'clock clockwise.
  static platform::Path clockwiseFromTop(platform::Point center, double radius);

  // The radius of a ring of a gauge whose bounds are width wide, `inset` line widths in from the edge:
  // width / 2 - inset × lineWidth - 2.
  static double radius(double width, double lineWidth, double inset);

  // Readies a gauge layer to stroke a ring: the contents scale of the main screen, the bounds as frame, the
  // line width, no fill, the stroke colour (none when absent), round caps and the path.
  static void configure(platform::ShapeLayer& layer, const platform::Rect& bounds, double lineWidth,
                        std::optional<platform::Rgba> strokeColor, platform::Path path);
};

}  // namespace Tavrix
