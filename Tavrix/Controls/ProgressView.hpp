#pragma once

#include "Platform/Graphics/Color.hpp"
#include "Tavrix/Controls/SolidProgressBar.hpp"

namespace Tavrix {

// A solid bar in one colour: the track is the colour at a lower alpha, the fill the colour itself, and the
// corners are round (radius H / 2) unless switched off. Made in code or by name ("ProgressView").
class ProgressView : public SolidProgressBar {
 public:
  explicit ProgressView(const platform::Rect& frame = platform::Rect());

  // The accent colour unless set; throws std::invalid_argument for a null colour.
  const platform::ColorRef& color() const { return color_; }
  void setColor(platform::ColorRef color);
  bool roundCorners() const { return roundCorners_; }
  void setRoundCorners(bool roundCorners);
  // The track's alpha (not the view's).
  double alpha() const { return alpha_; }
  void setAlpha(double alpha);

 protected:
  double layerCornerRadius() const override;
  platform::ColorRef trackColor() const override;
  platform::ColorRef fillColor() const override;

 private:
  platform::ColorRef color_;
  bool roundCorners_ = true;
  double alpha_ = 0.2;
};

}  // namespace Tavrix
