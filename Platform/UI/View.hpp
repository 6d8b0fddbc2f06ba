#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "Platform/Graphics/AffineTransform.hpp"
#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/UI/LayoutConstraint.hpp"
#include "Platform/UI/Responder.hpp"
#include "Platform/UI/Shadow.hpp"
#include "Platform/UI/TrackingArea.hpp"
#include "Platform/UI/ViewContents.hpp"

namespace platform {

class ScrollView;
class ViewLayer;
class Window;

// A rectangle of a window's content that draws and handles events: the base of every control.
//
// Geometry: the frame is in the superview's coordinates; the bounds are (0, 0, frame width, frame height)
// in the view's own coordinates, which run y-up from the bottom-left corner, or y-down from the top-left
// corner when isFlipped() is true.
//
// Drawing: a view draws in draw(dirtyRect), and the display pass (displayIfNeeded) records what it draws;
// a layer-backed view (wantsLayer) also has a backing layer that follows its frame, which it and its owner
// fill with sublayers. When the tree is rendered (ViewRenderer), each view shows its recorded drawing, then
// its layer's sublayers, then its subviews, in its layer's clip. Layout: layout() places the subviews; the
// layout pass (layoutSubtreeIfNeeded) runs it on the views that need it. Both passes, and the appearance
// hook, run with the view's effective appearance as the current one, so colours resolve for the view.
//
// Views are owned through std::shared_ptr and made with create(), which runs didInit() once the view is
// owned; a view holds its subviews strongly and its superview weakly. Main thread only.
class View : public Responder, public std::enable_shared_from_this<View> {
 public:
  using ViewList = std::vector<std::shared_ptr<View>>;

  // Makes a view of class T from the constructor arguments, then runs its didInit().
  template <std::derived_from<View> T = View, class... Arguments>
  static std::shared_ptr<T> create(Arguments&&... arguments) {
    std::shared_ptr<T> view = std::make_shared<T>(std::forward<Arguments>(arguments)...);
    static_cast<View&>(*view).didInit();
    return view;
  }

  // Use create(); public so that std::make_shared can reach it.
  explicit View(const Rect& frame = Rect());
  ~View() override;
  View(const View&) = delete;
  View& operator=(const View&) = delete;

  // Geometry. A change of size marks the view as needing layout and display.
  const Rect& frame() const { return frame_; }
  void setFrame(const Rect& frame);
  void setFrameOrigin(Point origin);
  void setFrameSize(Size size);
  Rect bounds() const;
  // Called on each subview, with the superview's former size, after the superview's size changed. The base
  // does nothing (views here have no autoresizing rules); a subclass may adapt to its superview's new size.
  virtual void resizeWithOldSuperviewSize(Size oldSize);
  virtual bool isFlipped() const { return false; }
  // The part of the bounds that no superview's bounds cut away; empty when nothing is left.
  Rect visibleRect() const;
  // A point of window coordinates in this view's coordinates. For a view outside any window, its topmost
  // superview's frame is taken to be in window coordinates.
  Point convertFromWindow(Point point) const;

  // The tree.
  std::shared_ptr<View> superview() const { return superview_.lock(); }
  const ViewList& subviews() const { return subviews_; }
  // Adds the view on top of the subviews, after taking it from its former superview. Throws
  // std::invalid_argument for a null view, this view, or one of its superviews.
  void addSubview(std::shared_ptr<View> view);
  // Makes the list the subviews: the present ones missing from it leave, the others come in this order.
  void setSubviews(ViewList views);
  // Leaves the superview. Constraints of former superviews that name this view are removed.
  void removeFromSuperview();
  // True when the view is this view or one of its superviews.
  bool isDescendantOf(const View& view) const;
  // The window whose content view is this view or one of its superviews, or null.
  std::shared_ptr<Window> window() const;
  // Called before the view joins a superview (or leaves it, with null).
  virtual void viewWillMoveToSuperview(View* newSuperview);

  // Layer backing. Setting wantsLayer makes the backing layer, which then follows the frame (bounds and
  // position) and the hidden flag; clearing it drops the layer.
  bool wantsLayer() const { return wantsLayer_; }
  void setWantsLayer(bool wantsLayer);
  // The backing layer, or null when the view is not layer-backed.
  std::shared_ptr<Layer> layer() const;

  // Layout. The base layout() places the subviews that are positioned by constraints (see
  // ConstraintLayout); subclasses call it first. A view that joins a window (as its content view or
  // below a view already in one) needs layout, with every view below it.
  bool needsLayout() const { return needsLayout_; }
  void setNeedsLayout(bool needsLayout) { needsLayout_ = needsLayout; }
  virtual void layout();
  // Runs layout() on this view and then on every view below it that needs layout, superviews first; each
  // view's flag is cleared before its layout() runs.
  void layoutSubtreeIfNeeded();

  // Display. A new view, and a view whose size changes, needs display in full.
  bool needsDisplay() const { return !rectsNeedingDisplay_.empty(); }
  void setNeedsDisplay(bool needsDisplay);
  void setNeedsDisplayInRect(const Rect& rect);
  // The rectangles marked since the last display, in the order marked (the bounds for a full mark).
  const std::vector<Rect>& rectsNeedingDisplay() const { return rectsNeedingDisplay_; }
  // Draws the view's part of the screen into the current graphics context, clipped to dirtyRect. The base
  // draws nothing.
  virtual void draw(const Rect& dirtyRect);
  // Runs draw() over the union of the marked rectangles on this view and every visible view below it that
  // needs display, and records the result.
  void displayIfNeeded();
  // Marks this view and every view below it as needing display in full, then displays them.
  void display();

  // Appearance. The effective appearance is the view's own, else its superview's effective one, else its
  // window's, else the light "NSAppearanceNameAqua".
  const std::optional<Appearance>& appearance() const { return appearance_; }
  void setAppearance(std::optional<Appearance> appearance);
  const Appearance& effectiveAppearance() const { return effectiveAppearance_; }
  // Called, with the new appearance current, on every view whose effective appearance changed (by a
  // setAppearance or by moving in the tree), superviews first.
  virtual void viewDidChangeEffectiveAppearance();

  // Called once a view loaded by ViewLoader and the tree it came with are complete.
  virtual void awakeFromNib();

  // The view's tag; -1 for views that keep none.
  virtual std::int64_t tag() const { return -1; }
  bool isHidden() const { return hidden_; }
  void setHidden(bool hidden);
  // Setting a shadow gives the backing layer its colour (resolved now), offset and blur radius at opacity
  // 1; setting none sets the layer's shadow opacity to 0.
  const std::optional<Shadow>& shadow() const { return shadow_; }
  void setShadow(std::optional<Shadow> shadow);

  // Constraints held by this view, in the order added. addConstraint makes the constraint active here
  // (taking it from another holder); both mark the layout as needed (LayoutConstraint::invalidateLayout).
  bool translatesAutoresizingMaskIntoConstraints() const { return translatesAutoresizingMask_; }
  void setTranslatesAutoresizingMaskIntoConstraints(bool translates);
  const std::vector<std::shared_ptr<LayoutConstraint>>& constraints() const { return constraints_; }
  void addConstraint(const std::shared_ptr<LayoutConstraint>& constraint);
  void removeConstraint(const std::shared_ptr<LayoutConstraint>& constraint);
  LayoutAnchor topAnchor() { return anchor(LayoutAttribute::top); }
  LayoutAnchor bottomAnchor() { return anchor(LayoutAttribute::bottom); }
  LayoutAnchor leadingAnchor() { return anchor(LayoutAttribute::leading); }
  LayoutAnchor trailingAnchor() { return anchor(LayoutAttribute::trailing); }
  LayoutAnchor widthAnchor() { return anchor(LayoutAttribute::width); }
  LayoutAnchor heightAnchor() { return anchor(LayoutAttribute::height); }

  // Tracking areas, in the order added; adding one twice keeps one entry.
  const std::vector<std::shared_ptr<TrackingArea>>& trackingAreas() const { return trackingAreas_; }
  void addTrackingArea(const std::shared_ptr<TrackingArea>& area);
  void removeTrackingArea(const std::shared_ptr<TrackingArea>& area);

  // The nearest superview that is a scroll view, or null.
  std::shared_ptr<ScrollView> enclosingScrollView() const;
  // Whether a drag that begins on this view moves its window (the event harness moves it); false here.
  virtual bool mouseDownCanMoveWindow() const { return false; }

  // The deepest visible view under a point of the superview's coordinates (this view's frame space): a
  // subview's hit, the topmost first, else this view; null outside the frame or when hidden.
  virtual std::shared_ptr<View> hitTest(Point point);
  // The superview, or for a window's content view the window.
  std::shared_ptr<Responder> nextResponder() const override;

 protected:
  // Runs once, right after create() has made the view, when shared_from_this() works: the place for set-up
  // that calls overridable members or hands the view to others (tracking areas, delegates). Subclasses
  // call their base's didInit() first. The base does nothing.
  virtual void didInit();

 private:
  friend class ViewLayer;
  friend class ViewRenderer;
  friend class Window;

  LayoutAnchor anchor(LayoutAttribute attribute) { return LayoutAnchor(weak_from_this(), attribute); }
  // The map from this view's coordinates to its superview's (to window coordinates for a topmost view).
  AffineTransform transformToSuperview() const;
  AffineTransform transformToWindow() const;
  // Gives the backing layer the frame, and the flip relative to the superview's coordinates. isFlipped()
  // cannot be read while a view is being constructed, so the layout and display passes set the flip again.
  void updateLayerGeometry();
  void updateLayerFlip();
  void applyShadow();
  void updateEffectiveAppearance();
  void detachFromSuperview();
  void attachWindow(const std::shared_ptr<Window>& window);
  void setSubtreeNeedsLayout();

  Rect frame_;
  std::weak_ptr<View> superview_;
  std::weak_ptr<Window> window_;
  ViewList subviews_;
  // The layer that renders the view; handed out by layer() only while wantsLayer is set.
  std::shared_ptr<ViewLayer> layer_;
  bool wantsLayer_ = false;
  bool needsLayout_ = false;
  std::vector<Rect> rectsNeedingDisplay_;
  ViewContents contents_;
  std::optional<Appearance> appearance_;
  Appearance effectiveAppearance_;
  bool hidden_ = false;
  std::optional<Shadow> shadow_;
  bool translatesAutoresizingMask_ = true;
  std::vector<std::shared_ptr<LayoutConstraint>> constraints_;
  std::vector<std::shared_ptr<TrackingArea>> trackingAreas_;
};

}  // namespace platform
