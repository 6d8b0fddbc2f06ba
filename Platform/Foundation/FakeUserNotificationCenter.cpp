#include "Platform/Foundation/FakeUserNotificationCenter.hpp"

#include "Platform/Dispatch/DispatchQueue.hpp"

namespace platform {

void FakeUserNotificationCenter::setSettings(const NotificationSettings& settings) {
  std::lock_guard lock(mutex_);
  settings_ = settings;
}

void FakeUserNotificationCenter::setAuthorizationAnswer(bool granted,
                                                        std::optional<NotificationError> error) {
  std::lock_guard lock(mutex_);
  granted_ = granted && !error;
  authorizationError_ = std::move(error);
}

std::vector<NotificationRequest> FakeUserNotificationCenter::delivered() const {
  std::lock_guard lock(mutex_);
  return delivered_;
}

std::uint32_t FakeUserNotificationCenter::requestedOptions() const {
  std::lock_guard lock(mutex_);
  return requestedOptions_;
}

void FakeUserNotificationCenter::requestAuthorization(std::uint32_t options,
                                                      AuthorizationCompletion completion) {
  std::lock_guard lock(mutex_);
  requestedOptions_ = options;
  if (!completion) return;
  DispatchQueue::global().async([completion = std::move(completion), granted = granted_,
                                 error = authorizationError_] { completion(granted, error); });
}

void FakeUserNotificationCenter::getNotificationSettings(SettingsCompletion completion) {
  std::lock_guard lock(mutex_);
  DispatchQueue::global().async(
      [completion = std::move(completion), settings = settings_] { completion(settings); });
}

void FakeUserNotificationCenter::add(NotificationRequest request, AddCompletion completion) {
  std::lock_guard lock(mutex_);
  delivered_.push_back(std::move(request));
  if (completion)
    DispatchQueue::global().async([completion = std::move(completion)] { completion(std::nullopt); });
}

}  // namespace platform
