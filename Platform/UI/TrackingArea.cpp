#include "Platform/UI/TrackingArea.hpp"

#include <utility>

namespace platform {

TrackingArea::TrackingArea(const Rect& rect, std::uint64_t options, std::weak_ptr<Responder> owner)
    : rect_(rect), options_(options), owner_(std::move(owner)) {}

std::shared_ptr<TrackingArea> TrackingArea::create(const Rect& rect, std::uint64_t options,
                                                   const std::shared_ptr<Responder>& owner) {
  return std::make_shared<TrackingArea>(rect, options, owner);
}

}  // namespace platform
