#pragma once

#include <atomic>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace platform {

// The name of an in-process notification.
struct NotificationName {
  explicit NotificationName(std::string value) : rawValue(std::move(value)) {}
  std::string rawValue;
  bool operator==(const NotificationName&) const = default;
};

// What an observer receives: the name and the sender (absent when none was given).
struct Notification {
  NotificationName name;
  std::shared_ptr<const void> object;
};

// Delivers named notifications to the observers registered for them, in process. Observers are held
// weakly: one that has been destroyed is never called and leaves the centre by itself. Registering,
// removing and posting are safe from any thread. A post delivers synchronously on the posting thread, in
// registration order, over the registrations taken when it starts: one added during the post is not called
// by it, one removed during the post is skipped, and each observer stays alive during its own call.
class NotificationCenter {
 public:
  // Called with the observer (alive for the call) and the notification.
  using Handler = std::function<void(void* observer, const Notification&)>;

  static NotificationCenter& defaultCenter();

  NotificationCenter() = default;
  NotificationCenter(const NotificationCenter&) = delete;
  NotificationCenter& operator=(const NotificationCenter&) = delete;

  // Registers observer for notifications named `name`; sent by `object` only when it is given (compared by
  // identity), else by any sender. Adding the same observer twice gives two registrations, as the platform
  // does. A null observer or an empty handler is ignored.
  void addObserver(const std::weak_ptr<void>& observer, Handler handler, NotificationName name,
                   const void* object = nullptr);
  // Removes every registration of observer (by identity) for `name`, whatever their senders. Unknown
  // observers and names change nothing.
  void removeObserver(const void* observer, const NotificationName& name);
  void post(const NotificationName& name, std::shared_ptr<const void> object = nullptr);

 private:
  struct Registration {
    Registration(std::weak_ptr<void> observer_, const void* address_, Handler handler_,
                 NotificationName name_, const void* object_)
        : observer(std::move(observer_)),
          address(address_),
          handler(std::move(handler_)),
          name(std::move(name_)),
          object(object_) {}

    std::weak_ptr<void> observer;
    const void* address;
    Handler handler;
    NotificationName name;
    const void* object;
    std::atomic<bool> removed = false;
  };

  // Drops the registrations whose observers are gone; the caller holds mutex_.
  void dropReleased();

  std::mutex mutex_;
  std::vector<std::shared_ptr<Registration>> registrations_;
};

}  // namespace platform
