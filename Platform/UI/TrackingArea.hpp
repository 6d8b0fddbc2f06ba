#pragma once

#include <cstdint>
#include <memory>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/UI/Responder.hpp"

namespace platform {

// A region of a view whose owner hears the pointer enter and leave it (mouseEntered, mouseExited) and,
// when asked, move inside it (mouseMoved). Added to a view with View::addTrackingArea; the rectangle is in
// that view's coordinates. The owner is held weakly: an area whose owner is gone sends nothing. Options
// combine the bits below, with the platform's raw values; an area is active only with one of the three
// "active" bits.
class TrackingArea {
 public:
  static constexpr std::uint64_t mouseEnteredAndExited = 0x01;
  static constexpr std::uint64_t mouseMoved = 0x02;
  static constexpr std::uint64_t activeInKeyWindow = 0x20;
  // The application counts as active at all times.
  static constexpr std::uint64_t activeInActiveApp = 0x40;
  static constexpr std::uint64_t activeAlways = 0x80;
  // The pointer starts inside: the first check that finds it outside reports an exit.
  static constexpr std::uint64_t assumeInside = 0x100;
  // The area follows the view's visible rectangle instead of its own rectangle.
  static constexpr std::uint64_t inVisibleRect = 0x200;
  // Entries and exits are also reported while a button is held down.
  static constexpr std::uint64_t enabledDuringMouseDrag = 0x400;

  static std::shared_ptr<TrackingArea> create(const Rect& rect, std::uint64_t options,
                                              const std::shared_ptr<Responder>& owner);

  const Rect& rect() const { return rect_; }
  std::uint64_t options() const { return options_; }
  std::shared_ptr<Responder> owner() const { return owner_.lock(); }

  // Use create; public only so that std::make_shared can reach it.
  TrackingArea(const Rect& rect, std::uint64_t options, std::weak_ptr<Responder> owner);

 private:
  Rect rect_;
  std::uint64_t options_;
  std::weak_ptr<Responder> owner_;
};

}  // namespace platform
