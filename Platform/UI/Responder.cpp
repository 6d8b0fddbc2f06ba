#include "Platform/UI/Responder.hpp"

namespace platform {

namespace {

// Hands the event to the next responder's handler, if there is a next responder.
template <class Handler>
void passOn(const Responder& responder, Handler handler, const Event& event) {
  if (std::shared_ptr<Responder> next = responder.nextResponder()) {
    ((*next).*handler)(event);
  }
}

}  // namespace

void Responder::mouseDown(const Event& event) { passOn(*this, &Responder::mouseDown, event); }
void Responder::mouseUp(const Event& event) { passOn(*this, &Responder::mouseUp, event); }
void Responder::mouseDragged(const Event& event) { passOn(*this, &Responder::mouseDragged, event); }
void Responder::mouseMoved(const Event& event) { passOn(*this, &Responder::mouseMoved, event); }
void Responder::mouseEntered(const Event& event) { passOn(*this, &Responder::mouseEntered, event); }
void Responder::mouseExited(const Event& event) { passOn(*this, &Responder::mouseExited, event); }
void Responder::scrollWheel(const Event& event) { passOn(*this, &Responder::scrollWheel, event); }

}  // namespace platform
