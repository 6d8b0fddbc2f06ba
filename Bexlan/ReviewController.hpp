#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "Platform/Foundation/Defaults.hpp"

namespace Bexlan {

// Asks for a rating at most once per event, at the first call that comes at least `interval` seconds after
// the first call for that event. The first-call times and the marks live in the defaults suite
// "com.tarnwick.appreviews", so they survive restarts. Linux has no store rating service: the request goes
// to a requester, which by default does nothing. Use it from one thread (the main thread).
class ReviewController {
 public:
  using Requester = std::function<void()>;

  static constexpr const char* suiteName = "com.tarnwick.appreviews";

  // The one instance, on the user's suite, made on first use.
  static ReviewController& shared();

  // An instance on `defaults` (null: nothing is stored and no review is ever requested) that asks
  // `requester` (empty: nothing is done) for the prompt.
  explicit ReviewController(std::shared_ptr<platform::Defaults> defaults, Requester requester = {});

  // Requests the prompt for `event` when it is due and not requested before, then marks the event. An
  // absent event does nothing.
  void requestReview(const std::optional<std::string>& event);
  // Whether the waiting time for `event` has passed since its first call; the first call records its time
  // and answers false.
  bool shouldRequestReview(const std::string& event);

  void setRequester(Requester requester) { requester_ = std::move(requester); }

  const std::shared_ptr<platform::Defaults> defaults;
  const std::string initialCallKey = "init";
  const double interval = 259200;  // three days

 private:
  Requester requester_;
};

}  // namespace Bexlan
