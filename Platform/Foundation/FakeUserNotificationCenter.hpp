#pragma once

#include <mutex>
#include <optional>
#include <vector>

#include "Platform/Foundation/UserNotificationCenter.hpp"

namespace platform {

// A notification centre in memory, with the settings and the authorization answer it is given: the only
// source of denied and provisional authorization on Linux, for tests. It keeps what it was asked.
class FakeUserNotificationCenter : public UserNotificationCenter {
 public:
  void setSettings(const NotificationSettings& settings);
  // What requestAuthorization answers: the granted flag, or an error (then granted is false).
  void setAuthorizationAnswer(bool granted, std::optional<NotificationError> error = std::nullopt);

  // The requests added so far, in order.
  std::vector<NotificationRequest> delivered() const;
  // The options of the last authorization request (0 before any).
  std::uint32_t requestedOptions() const;

  void requestAuthorization(std::uint32_t options, AuthorizationCompletion completion) override;
  void getNotificationSettings(SettingsCompletion completion) override;
  void add(NotificationRequest request, AddCompletion completion) override;

 private:
  mutable std::mutex mutex_;
  NotificationSettings settings_;
  bool granted_ = false;
  std::optional<NotificationError> authorizationError_;
  std::uint32_t requestedOptions_ = 0;
  std::vector<NotificationRequest> delivered_;
};

}  // namespace platform
