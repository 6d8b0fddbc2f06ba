#pragma once

#include "Platform/Graphics/Color.hpp"
#include "Platform/UI/View.hpp"

namespace platform {

// Subviews side by side (vertical dividers) or stacked top to bottom (horizontal dividers, the default),
// sharing the bounds equally, with a divider of dividerThickness between each two.
class SplitView : public View {
 public:
  using View::View;

  bool isVertical() const { return vertical_; }
  void setVertical(bool vertical);

  // 1 point here.
  virtual double dividerThickness() const { return 1; }
  // Fills the divider's rectangle with grey.
  virtual void drawDivider(const Rect& rect);

  void layout() override;
  void draw(const Rect& dirtyRect) override;

 private:
  // The rectangle of the divider after subview index, for count subviews.
  Rect dividerRect(std::size_t index, std::size_t count) const;
  double paneLength(std::size_t count) const;

  bool vertical_ = false;
};

}  // namespace platform
