#pragma once

#include <map>
#include <memory>
#include <utility>

#include "Platform/System/TextSource.hpp"
#include "Platform/System/UdevDatabase.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

namespace volumetest {

// The recorded tree `name` ("machine", "later") as a text source.
inline std::shared_ptr<const platform::TextSource> fixtureTree(const char* name) {
  return std::make_shared<platform::FileTreeTextSource>(systemtest::fixtureRoot("volumes") / name);
}

// udev records given by a test, by device number.
class FakeUdevDatabase final : public platform::UdevDatabase {
 public:
  std::map<std::pair<std::uint32_t, std::uint32_t>, platform::UdevData> records;

  std::optional<platform::UdevData> blockDevice(std::uint32_t major, std::uint32_t minor) const override {
    const auto found = records.find({major, minor});
    return found == records.end() ? std::nullopt : std::optional(found->second);
  }
};

// What udev recorded on the machine of the tree "machine": the SATA disk, the USB stick and the root
// file system's partition.
inline std::shared_ptr<const FakeUdevDatabase> fixtureUdev() {
  auto udev = std::make_shared<FakeUdevDatabase>();
  udev->records[{8, 0}].properties = {
      {"ID_ATA", "1"},
      {"ID_TYPE", "disk"},
      {"ID_BUS", "ata"},
      {"ID_MODEL", "Samsung_SSD_860_EVO_500GB"},
      {"ID_MODEL_ENC", "Samsung\\x20SSD\\x20860\\x20EVO\\x20500GB\\x20\\x20\\x20\\x20"},
      {"ID_REVISION", "4B6Q"},
      {"ID_SERIAL", "Samsung_SSD_860_EVO_500GB_S3Z9NB0K123456A"},
      {"ID_SERIAL_SHORT", "S3Z9NB0K123456A"},
      {"ID_ATA_SATA", "1"}};
  udev->records[{8, 16}].properties = {{"ID_BUS", "usb"},
                                       {"ID_VENDOR", "SanDisk"},
                                       {"ID_MODEL", "Cruzer_Blade"},
                                       {"ID_SERIAL_SHORT", "4C530001230405109122"}};
  udev->records[{8, 2}].properties = {{"ID_FS_LABEL", "Data_Disk"},
                                      {"ID_FS_LABEL_ENC", "Data\\x20Disk"},
                                      {"ID_FS_TYPE", "ext4"},
                                      {"ID_FS_UUID", "0f3c6a9e-6a3a-4b61-9d52-1a0e0f1b2c3d"}};
  return udev;
}

}  // namespace volumetest
