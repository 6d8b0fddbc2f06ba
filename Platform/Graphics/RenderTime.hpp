#pragma once

#include <optional>
#include <stdexcept>
#include <string_view>

#include "Platform/Graphics/AffineTransform.hpp"
#include "Platform/Graphics/AnimatableValue.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Path.hpp"
#include "Platform/Graphics/Rgba.hpp"

namespace platform {

class Layer;

// Which values of a layer a render shows: the model values (animations ignored, as a one-pixel read of a
// layer wants) or the presentation at a media time. The settled presentation, at an infinite time, shows
// every finite animation ended and every endless one at the start of a pass; it is what snapshots show
// unless told otherwise.
class RenderTime {
 public:
  static RenderTime model() { return RenderTime(std::nullopt); }
  static RenderTime settled();
  // Throws std::invalid_argument for NaN.
  static RenderTime at(double mediaTime);

  // The value a layer shows for an animatable key path it knows; std::invalid_argument for any other key
  // path, and std::bad_variant_access when the typed read does not match the property's kind.
  AnimatableValue value(const Layer& layer, std::string_view keyPath) const;
  double number(const Layer& layer, std::string_view keyPath) const;
  Point point(const Layer& layer, std::string_view keyPath) const;
  Size size(const Layer& layer, std::string_view keyPath) const;
  Rect rect(const Layer& layer, std::string_view keyPath) const;
  // Colour and path properties that may be unset.
  std::optional<Rgba> color(const Layer& layer, std::string_view keyPath) const;
  std::optional<Path> path(const Layer& layer, std::string_view keyPath) const;
  // The map from the layer's bounds space to its superlayer's space.
  AffineTransform transformToSuperlayer(const Layer& layer) const;

 private:
  explicit RenderTime(std::optional<double> time) : time_(time) {}

  std::optional<double> time_;
};

}  // namespace platform
