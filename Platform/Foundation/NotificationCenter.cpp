#include "Platform/Foundation/NotificationCenter.hpp"

namespace platform {

NotificationCenter& NotificationCenter::defaultCenter() {
  static auto* center = new NotificationCenter;  // never destroyed: posts may come during exit
  return *center;
}

void NotificationCenter::addObserver(const std::weak_ptr<void>& observer, Handler handler,
                                     NotificationName name, const void* object) {
  const std::shared_ptr<void> alive = observer.lock();
  if (!alive || !handler) return;
  auto registration =
      std::make_shared<Registration>(observer, alive.get(), std::move(handler), std::move(name), object);
  std::lock_guard lock(mutex_);
  dropReleased();
  registrations_.push_back(std::move(registration));
}

void NotificationCenter::removeObserver(const void* observer, const NotificationName& name) {
  std::lock_guard lock(mutex_);
  std::erase_if(registrations_, [&](const std::shared_ptr<Registration>& registration) {
    // A released registration matches nothing, even when a new observer now lives at its address.
    const bool matches = registration->address == observer && registration->name == name;
    if (matches) registration->removed = true;
    return matches || registration->observer.expired();
  });
}

void NotificationCenter::post(const NotificationName& name, std::shared_ptr<const void> object) {
  std::vector<std::shared_ptr<Registration>> matching;
  {
    std::lock_guard lock(mutex_);
    for (const auto& registration : registrations_) {
      if (registration->name == name &&
          (registration->object == nullptr || registration->object == object.get())) {
        matching.push_back(registration);
      }
    }
  }
  if (matching.empty()) return;
  const Notification notification{name, std::move(object)};
  for (const auto& registration : matching) {
    if (registration->removed.load(std::memory_order_relaxed)) continue;
    if (const std::shared_ptr<void> observer = registration->observer.lock()) {
      registration->handler(observer.get(), notification);
    }
  }
}

void NotificationCenter::dropReleased() {
  std::erase_if(registrations_, [](const std::shared_ptr<Registration>& registration) {
    return registration->observer.expired();
  });
}

}  // namespace platform
