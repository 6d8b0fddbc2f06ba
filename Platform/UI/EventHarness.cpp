#include "Platform/UI/EventHarness.hpp"

#include <utility>

namespace platform {

namespace {

// Whether the pointer, at a location in window coordinates, is inside a view's tracking area.
bool holds(const TrackingArea& area, const View& view, std::optional<Point> location) {
  if (!location) {
    return false;
  }
  const Rect rect = (area.options() & TrackingArea::inVisibleRect) != 0 ? view.visibleRect() : area.rect();
  return rect.standardized().contains(view.convertFromWindow(*location));
}

}  // namespace

EventHarness::EventHarness(std::shared_ptr<Window> window) : window_(std::move(window)) {}

EventHarness::EventHarness(std::shared_ptr<View> root, bool isKeyWindow)
    : root_(std::move(root)), isKeyWindow_(isKeyWindow) {}

std::shared_ptr<View> EventHarness::root() const { return window_ ? window_->contentView() : root_; }

bool EventHarness::isKeyWindow() const { return window_ ? window_->isKeyWindow() : isKeyWindow_; }

std::vector<EventHarness::ActiveArea> EventHarness::activeAreas() const {
  std::vector<ActiveArea> areas;
  if (std::shared_ptr<View> top = root()) {
    collectAreas(top, areas);
  }
  return areas;
}

void EventHarness::collectAreas(const std::shared_ptr<View>& view, std::vector<ActiveArea>& areas) const {
  if (view->isHidden()) {
    return;
  }
  for (const std::shared_ptr<TrackingArea>& area : view->trackingAreas()) {
    const std::uint64_t options = area->options();
    const bool active = (options & (TrackingArea::activeAlways | TrackingArea::activeInActiveApp)) != 0 ||
                        ((options & TrackingArea::activeInKeyWindow) != 0 && isKeyWindow());
    if (active && area->owner()) {
      areas.push_back({area, view});
    }
  }
  for (const std::shared_ptr<View>& subview : View::ViewList(view->subviews())) {
    collectAreas(subview, areas);
  }
}

bool EventHarness::wasInside(const TrackingArea& area) const {
  for (const AreaState& state : states_) {
    if (state.area.lock().get() == &area) {
      return state.inside;
    }
  }
  return (area.options() & TrackingArea::assumeInside) != 0;
}

Event EventHarness::event(EventType type, Point location, std::int64_t clickCount) {
  Event made;
  made.type = type;
  made.locationInWindow = location;
  made.clickCount = clickCount;
  return made;
}

void EventHarness::track(std::optional<Point> location) {
  if (draggedWindow_ && location) {
    Rect frame = draggedWindow_->frame();
    frame.origin = {dragOrigin_.x + location->x - dragAnchor_.x, dragOrigin_.y + location->y - dragAnchor_.y};
    draggedWindow_->setFrame(frame);
    location = dragAnchor_;
  }
  const bool moved = location != location_;
  // Leaving the window reports the exits where the pointer was last seen.
  const Point where = location.value_or(location_.value_or(Point()));
  location_ = location;
  const bool dragging = pressed_ != nullptr;
  std::vector<AreaState> next;
  std::vector<ActiveArea> exited;
  std::vector<ActiveArea> entered;
  std::vector<ActiveArea> hovered;
  for (const ActiveArea& active : activeAreas()) {
    const std::uint64_t options = active.area->options();
    const bool before = wasInside(*active.area);
    const bool inside = holds(*active.area, *active.view, location);
    const bool reports = (options & TrackingArea::mouseEnteredAndExited) != 0 &&
                         (!dragging || (options & TrackingArea::enabledDuringMouseDrag) != 0);
    // The state moves only when a transition is reported, so the end of a drag reports what it crossed.
    if (reports && before != inside) {
      (inside ? entered : exited).push_back(active);
    }
    if (!dragging && moved && inside && (options & TrackingArea::mouseMoved) != 0) {
      hovered.push_back(active);
    }
    next.push_back({active.area, reports ? inside : before});
  }
  states_ = std::move(next);
  for (const ActiveArea& active : exited) {
    if (std::shared_ptr<Responder> owner = active.area->owner()) {
      Event exit = event(EventType::mouseExited, where);
      exit.trackingArea = active.area;
      owner->mouseExited(exit);
    }
  }
  for (const ActiveArea& active : entered) {
    if (std::shared_ptr<Responder> owner = active.area->owner()) {
      Event entry = event(EventType::mouseEntered, where);
      entry.trackingArea = active.area;
      owner->mouseEntered(entry);
    }
  }
  for (const ActiveArea& active : hovered) {
    if (std::shared_ptr<Responder> owner = active.area->owner()) {
      owner->mouseMoved(event(EventType::mouseMoved, where));
    }
  }
  if (dragging && location && moved) {
    pressed_->mouseDragged(event(EventType::leftMouseDragged, where));
  }
}

void EventHarness::moveMouse(Point location) { track(location); }

void EventHarness::mouseDown(Point location, std::int64_t clickCount) {
  track(location);
  std::shared_ptr<View> top = root();
  pressed_ = top ? top->hitTest(location) : nullptr;
  pressedClickCount_ = clickCount;
  if (pressed_ && pressed_->mouseDownCanMoveWindow()) {
    draggedWindow_ = window_ ? window_ : pressed_->window();
    dragOrigin_ = draggedWindow_ ? draggedWindow_->frame().origin : Point();
    dragAnchor_ = location;
  }
  if (pressed_) {
    pressed_->mouseDown(event(EventType::leftMouseDown, location, clickCount));
  }
}

void EventHarness::mouseUp(Point location) {
  track(location);
  draggedWindow_.reset();
  std::shared_ptr<View> target = std::exchange(pressed_, nullptr);
  if (target) {
    target->mouseUp(event(EventType::leftMouseUp, location, pressedClickCount_));
  }
}

void EventHarness::click(Point location) {
  mouseDown(location);
  mouseUp(location);
}

void EventHarness::scrollWheel(Point location, double deltaX, double deltaY) {
  track(location);
  std::shared_ptr<View> top = root();
  if (std::shared_ptr<View> target = top ? top->hitTest(location) : nullptr) {
    Event scroll = event(EventType::scrollWheel, location);
    scroll.scrollingDeltaX = deltaX;
    scroll.scrollingDeltaY = deltaY;
    target->scrollWheel(scroll);
  }
}

void EventHarness::leaveWindow() { track(std::nullopt); }

}  // namespace platform
