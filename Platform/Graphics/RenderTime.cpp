#include "Platform/Graphics/RenderTime.hpp"

#include <cmath>
#include <limits>
#include <stdexcept>
#include <string>

#include "Platform/Graphics/Layer.hpp"

namespace platform {

RenderTime RenderTime::settled() { return RenderTime(std::numeric_limits<double>::infinity()); }

RenderTime RenderTime::at(double mediaTime) {
  if (std::isnan(mediaTime)) {
    throw std::invalid_argument("RenderTime::at: the media time is NaN");
  }
  return RenderTime(mediaTime);
}

AnimatableValue RenderTime::value(const Layer& layer, std::string_view keyPath) const {
  std::optional<AnimatableValue> shown =
      time_ ? layer.presentationValue(keyPath, *time_) : layer.modelValue(keyPath);
  if (!shown) {
    throw std::invalid_argument("RenderTime::value: the layer has no animatable key path \"" +
                                std::string(keyPath) + "\"");
  }
  return std::move(*shown);
}

double RenderTime::number(const Layer& layer, std::string_view keyPath) const {
  return std::get<double>(value(layer, keyPath));
}

Point RenderTime::point(const Layer& layer, std::string_view keyPath) const {
  return std::get<Point>(value(layer, keyPath));
}

Size RenderTime::size(const Layer& layer, std::string_view keyPath) const {
  return std::get<Size>(value(layer, keyPath));
}

Rect RenderTime::rect(const Layer& layer, std::string_view keyPath) const {
  return std::get<Rect>(value(layer, keyPath));
}

std::optional<Rgba> RenderTime::color(const Layer& layer, std::string_view keyPath) const {
  const AnimatableValue shown = value(layer, keyPath);
  return std::holds_alternative<std::monostate>(shown) ? std::nullopt : std::optional(std::get<Rgba>(shown));
}

std::optional<Path> RenderTime::path(const Layer& layer, std::string_view keyPath) const {
  AnimatableValue shown = value(layer, keyPath);
  if (std::holds_alternative<std::monostate>(shown)) {
    return std::nullopt;
  }
  return std::get<Path>(std::move(shown));
}

AffineTransform RenderTime::transformToSuperlayer(const Layer& layer) const {
  return time_ ? layer.presentationTransformToSuperlayer(*time_) : layer.transformToSuperlayer();
}

}  // namespace platform
