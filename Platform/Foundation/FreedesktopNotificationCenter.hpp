#pragma once

#include <string>

#include "Platform/Foundation/UserNotificationCenter.hpp"

namespace platform {

// The desktop's notification service, org.freedesktop.Notifications, over D-Bus (GDBus). The desktop has
// no per-application permission: a server that answers counts as authorized with banners, and none (no
// bus, or no server on it) as not determined. Each operation connects anew on a global queue, so a server
// that starts later is found; a call waits at most a second for the server.
class FreedesktopNotificationCenter : public UserNotificationCenter {
 public:
  // The bus at `busAddress` (a D-Bus address such as "unix:path=/run/user/1000/bus"); the session bus when
  // empty.
  explicit FreedesktopNotificationCenter(std::string busAddress = {});

  // Asks the server for its information; granted when it answers, else the D-Bus error. The desktop has no
  // notion of the options.
  void requestAuthorization(std::uint32_t options, AuthorizationCompletion completion) override;
  void getNotificationSettings(SettingsCompletion completion) override;
  // Notify with the product's name, replaces-id 0 (each request is a notification of its own), no icon,
  // actions or hints (the server's default sound) and the server's default expiry.
  void add(NotificationRequest request, AddCompletion completion) override;

 private:
  const std::string busAddress_;
};

}  // namespace platform
