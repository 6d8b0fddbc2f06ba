#pragma once

#include <memory>
#include <string>

#include "Platform/Foundation/UserNotificationCenter.hpp"

namespace platform {

// The desktop's notification service, org.freedesktop.Notifications, over D-Bus (GDBus). The desktop has
// no per-application permission: a server that answers counts as authorized with banners, and none (no
// bus, or no server on it) as not determined.
//
// The centre talks to the bus from a thread of its own, through GDBus's asynchronous calls on a main
// context of its own, so neither the caller nor a global-queue worker ever waits on the bus, and a silent
// bus or a mute server delays nothing else. It keeps one connection while the bus keeps it open and
// connects again when there is none, so a bus or a server that starts later is found. Connecting, the bus's
// Hello included, gives up after a second, failing every call waiting for it; so does each call on its own.
// Completions run on a global queue.
class FreedesktopNotificationCenter : public UserNotificationCenter {
 public:
  // The bus at `busAddress` (a D-Bus address such as "unix:path=/run/user/1000/bus"); the session bus when
  // empty, as DBUS_SESSION_BUS_ADDRESS names it at each connection.
  explicit FreedesktopNotificationCenter(std::string busAddress = {});
  // Cancels what is still in flight, connecting included (those completions get GLib's "cancelled" error),
  // closes the connection and stops the thread once GDBus has let go of it, so no descriptor outlives the
  // centre; every stage heeds the cancellation and the closing is local, so this returns at once whatever
  // the bus does (a second at most).
  ~FreedesktopNotificationCenter() override;
  FreedesktopNotificationCenter(const FreedesktopNotificationCenter&) = delete;
  FreedesktopNotificationCenter& operator=(const FreedesktopNotificationCenter&) = delete;

  // Asks the server for its information; granted when it answers, else the D-Bus error. The desktop has no
  // notion of the options.
  void requestAuthorization(std::uint32_t options, AuthorizationCompletion completion) override;
  void getNotificationSettings(SettingsCompletion completion) override;
  // Notify with the product's name, replaces-id 0 (each request is a notification of its own), no icon,
  // actions or hints (the server's default sound) and the server's default expiry.
  void add(NotificationRequest request, AddCompletion completion) override;

 private:
  class BusClient;
  const std::unique_ptr<BusClient> client_;
};

}  // namespace platform
