#pragma once

#include <memory>

#include "Platform/UI/View.hpp"
#include "Tavrix/Controls/TileViewDelegate.hpp"

namespace Tavrix {

// A rounded tile that draws itself: a fill for the light or dark appearance (isDarkMode), lighter or darker
// while the pointer is over it, and a 3-point ring in the link colour when selected. It reports clicks
// (when selectable, even with interaction disabled) and, with hover enabled, the pointer entering and
// leaving to a weak delegate.
//
// The pointer is tracked only from awakeFromNib (one tracking area over the bounds of that moment, entered
// and exited, always active, following the visible rectangle): a tile made in code never sees it. Loaded by
// name ("TileView", exposing "radius", "isSelected", "disableInteraction" and "enableHover"). Main thread
// only.
class TileView : public platform::View {
 public:
  using platform::View::View;

  bool mouseOver() const { return mouseOver_; }
  // The corner radius (8); setting it redisplays.
  double radius() const { return radius_; }
  void setRadius(double radius);
  // Setting it redisplays.
  bool isSelected() const { return isSelected_; }
  void setIsSelected(bool selected);
  // Keeps clicks from the superview (the delegate still hears them).
  bool disableInteraction() const { return disableInteraction_; }
  void setDisableInteraction(bool disable) { disableInteraction_ = disable; }
  bool enableHover() const { return enableHover_; }
  void setEnableHover(bool enable) { enableHover_ = enable; }
  // Clicks are reported only while true.
  bool isSelectable() const { return isSelectable_; }
  void setIsSelectable(bool selectable) { isSelectable_ = selectable; }
  std::shared_ptr<TileViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<TileViewDelegate>& delegate) { delegate_ = delegate; }

  // With hover enabled: the pointer counts as outside and the tile redisplays.
  virtual void resetHover();

  void awakeFromNib() override;
  void viewDidChangeEffectiveAppearance() override;
  void mouseEntered(const platform::Event& event) override;
  void mouseExited(const platform::Event& event) override;
  void mouseDown(const platform::Event& event) override;
  void draw(const platform::Rect& dirtyRect) override;

 private:
  bool mouseOver_ = false;
  double radius_ = 8;
  bool isSelected_ = false;
  bool disableInteraction_ = false;
  bool enableHover_ = true;
  bool isSelectable_ = true;
  std::weak_ptr<TileViewDelegate> delegate_;
};

}  // namespace Tavrix
