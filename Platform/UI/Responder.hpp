#pragma once

#include <memory>

#include "Platform/UI/Event.hpp"

namespace platform {

// An object that handles events. Every handler passes the event on to the next responder unless a subclass
// handles it; the chain runs from a view to its superview, from a window's content view to the window, and
// ends there. Main thread only.
class Responder {
 public:
  virtual ~Responder() = default;

  // The responder that gets the events this one does not handle, or null at the end of the chain.
  virtual std::shared_ptr<Responder> nextResponder() const { return nullptr; }

  virtual void mouseDown(const Event& event);
  virtual void mouseUp(const Event& event);
  virtual void mouseDragged(const Event& event);
  virtual void mouseMoved(const Event& event);
  // Sent only to the owners of tracking areas (see TrackingArea).
  virtual void mouseEntered(const Event& event);
  virtual void mouseExited(const Event& event);
  virtual void scrollWheel(const Event& event);
};

}  // namespace platform
