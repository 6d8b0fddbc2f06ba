#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <variant>

#include "Platform/Foundation/NotificationCenter.hpp"
#include "Platform/Foundation/UserNotification.hpp"

namespace Bexlan {

// In-process notifications on the default notification centre, and the desktop's notification banners.
//
// Observers are held weakly: a destroyed observer is never called. Every centre operation is safe from any
// thread and a post delivers synchronously on the posting thread. The completions of the three desktop
// operations run on a global queue; move to the main thread before touching the interface.
class Notifications {
 public:
  Notifications() = delete;

  // The observer's member function that receives the notification.
  template <class T>
  using Selector = void (T::*)(const platform::Notification&);
  using AuthorizationResult = std::variant<bool, platform::NotificationError>;

  // Registers observer for notifications of `name` from any sender.
  template <class T>
  static void addObserver(const std::shared_ptr<T>& observer, Selector<T> selector, const std::string& name) {
    addObserver(observer, selector, platform::NotificationName(name));
  }
  // Registers observer for notifications of `name` sent by `object` (compared by identity), or from any
  // sender when object is null.
  template <class T>
  static void addObserver(const std::shared_ptr<T>& observer, Selector<T> selector,
                          const platform::NotificationName& name, const void* object = nullptr) {
    if (!observer || !selector) return;
    platform::NotificationCenter::defaultCenter().addObserver(
        observer,
        [selector](void* receiver, const platform::Notification& notification) {
          (static_cast<T*>(receiver)->*selector)(notification);
        },
        name, object);
  }

  // Removes observer's registrations for `name` (any sender); observer is the object registered, by address.
  static void removeObserver(const void* observer, const std::string& name);
  static void removeObserver(const void* observer, const platform::NotificationName& name);
  // Posts `name` with `object` as its sender (none when null).
  static void post(const std::string& name, std::shared_ptr<const void> object = nullptr);

  // Asks for permission to show alerts, play sounds and set the badge; the completion (when given) gets the
  // error if the service reports one, else the granted flag.
  static void requestAuthorization(std::function<void(const AuthorizationResult&)> completion = {});
  // Whether alerts can be shown: authorized or provisional, with banner or alert style.
  static void checkPermission(std::function<void(bool)> completion);
  // Shows a notification with the title and body when permitted (authorized or provisional), under a new
  // identifier; the completion gets the delivery error or none. Without permission nothing is shown and
  // the completion is not called.
  static void sendNotification(
      const std::string& title, const std::string& body,
      std::function<void(const std::optional<platform::NotificationError>&)> completion = {});
};

}  // namespace Bexlan
