#include "Platform/System/UdevDatabase.hpp"

#include <libudev.h>
#include <sys/sysmacros.h>

#include <mutex>

namespace platform {

namespace {

// libudev objects are not safe to share between threads: one context, used under a lock.
class LibudevDatabase final : public UdevDatabase {
 public:
  LibudevDatabase() : udev_(udev_new()), queue_(udev_ != nullptr ? udev_queue_new(udev_) : nullptr) {}
  ~LibudevDatabase() override {
    udev_queue_unref(queue_);
    udev_unref(udev_);
  }
  LibudevDatabase(const LibudevDatabase&) = delete;
  LibudevDatabase& operator=(const LibudevDatabase&) = delete;

  std::optional<UdevData> blockDevice(std::uint32_t major, std::uint32_t minor) const override {
    if (udev_ == nullptr || queue_ == nullptr) return std::nullopt;
    std::lock_guard lock(mutex_);
    // Without udev running there are no records to trust, and asking for one costs a walk through sysfs
    // at every refresh.
    if (udev_queue_get_udev_is_active(queue_) != 1) return std::nullopt;
    udev_device* device = udev_device_new_from_devnum(udev_, 'b', makedev(major, minor));
    if (device == nullptr) return std::nullopt;
    std::optional<UdevData> data;
    // A device udev has not processed has only the kernel's own properties: no record.
    if (udev_device_get_is_initialized(device) > 0) {
      data.emplace();
      for (udev_list_entry* entry = udev_device_get_properties_list_entry(device); entry != nullptr;
           entry = udev_list_entry_get_next(entry)) {
        const char* name = udev_list_entry_get_name(entry);
        const char* value = udev_list_entry_get_value(entry);
        if (name != nullptr && value != nullptr) data->properties.insert_or_assign(name, value);
      }
    }
    udev_device_unref(device);
    return data;
  }

 private:
  udev* const udev_;
  udev_queue* const queue_;
  mutable std::mutex mutex_;
};

}  // namespace

const std::shared_ptr<const UdevDatabase>& UdevDatabase::live() {
  static const std::shared_ptr<const UdevDatabase> database = std::make_shared<LibudevDatabase>();
  return database;
}

}  // namespace platform
