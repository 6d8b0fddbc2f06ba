#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/UI/Event.hpp"
#include "Platform/UI/TrackingArea.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/Window.hpp"

namespace platform {

// Drives a view tree with a synthetic pointer, as a window server would: every location is in window
// coordinates. Every event checks every active tracking area of the visible views (superviews first, each
// view's areas in the order added): the owners of areas the pointer left get mouseExited, then those of
// areas it entered get mouseEntered (a new area starts outside, or inside with assumeInside); then, when
// the pointer moved without a button down, the owners of mouseMoved areas holding it get mouseMoved. With
// the button down (between mouseDown and mouseUp) moves are drags: the view that took the mouse down gets
// mouseDragged, and only enabledDuringMouseDrag areas report entries and exits (the others catch up at the
// next event without a button). Presses and scrolls go to the view hitTest finds under the pointer; the
// release goes to the view that took the press. A press on a view whose mouseDownCanMoveWindow() is true
// starts a window drag, as the window server would: until the release, locations are taken in the window's
// coordinates as they were at the press, the window moves by the pointer's offset from the press, and the
// pointer stays at that point of the window (the view gets no drags). Main thread only.
class EventHarness {
 public:
  // Drives a window's content view; activeInKeyWindow areas follow the window's key state.
  explicit EventHarness(std::shared_ptr<Window> window);
  // Drives a view outside any window, whose frame is taken to be in window coordinates, in a window that is
  // key or not.
  explicit EventHarness(std::shared_ptr<View> root, bool isKeyWindow = true);

  void moveMouse(Point location);
  // Moves the pointer there, then presses or releases the button.
  void mouseDown(Point location, std::int64_t clickCount = 1);
  void mouseUp(Point location);
  // mouseDown then mouseUp at one place.
  void click(Point location);
  // Moves the pointer there, then scrolls the view under it.
  void scrollWheel(Point location, double deltaX, double deltaY);
  // The pointer leaves the window: every area it was inside reports an exit.
  void leaveWindow();

 private:
  struct AreaState {
    std::weak_ptr<TrackingArea> area;
    bool inside = false;
  };
  struct ActiveArea {
    std::shared_ptr<TrackingArea> area;
    std::shared_ptr<View> view;
  };

  std::shared_ptr<View> root() const;
  bool isKeyWindow() const;
  std::vector<ActiveArea> activeAreas() const;
  void collectAreas(const std::shared_ptr<View>& view, std::vector<ActiveArea>& areas) const;
  // Updates the inside states for the pointer at a location (none: outside the window) and reports.
  void track(std::optional<Point> location);
  bool wasInside(const TrackingArea& area) const;
  static Event event(EventType type, Point location, std::int64_t clickCount = 0);

  std::shared_ptr<Window> window_;
  std::shared_ptr<View> root_;
  bool isKeyWindow_ = true;
  std::optional<Point> location_;
  std::shared_ptr<View> pressed_;
  // The window being dragged, its origin at the press and the press's location in it, during a window drag.
  std::shared_ptr<Window> draggedWindow_;
  Point dragOrigin_;
  Point dragAnchor_;
  std::int64_t pressedClickCount_ = 0;
  std::vector<AreaState> states_;
};

}  // namespace platform
