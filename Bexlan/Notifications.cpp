#include "Bexlan/Notifications.hpp"

#include "Platform/Foundation/UserNotificationCenter.hpp"
#include "Platform/Foundation/Uuid.hpp"

namespace Bexlan {

namespace {

using platform::AlertStyle;
using platform::AuthorizationStatus;

bool isPermitted(AuthorizationStatus status) {
  return status == AuthorizationStatus::authorized || status == AuthorizationStatus::provisional;
}

}  // namespace

void Notifications::removeObserver(const void* observer, const std::string& name) {
  removeObserver(observer, platform::NotificationName(name));
}

void Notifications::removeObserver(const void* observer, const platform::NotificationName& name) {
  platform::NotificationCenter::defaultCenter().removeObserver(observer, name);
}

void Notifications::post(const std::string& name, std::shared_ptr<const void> object) {
  platform::NotificationCenter::defaultCenter().post(platform::NotificationName(name), std::move(object));
}

void Notifications::requestAuthorization(std::function<void(const AuthorizationResult&)> completion) {
  platform::UserNotificationCenter::current()->requestAuthorization(
      platform::alert | platform::sound | platform::badge,
      [completion = std::move(completion)](bool granted,
                                           const std::optional<platform::NotificationError>& error) {
        if (!completion) return;
        if (error) {
          completion(*error);
        } else {
          completion(granted);
        }
      });
}

void Notifications::checkPermission(std::function<void(bool)> completion) {
  platform::UserNotificationCenter::current()->getNotificationSettings(
      [completion = std::move(completion)](const platform::NotificationSettings& settings) {
        const bool showsAlerts =
            isPermitted(settings.authorizationStatus) &&
            (settings.alertStyle == AlertStyle::banner || settings.alertStyle == AlertStyle::alert);
        if (completion) completion(showsAlerts);
      });
}

void Notifications::sendNotification(
    const std::string& title, const std::string& body,
    std::function<void(const std::optional<platform::NotificationError>&)> completion) {
  const std::shared_ptr<platform::UserNotificationCenter> center =
      platform::UserNotificationCenter::current();
  center->getNotificationSettings([center, title, body, completion = std::move(completion)](
                                      const platform::NotificationSettings& settings) mutable {
    if (!isPermitted(settings.authorizationStatus)) return;
    center->add({platform::uuidString(), title, body}, std::move(completion));
  });
}

}  // namespace Bexlan
