#pragma once

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Path.hpp"
#include "Tavrix/Controls/SolidProgressBar.hpp"

namespace Tavrix {

// A solid bar filling from the bottom up, the track in the quaternary label colour and the fill in the
// accent colour. Its line runs up the middle, still as wide as the bar is high; the view's bounds clip the
// excess. Made in code or by name ("VerticalProgressView", exposing "cornerRadius").
class VerticalProgressView : public SolidProgressBar {
 public:
  explicit VerticalProgressView(const platform::Rect& frame = platform::Rect());

  // The view's corner radius (4 unless set).
  double cornerRadius() const { return cornerRadius_; }
  void setCornerRadius(double radius);

 protected:
  double layerCornerRadius() const override { return cornerRadius_; }
  platform::ColorRef trackColor() const override;
  platform::ColorRef fillColor() const override;
  platform::Path progressLine(const platform::Rect& bounds) const override;

 private:
  double cornerRadius_ = 4;
};

}  // namespace Tavrix
