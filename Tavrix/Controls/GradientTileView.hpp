#pragma once

#include <memory>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/UI/View.hpp"
#include "Tavrix/Controls/GradientTileViewDelegate.hpp"

namespace Tavrix {

// A rounded tile (radius 8) whose background is a diagonal gradient of its colours, from the bottom-left
// corner to the top-right one, with a border and, when asked, a shadow. The gradient is one sublayer of the
// backing layer, rebuilt at creation, at every layout and whenever the colours, border or shadow change.
// The layer masks to its bounds, so the shadow's fields are set but, as on the platform, it is clipped
// away. Loaded by name ("GradientTileView", exposing "disableInteraction", "borderThickness" and
// "drawShadow"). Main thread only.
class GradientTileView : public platform::View {
 public:
  static constexpr double cornerRadius = 8;

  explicit GradientTileView(const platform::Rect& frame = platform::Rect());

  // Keeps clicks from the superview; setting it only stores it.
  bool disableInteraction() const { return disableInteraction_; }
  void setDisableInteraction(bool disable) { disableInteraction_ = disable; }
  // rgb(145, 106, 223) and rgb(210, 103, 130), both at alpha 0.5, until set.
  const std::vector<platform::ColorRef>& colors() const { return colors_; }
  void setColors(std::vector<platform::ColorRef> colors);
  // The system grey at alpha 0.4 until set.
  const platform::ColorRef& borderColor() const { return borderColor_; }
  void setBorderColor(platform::ColorRef color);
  // One device pixel until set.
  double borderThickness() const { return borderThickness_; }
  void setBorderThickness(double thickness);
  bool drawShadow() const { return drawShadow_; }
  void setDrawShadow(bool draw);
  std::shared_ptr<GradientTileViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<GradientTileViewDelegate>& delegate) { delegate_ = delegate; }

  // Rebuilds the layers: the platform's draw() without arguments, named apart from View::draw(dirtyRect),
  // the drawing hook it would hide. Takes every sublayer off the backing layer; rounds it, clips it and
  // gives it the border; adds a gradient layer over the bounds masked by a rounded shape layer; and sets or
  // clears the shadow (opacity 0.25 and black in a dark appearance, 0.15 and dark grey in a light one,
  // radius 8, no offset).
  virtual void drawTile();

  void layout() override;
  void mouseDown(const platform::Event& event) override;

 protected:
  void didInit() override;

 private:
  bool disableInteraction_ = false;
  std::vector<platform::ColorRef> colors_;
  platform::ColorRef borderColor_;
  double borderThickness_;
  bool drawShadow_ = false;
  std::weak_ptr<GradientTileViewDelegate> delegate_;
};

}  // namespace Tavrix
