#pragma once

#include <memory>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/UI/View.hpp"

namespace Tavrix {

// A full-ring gauge whose value arc is a left-to-right colour gradient, shown through a ring-shaped mask
// that starts at the top and runs clockwise, over a track ring of radius W / 2 - 2 × lineWidth - 2. Every
// change of value animates the mask's stroke end from the former value; the animation stays on the layer
// and holds the value, except that one ending at 0 is removed when done (the mask's own stroke end is 0).
// The layers join the view only when it awakes from an archive ("GradientCircularGauge", exposing
// "backColor", "duration" and "lineWidth"), so made in code it shows nothing. Setting the track colour,
// the colours, the line width or the cap style lays it out; layout leaves the animation alone. Main thread
// only.
class GradientCircularGauge : public platform::View {
 public:
  static constexpr double defaultDuration = 0.5;

  explicit GradientCircularGauge(const platform::Rect& frame = platform::Rect());

  // The fraction shown, not clamped (NaN counts as 0). Writing the kept value again does nothing; any other
  // value becomes the value, the former one the old value, and the change is animated (no layout).
  double value() const { return mValue_; }
  void setValue(double value);
  double oldValue() const { return mOldValue_; }

  // Throws std::invalid_argument for a null colour.
  const platform::ColorRef& backColor() const { return backColor_; }
  void setBackColor(platform::ColorRef color);
  // Seconds a change of value takes; only the next change uses a new one. Throws std::invalid_argument for
  // a negative or non-finite duration.
  double duration() const { return duration_; }
  void setDuration(double seconds);
  // Evenly spaced from left to right; the palette's gradient pair unless set. Throws std::invalid_argument
  // for a null colour.
  const std::vector<platform::ColorRef>& colors() const { return colors_; }
  void setColors(std::vector<platform::ColorRef> colors);
  double lineWidth() const { return lineWidth_; }
  void setLineWidth(double width);
  bool useRoundCap() const { return useRoundCap_; }
  void setUseRoundCap(bool useRoundCap);

  const std::shared_ptr<platform::ShapeLayer>& maskingLayer() const { return maskingLayer_; }
  const std::shared_ptr<platform::ShapeLayer>& backgroundLayer() const { return backgroundLayer_; }
  const std::shared_ptr<platform::GradientLayer>& gradientLayer() const { return gradientLayer_; }

  virtual void drawBackground();
  virtual void drawGradient();
  // Animates the mask's stroke end from the old value to the value, easing in and out.
  virtual void animateValue();

  void awakeFromNib() override;
  void layout() override;

 private:
  double radius() const;

  const std::shared_ptr<platform::ShapeLayer> maskingLayer_;
  const std::shared_ptr<platform::ShapeLayer> backgroundLayer_;
  const std::shared_ptr<platform::GradientLayer> gradientLayer_;
  double mOldValue_ = 0;
  double mValue_ = 0;
  platform::ColorRef backColor_;
  double duration_ = defaultDuration;
  std::vector<platform::ColorRef> colors_;
  double lineWidth_ = 5;
  bool useRoundCap_ = true;
};

}  // namespace Tavrix
