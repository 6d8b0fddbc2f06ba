#pragma once

#include <optional>
#include <vector>

#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/Path.hpp"
#include "Platform/Graphics/Rgba.hpp"
#include "Platform/Graphics/StrokeStyle.hpp"

namespace platform {

enum class FillRule { nonZero, evenOdd };

// A layer whose content is a path in its own space, filled and then stroked. By the platform's defaults it
// fills opaque black and does not stroke. strokeStart and strokeEnd select the part of the path that is
// stroked, as fractions of its length (see Path::trimmed); the fill always uses the whole path.
//
// Adds the animatable key paths "path", "fillColor", "strokeColor", "lineWidth", "miterLimit",
// "lineDashPhase", "strokeStart" and "strokeEnd".
class ShapeLayer : public Layer {
 public:
  const std::optional<Path>& path() const { return path_; }
  void setPath(std::optional<Path> path) { path_ = std::move(path); }
  const std::optional<Rgba>& fillColor() const { return fillColor_; }
  void setFillColor(std::optional<Rgba> color) { fillColor_ = color; }
  FillRule fillRule() const { return fillRule_; }
  void setFillRule(FillRule rule) { fillRule_ = rule; }
  const std::optional<Rgba>& strokeColor() const { return strokeColor_; }
  void setStrokeColor(std::optional<Rgba> color) { strokeColor_ = color; }

  // The stroke as a whole, and its parts by their own names.
  const StrokeStyle& strokeStyle() const { return strokeStyle_; }
  double lineWidth() const { return strokeStyle_.lineWidth; }
  void setLineWidth(double width) { strokeStyle_.lineWidth = width; }
  LineCap lineCap() const { return strokeStyle_.lineCap; }
  void setLineCap(LineCap cap) { strokeStyle_.lineCap = cap; }
  LineJoin lineJoin() const { return strokeStyle_.lineJoin; }
  void setLineJoin(LineJoin join) { strokeStyle_.lineJoin = join; }
  const std::vector<double>& lineDashPattern() const { return strokeStyle_.dashPattern; }
  void setLineDashPattern(std::vector<double> pattern) { strokeStyle_.dashPattern = std::move(pattern); }
  double lineDashPhase() const { return strokeStyle_.dashPhase; }
  void setLineDashPhase(double phase) { strokeStyle_.dashPhase = phase; }

  double strokeStart() const { return strokeStart_; }
  void setStrokeStart(double fraction) { strokeStart_ = fraction; }
  double strokeEnd() const { return strokeEnd_; }
  void setStrokeEnd(double fraction) { strokeEnd_ = fraction; }

  std::optional<AnimatableValue> modelValue(std::string_view keyPath) const override;

 private:
  std::optional<Path> path_;
  std::optional<Rgba> fillColor_ = Rgba{0, 0, 0, 1};
  FillRule fillRule_ = FillRule::nonZero;
  std::optional<Rgba> strokeColor_;
  StrokeStyle strokeStyle_;
  double strokeStart_ = 0;
  double strokeEnd_ = 1;
};

}  // namespace platform
