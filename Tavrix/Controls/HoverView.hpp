#pragma once

#include <memory>

#include "Platform/Graphics/Color.hpp"
#include "Platform/UI/View.hpp"
#include "Tavrix/Controls/TileViewDelegate.hpp"

namespace Tavrix {

// A view that fills its bounds, rounded by 4 points, with its hover colour while the pointer is over it
// and draws nothing otherwise. Its radius only asks for a redisplay, and its delegate is kept but never
// called, as the control has always done.
//
// The pointer is tracked only from awakeFromNib, as for TileView. Loaded by name ("HoverView", exposing
// "radius", "enableHover" and "hoverColor"). Main thread only.
class HoverView : public platform::View {
 public:
  // The corner radius of the highlight.
  static constexpr double highlightRadius = 4;

  explicit HoverView(const platform::Rect& frame = platform::Rect());

  bool mouseOver() const { return mouseOver_; }
  double radius() const { return radius_; }
  void setRadius(double radius);
  bool enableHover() const { return enableHover_; }
  void setEnableHover(bool enable) { enableHover_ = enable; }
  std::shared_ptr<TileViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<TileViewDelegate>& delegate) { delegate_ = delegate; }
  // The system highlight colour until set.
  const platform::ColorRef& hoverColor() const { return hoverColor_; }
  void setHoverColor(platform::ColorRef color) { hoverColor_ = std::move(color); }

  // With hover enabled: the pointer counts as outside and the view redisplays.
  virtual void resetHover();

  void awakeFromNib() override;
  void viewDidChangeEffectiveAppearance() override;
  void mouseEntered(const platform::Event& event) override;
  void mouseExited(const platform::Event& event) override;
  void draw(const platform::Rect& dirtyRect) override;

 private:
  void setMouseOver(bool over);

  bool mouseOver_ = false;
  double radius_ = 8;
  bool enableHover_ = true;
  std::weak_ptr<TileViewDelegate> delegate_;
  platform::ColorRef hoverColor_;
};

}  // namespace Tavrix
