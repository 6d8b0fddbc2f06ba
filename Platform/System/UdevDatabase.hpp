#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "Platform/System/UdevData.hpp"

namespace platform {

// udev's records of block devices, behind a seam so that tests of recorded machines can give records of
// their own. Calls may come from several threads at once.
class UdevDatabase {
 public:
  virtual ~UdevDatabase() = default;

  // The properties udev gave the block device major:minor; absent when udev has no record of it (udev not
  // running, or a device it has not processed).
  virtual std::optional<UdevData> blockDevice(std::uint32_t major, std::uint32_t minor) const = 0;

  // The running udev's database, through libudev.
  static const std::shared_ptr<const UdevDatabase>& live();
};

}  // namespace platform
