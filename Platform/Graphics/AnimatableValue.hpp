#pragma once

#include <optional>
#include <variant>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Path.hpp"
#include "Platform/Graphics/Rgba.hpp"

namespace platform {

// The value of an animatable layer property. std::monostate stands for "none", the value of a colour or
// path property that is not set.
using AnimatableValue = std::variant<std::monostate, double, Point, Size, Rect, Rgba, Path>;

// The value of an optional colour or path property: the value, or std::monostate for none.
AnimatableValue animatable(const std::optional<Rgba>& color);
AnimatableValue animatable(const std::optional<Path>& path);

// True when a value can stand for a property whose model value is model: the same alternative, or "none"
// against a colour or a path (either way round).
bool isSameKind(const AnimatableValue& value, const AnimatableValue& model);

// The blend at fraction (0 gives from, 1 gives to): linear for numbers, points, sizes and rectangles,
// component by component for colours, point by point for paths of the same shape. Values that cannot blend
// (different alternatives, paths of different shapes) switch from from to to at fraction 1.
AnimatableValue interpolate(const AnimatableValue& from, const AnimatableValue& to, double fraction);

}  // namespace platform
