#include "Bexlan/ReviewController.hpp"

#include "Platform/Foundation/Clock.hpp"

namespace Bexlan {

ReviewController& ReviewController::shared() {
  static auto* instance = new ReviewController(platform::Defaults::suite(suiteName));
  return *instance;
}

ReviewController::ReviewController(std::shared_ptr<platform::Defaults> defaultsSuite, Requester requester)
    : defaults(std::move(defaultsSuite)), requester_(std::move(requester)) {}

void ReviewController::requestReview(const std::optional<std::string>& event) {
  if (!event) return;
  if (defaults && defaults->boolForKey(*event)) return;
  if (!shouldRequestReview(*event)) return;
  if (requester_) requester_();
  if (defaults) defaults->set(*event, true);
}

bool ReviewController::shouldRequestReview(const std::string& event) {
  const std::string key = initialCallKey + "_" + event;
  if (!defaults) return false;
  const double firstCall = defaults->doubleForKey(key);
  const double now = platform::Clock::wallNow();
  if (firstCall != 0) return firstCall + interval <= now;
  defaults->set(key, now);
  return false;
}

}  // namespace Bexlan
