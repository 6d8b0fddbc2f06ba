#pragma once

#include <cstdint>
#include <memory>

#include "Platform/Graphics/Geometry.hpp"

namespace platform {

class TrackingArea;

// The kinds of pointer events, with the platform's raw values.
enum class EventType {
  leftMouseDown = 1,
  leftMouseUp = 2,
  mouseMoved = 5,
  leftMouseDragged = 6,
  mouseEntered = 8,
  mouseExited = 9,
  scrollWheel = 22
};

// One pointer event. The location is in the window's coordinates (y-up, origin at the bottom-left corner
// of the content area); a view converts it with View::convertFromWindow.
struct Event {
  EventType type = EventType::mouseMoved;
  Point locationInWindow;
  // 1 for a single click, 2 for the second click of a double click; 0 for events that are not clicks.
  std::int64_t clickCount = 0;
  // Scroll distances in points (scrollWheel only); positive y scrolls up.
  double scrollingDeltaX = 0;
  double scrollingDeltaY = 0;
  // The area that was entered or exited (mouseEntered and mouseExited only).
  std::shared_ptr<TrackingArea> trackingArea;
};

}  // namespace platform
