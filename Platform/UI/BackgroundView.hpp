#pragma once

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/UI/ControlBackground.hpp"
#include "Platform/UI/View.hpp"

namespace platform {

// A view that fills its bounds with its background colour while drawsBackground is true (the default):
// what scroll views and their clip views share. Changing either redisplays the view.
class BackgroundView : public View {
 public:
  using View::View;

  bool drawsBackground() const { return drawsBackground_; }
  void setDrawsBackground(bool draws);
  // controlBackgroundColor() until set.
  const ColorRef& backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(ColorRef color);

  void draw(const Rect& dirtyRect) override;

 private:
  bool drawsBackground_ = true;
  ColorRef backgroundColor_ = controlBackgroundColor();
};

}  // namespace platform
