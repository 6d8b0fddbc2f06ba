#pragma once

#include <memory>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/UI/View.hpp"

namespace Tavrix {

// A horizontal bar whose filled part is a left-to-right colour gradient, animating every change of value,
// with an indeterminate mode of diagonal stripes drifting left. Drawn with layers it owns: a track, the
// stripes, and a gradient masked by one thick stroked line whose animated stroke end is the value.
//
// Every layout rebuilds the layers for the current bounds and replays the last value change; colours resolve
// under the view's effective appearance. Setting the colours, the indeterminate mode, the track colour or the
// corner style lays the view out at once; setting the duration only affects the next animation. Made in code
// (View::create) or by name from an archive ("AnimatedGradientProgressView", exposing "duration",
// "isIndeterminate" and "backgroundColor"). Main thread only.
class AnimatedGradientProgressView : public platform::View {
 public:
  static constexpr double defaultDuration = 0.66;

  explicit AnimatedGradientProgressView(const platform::Rect& frame = platform::Rect());

  // The fraction shown, in 0...1. Writing clamps (see GradientBar::fraction) and animates the line from
  // the value before the write; a value above 0 ends the indeterminate mode first.
  double value() const { return value_; }
  void setValue(double value);
  // The value before the latest write: where the animations of the line start, also those layout replays.
  double oldValue() const { return oldValue_; }

  // Seconds a change of value takes. Throws std::invalid_argument for a negative or non-finite duration.
  double duration() const { return duration_; }
  void setDuration(double seconds);
  // The gradient's colours, evenly spaced from left to right; the palette's gradient pair unless set.
  // Throws std::invalid_argument for a null colour.
  const std::vector<platform::ColorRef>& colors() const { return colors_; }
  void setColors(std::vector<platform::ColorRef> colors);
  bool isIndeterminate() const { return isIndeterminate_; }
  void setIsIndeterminate(bool indeterminate);
  // The track's fill colour (not the backing layer's background); the tertiary label colour unless set.
  // Throws std::invalid_argument for a null colour.
  const platform::ColorRef& backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(platform::ColorRef color);
  // A capsule with round line caps when set; square corners and butt caps otherwise.
  bool hasCorners() const { return hasCorners_; }
  void setHasCorners(bool hasCorners);

  const std::shared_ptr<platform::ShapeLayer>& bgLayer() const { return bgLayer_; }
  const std::shared_ptr<platform::ShapeLayer>& progressLayer() const { return progressLayer_; }
  const std::shared_ptr<platform::GradientLayer>& gradientLayer() const { return gradientLayer_; }
  const std::shared_ptr<platform::ShapeLayer>& blockLayer() const { return blockLayer_; }

  // Empties the line at once: both values 0, no animation, stroke end 0. The stripes keep running.
  virtual void reset();
  // Rebuilds every layer for the current bounds, in stacking order track, stripes, gradient, and replays
  // the value animation. layout() runs it.
  virtual void setup();
  // Animates the line's stroke end from the old value to the value, easing in and out, and holds the end.
  virtual void animateValue();
  // Builds the stripes for the current width and starts their endless drift; setup() runs it.
  virtual void startIndeterminate();

  void layout() override;

 private:
  const std::shared_ptr<platform::ShapeLayer> bgLayer_;
  std::shared_ptr<platform::ShapeLayer> progressLayer_;
  std::shared_ptr<platform::GradientLayer> gradientLayer_;
  std::shared_ptr<platform::ShapeLayer> blockLayer_;
  double value_ = 0;
  double oldValue_ = 0;
  double duration_ = defaultDuration;
  std::vector<platform::ColorRef> colors_;
  bool isIndeterminate_ = false;
  platform::ColorRef backgroundColor_;
  bool hasCorners_ = true;
};

}  // namespace Tavrix
