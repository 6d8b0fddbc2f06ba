#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "Platform/System/TextSource.hpp"
#include "Platform/System/UdevData.hpp"

namespace platform {

// How a whole disk is attached, from its node's path in sysfs, with the texts of the system's volume
// descriptions: "USB", "Secure Digital" (an SD card in an MMC slot), "PCI-Express" (NVMe), "ATAPI" (an
// optical drive on an ATA port), "SATA" or "ATA" (by the port's link speed, or udev's ID_ATA_SATA),
// "Virtual Interface" (virtio) and "Disk Image" (a loop device). Absent for anything else (SCSI, SAS,
// eMMC, device-mapper, zram...).
std::optional<std::string> blockDeviceProtocol(const TextSource& source, std::string_view wholeDisk,
                                               std::string_view wholeDiskPath, const UdevData* udev);

}  // namespace platform
