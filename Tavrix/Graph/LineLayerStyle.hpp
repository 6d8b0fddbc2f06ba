#pragma once

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Tavrix/Graph/GradientLayer.hpp"

namespace Tavrix {

// How the line plotters dress their gradient layers, read from the plotter's own properties.

// The line's width, join, dash and the direction of its gradient.
template <class Plotter>
void applyLineStyle(GradientLayer& line, const Plotter& plotter) {
  line.setLineWidth(plotter.lineWidth());
  line.setLineJoin(plotter.lineJoin());
  line.setLineDashPhase(plotter.lineDashPhase());
  line.setLineDashPattern(plotter.lineDashPattern());
  line.setStartPoint(plotter.strokeStartPoint());
  line.setEndPoint(plotter.strokeEndPoint());
}

// The path stroked in the plotter's stroke colour, unfilled, in the plotter's line style.
template <class Plotter>
void strokeLine(GradientLayer& line, const Plotter& plotter, const platform::BezierPath& path) {
  line.setStrokeColor(plotter.strokeColor());
  line.setFillColor(nullptr);
  line.setPath(path);
  applyLineStyle(line, plotter);
}

// The path filled (opaque, not stroked) with the area's gradient, running as the plotter's fill points say.
template <class Plotter>
void fillUnderLine(GradientLayer& area, const Plotter& plotter, const platform::BezierPath& path) {
  area.setPath(path);
  area.setLineWidth(0);
  area.setStrokeColor(platform::Color::clear());
  area.setFillColor(platform::Color::black());
  area.setStartPoint(plotter.fillStartPoint());
  area.setEndPoint(plotter.fillEndPoint());
}

}  // namespace Tavrix
