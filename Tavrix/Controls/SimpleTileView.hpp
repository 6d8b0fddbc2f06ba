#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <utility>

#include "Platform/Graphics/Color.hpp"
#include "Platform/UI/TrackingArea.hpp"
#include "Platform/UI/View.hpp"
#include "Tavrix/Controls/HoverDisplayMode.hpp"
#include "Tavrix/Controls/SimpleTileViewDelegate.hpp"

namespace Tavrix {

// A rounded card drawn through its backing layer: a translucent background for the light or dark
// appearance, a resting shadow in the light appearance, a hover effect when allowed (a border, a slide to
// the left or a glow, see HoverDisplayMode), a selection border when selection is enabled, and click, enter
// and exit reports to a weak delegate. The pointer is tracked over the bounds by a tracking area (entered
// and exited, active in the key window) made anew at every layout. Colours resolve under the view's
// effective appearance.
//
// Made in code (View::create) or by name from an archive ("SimpleTileView", exposing "disableInteraction",
// "tag", "allowHover", "enableSelection" and "isSelected"). Main thread only.
class SimpleTileView : public platform::View {
 public:
  static constexpr double cornerRadius = 8;
  // The slide of the shift hover, in points (to the left).
  static constexpr double shiftOffset = -8;

  explicit SimpleTileView(const platform::Rect& frame = platform::Rect());

  std::int64_t tag() const override { return tag_; }
  void setTag(std::int64_t tag) { tag_ = tag; }

  // True while the pointer is inside and the rectangle hover border is due.
  bool isMouseEntered() const { return isMouseEntered_; }
  const std::shared_ptr<platform::TrackingArea>& trackingArea() const { return trackingArea_; }

  // Swallows clicks: no report and nothing passed up the responder chain.
  bool disableInteraction() const { return disableInteraction_; }
  void setDisableInteraction(bool disable) { disableInteraction_ = disable; }
  std::shared_ptr<SimpleTileViewDelegate> delegate() const { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<SimpleTileViewDelegate>& delegate) { delegate_ = delegate; }

  // Styles; nothing means the built-in default. The border colour is that of the hover border (system blue
  // at alpha 0.75 by default) and of the hover glow (the accent colour by default); the hover border is 2
  // points wide by default, the selection border 3 points and system blue.
  const platform::ColorRef& borderColor() const { return borderColor_; }
  void setBorderColor(platform::ColorRef color) { borderColor_ = std::move(color); }
  const std::optional<double>& borderWidth() const { return borderWidth_; }
  void setBorderWidth(std::optional<double> width) { borderWidth_ = width; }
  const platform::ColorRef& selectionColor() const { return selectionColor_; }
  void setSelectionColor(platform::ColorRef color) { selectionColor_ = std::move(color); }
  const std::optional<double>& selectionWidth() const { return selectionWidth_; }
  void setSelectionWidth(std::optional<double> width) { selectionWidth_ = width; }

  HoverDisplayMode hoverDisplayMode() const { return hoverDisplayMode_; }
  void setHoverDisplayMode(HoverDisplayMode mode) { hoverDisplayMode_ = mode; }
  // No hover effect while false; the delegate still hears the pointer enter and leave.
  bool allowHover() const { return allowHover_; }
  void setAllowHover(bool allow) { allowHover_ = allow; }
  // Setting either refreshes the appearance.
  bool enableSelection() const { return enableSelection_; }
  void setEnableSelection(bool enable);
  bool isSelected() const { return isSelected_; }
  void setIsSelected(bool selected);

  // With hover allowed: takes the hover border away and refreshes the appearance. Otherwise nothing.
  virtual void resetHover();
  // Unselects and forgets the hover border, refreshes the appearance and lays the view out.
  virtual void deselect();
  // The layer centred on the frame, anchored at its middle, and translated left by 8 points (applyShift) or
  // not at all (removeShift).
  virtual void removeShift();
  virtual void applyShift();
  // Rounds and clips the layer, paints its background for the appearance, sets the resting shadow and the
  // border: the selection border when selection is enabled and the tile selected, else the hover border when
  // the rectangle hover is showing, else none.
  virtual void refreshAppearance();
  // The resting shadow: none in a dark appearance; in a light one a dark grey shadow of radius 8 at opacity
  // 0.15 around the tile.
  virtual void applyShadow();

  void layout() override;
  void mouseDown(const platform::Event& event) override;
  void mouseEntered(const platform::Event& event) override;
  void mouseExited(const platform::Event& event) override;

 protected:
  void didInit() override;

 private:
  // The backing layer, made when the view has none.
  platform::Layer& backingLayer();
  void replaceTrackingArea();
  void shiftBy(double dx);
  void applyGlow();

  std::int64_t tag_ = 0;
  std::shared_ptr<platform::TrackingArea> trackingArea_;
  bool isMouseEntered_ = false;
  bool disableInteraction_ = false;
  std::weak_ptr<SimpleTileViewDelegate> delegate_;
  platform::ColorRef borderColor_;
  std::optional<double> borderWidth_;
  platform::ColorRef selectionColor_;
  std::optional<double> selectionWidth_;
  HoverDisplayMode hoverDisplayMode_ = HoverDisplayMode::rectangle;
  bool allowHover_ = false;
  bool enableSelection_ = false;
  bool isSelected_ = false;
};

}  // namespace Tavrix
