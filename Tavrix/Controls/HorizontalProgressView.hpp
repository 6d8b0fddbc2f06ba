#pragma once

#include "Platform/Graphics/Color.hpp"
#include "Tavrix/Controls/SolidProgressBar.hpp"

namespace Tavrix {

// A solid bar filling from the left, in an optional colour: with one, the track is the colour at alpha 0.22
// and the fill the colour; without (null), the track is the quaternary label colour and the fill the accent
// colour. Made in code or by name ("HorizontalProgressView", exposing "cornerRadius").
class HorizontalProgressView : public SolidProgressBar {
 public:
  explicit HorizontalProgressView(const platform::Rect& frame = platform::Rect());

  const platform::ColorRef& color() const { return color_; }
  void setColor(platform::ColorRef color);
  // The view's corner radius (4 unless set).
  double cornerRadius() const { return cornerRadius_; }
  void setCornerRadius(double radius);

 protected:
  double layerCornerRadius() const override { return cornerRadius_; }
  platform::ColorRef trackColor() const override;
  platform::ColorRef fillColor() const override;

 private:
  platform::ColorRef color_;
  double cornerRadius_ = 4;
};

}  // namespace Tavrix
