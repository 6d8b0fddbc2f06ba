#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>

#include "Platform/Foundation/UserNotification.hpp"

namespace platform {

// The desktop's notification banners. Every completion runs once, on a global queue (never on the caller's
// thread during the call).
class UserNotificationCenter {
 public:
  using AuthorizationCompletion = std::function<void(bool granted, const std::optional<NotificationError>&)>;
  using SettingsCompletion = std::function<void(const NotificationSettings&)>;
  using AddCompletion = std::function<void(const std::optional<NotificationError>&)>;

  // The centre in use: the innermost live Override, else a FreedesktopNotificationCenter on the session bus.
  static std::shared_ptr<UserNotificationCenter> current();

  virtual ~UserNotificationCenter() = default;

  // Asks for permission to show what `options` (AuthorizationOption bits) name.
  virtual void requestAuthorization(std::uint32_t options, AuthorizationCompletion completion) = 0;
  virtual void getNotificationSettings(SettingsCompletion completion) = 0;
  // Shows the request; the completion (which may be empty) gets the delivery error or none.
  virtual void add(NotificationRequest request, AddCompletion completion) = 0;

  // Puts `center` in place of the current one while it lives (for tests); overrides nest. Throws
  // std::invalid_argument for a null centre.
  class Override {
   public:
    explicit Override(std::shared_ptr<UserNotificationCenter> center);
    ~Override();
    Override(const Override&) = delete;
    Override& operator=(const Override&) = delete;

   private:
    std::shared_ptr<UserNotificationCenter> previous_;
  };
};

}  // namespace platform
