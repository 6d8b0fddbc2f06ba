#pragma once

#include <memory>
#include <vector>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/Rgba.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"

namespace Tavrix {

// The dots the line plotters put on their samples. Each is a shape layer over the host's bounds, at the
// main screen's scale, filled with one colour and not stroked; it goes on top of the host's sublayers and
// at the end of dots.
void addDot(const std::shared_ptr<platform::Layer>& host, const platform::BezierPath& outline,
            platform::Rgba fill, std::vector<std::shared_ptr<platform::ShapeLayer>>& dots);

// A sample marker's outline: a move to the centre, then the full circle of the radius.
platform::BezierPath markerOutline(platform::Point centre, double radius);

}  // namespace Tavrix
