#pragma once

#include <cstdint>
#include <string>

namespace platform {

// The values a user-notification centre works with.

enum class AuthorizationStatus : std::uint8_t { notDetermined, denied, authorized, provisional };

enum class AlertStyle : std::uint8_t { none, banner, alert };

struct NotificationSettings {
  AuthorizationStatus authorizationStatus = AuthorizationStatus::notDetermined;
  AlertStyle alertStyle = AlertStyle::none;
};

// What an authorization request asks for; combine with |.
enum AuthorizationOption : std::uint32_t { badge = 1, sound = 2, alert = 4 };

// A notification shown at once; the desktop plays its default sound with it.
struct NotificationRequest {
  std::string identifier;
  std::string title;
  std::string body;
};

// A failure reported by the notification service (for D-Bus, the GLib error domain, code and message).
struct NotificationError {
  std::string domain;
  int code = 0;
  std::string message;

  bool operator==(const NotificationError&) const = default;
};

}  // namespace platform
