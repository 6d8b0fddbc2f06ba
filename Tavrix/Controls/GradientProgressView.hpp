#pragma once

#include <memory>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/UI/View.hpp"

namespace Tavrix {

// A capsule bar whose filled part is a left-to-right colour gradient and that jumps to each new value
// without animation. Drawn with layers it owns: a track in the tertiary label colour, and a gradient masked
// by one thick stroked line whose stroke end is the value. The layers are configured once when the view is
// made; layout resizes them, sets both line widths to the current height and resolves the colours again
// under the view's effective appearance, which an appearance change also does. Setting the colours lays the
// view out at once. Made in code (View::create) or by name from an archive ("GradientProgressView"). Main
// thread only.
class GradientProgressView : public platform::View {
 public:
  explicit GradientProgressView(const platform::Rect& frame = platform::Rect());

  // The fraction shown, in 0...1. Writing clamps (see GradientBar::fraction) and sets the line's stroke end
  // at once, layout or not.
  double value() const { return value_; }
  void setValue(double value);

  // The gradient's colours, evenly spaced from left to right; the palette's gradient pair unless set.
  // Throws std::invalid_argument for a null colour.
  const std::vector<platform::ColorRef>& colors() const { return colors_; }
  void setColors(std::vector<platform::ColorRef> colors);

  const std::shared_ptr<platform::ShapeLayer>& bgLayer() const { return bgLayer_; }
  const std::shared_ptr<platform::ShapeLayer>& progressLayer() const { return progressLayer_; }
  const std::shared_ptr<platform::GradientLayer>& gradientLayer() const { return gradientLayer_; }

  // Configures the layers and adds them to the view; making the view runs it.
  virtual void redraw();

  void layout() override;
  void viewDidChangeEffectiveAppearance() override;

 protected:
  void didInit() override;

 private:
  const std::shared_ptr<platform::ShapeLayer> bgLayer_;
  std::shared_ptr<platform::ShapeLayer> progressLayer_;
  std::shared_ptr<platform::GradientLayer> gradientLayer_;
  double value_ = 0;
  std::vector<platform::ColorRef> colors_;
};

}  // namespace Tavrix
