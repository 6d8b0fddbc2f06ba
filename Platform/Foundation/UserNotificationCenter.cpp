#include "Platform/Foundation/UserNotificationCenter.hpp"

#include <mutex>
#include <stdexcept>
#include <utility>

#include "Platform/Foundation/FreedesktopNotificationCenter.hpp"

namespace platform {

namespace {

std::mutex& overrideMutex() {
  static std::mutex mutex;
  return mutex;
}

std::shared_ptr<UserNotificationCenter>& overridden() {
  static std::shared_ptr<UserNotificationCenter> center;
  return center;
}

}  // namespace

std::shared_ptr<UserNotificationCenter> UserNotificationCenter::current() {
  {
    std::lock_guard lock(overrideMutex());
    if (overridden()) return overridden();
  }
  // Never destroyed: its thread may still be talking to the bus when the process exits.
  static const auto& sessionCenter =
      *new std::shared_ptr<UserNotificationCenter>(std::make_shared<FreedesktopNotificationCenter>());
  return sessionCenter;
}

UserNotificationCenter::Override::Override(std::shared_ptr<UserNotificationCenter> center) {
  if (!center) throw std::invalid_argument("UserNotificationCenter::Override: null centre");
  std::lock_guard lock(overrideMutex());
  previous_ = std::exchange(overridden(), std::move(center));
}

UserNotificationCenter::Override::~Override() {
  std::lock_guard lock(overrideMutex());
  overridden() = std::move(previous_);
}

}  // namespace platform
