#include "Platform/Graphics/AnimatableValue.hpp"

namespace platform {

namespace {

bool isOptionalKind(const AnimatableValue& value) {
  return std::holds_alternative<Rgba>(value) || std::holds_alternative<Path>(value);
}

double blend(double from, double to, double fraction) { return from + (to - from) * fraction; }

Point blend(Point from, Point to, double fraction) {
  return {blend(from.x, to.x, fraction), blend(from.y, to.y, fraction)};
}

Size blend(Size from, Size to, double fraction) {
  return {blend(from.width, to.width, fraction), blend(from.height, to.height, fraction)};
}

Rect blend(const Rect& from, const Rect& to, double fraction) {
  return {blend(from.origin, to.origin, fraction), blend(from.size, to.size, fraction)};
}

Rgba blend(const Rgba& from, const Rgba& to, double fraction) {
  return {blend(from.red, to.red, fraction), blend(from.green, to.green, fraction),
          blend(from.blue, to.blue, fraction), blend(from.alpha, to.alpha, fraction)};
}

Path blend(const Path& from, const Path& to, double fraction) {
  return Path::interpolate(from, to, fraction);
}

std::monostate blend(std::monostate, std::monostate, double) { return {}; }

}  // namespace

AnimatableValue animatable(const std::optional<Rgba>& color) {
  return color ? AnimatableValue(*color) : AnimatableValue();
}

AnimatableValue animatable(const std::optional<Path>& path) {
  return path ? AnimatableValue(*path) : AnimatableValue();
}

bool isSameKind(const AnimatableValue& value, const AnimatableValue& model) {
  if (value.index() == model.index()) {
    return true;
  }
  const bool valueIsNone = std::holds_alternative<std::monostate>(value);
  const bool modelIsNone = std::holds_alternative<std::monostate>(model);
  return (valueIsNone && isOptionalKind(model)) || (modelIsNone && isOptionalKind(value));
}

AnimatableValue interpolate(const AnimatableValue& from, const AnimatableValue& to, double fraction) {
  if (from.index() != to.index()) {
    return fraction < 1 ? from : to;
  }
  return std::visit(
      [&to, fraction](const auto& start) -> AnimatableValue {
        using Value = std::decay_t<decltype(start)>;
        return blend(start, std::get<Value>(to), fraction);
      },
      from);
}

}  // namespace platform
