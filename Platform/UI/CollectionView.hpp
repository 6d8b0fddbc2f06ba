#pragma once

#include <memory>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/UI/ControlBackground.hpp"
#include "Platform/UI/View.hpp"

namespace platform {

// A grid of items (none here): without a background view it fills its bounds with the first of its
// background colours (controlBackgroundColor() until set; nothing when the list is empty); a background
// view, when set, is shown instead, sized to the bounds.
class CollectionView : public View {
 public:
  using View::View;

  const std::vector<ColorRef>& backgroundColors() const { return backgroundColors_; }
  void setBackgroundColors(std::vector<ColorRef> colors);
  virtual std::shared_ptr<View> backgroundView() const { return backgroundView_; }
  virtual void setBackgroundView(std::shared_ptr<View> view);

  void draw(const Rect& dirtyRect) override;

 private:
  std::vector<ColorRef> backgroundColors_{controlBackgroundColor()};
  std::shared_ptr<View> backgroundView_;
};

}  // namespace platform
