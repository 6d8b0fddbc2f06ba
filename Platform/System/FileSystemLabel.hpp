#pragma once

#include <optional>
#include <string>

#include "Platform/System/UdevData.hpp"

namespace platform {

// The label of the file system mounted at `mountPoint`, as the file system itself reports it
// (FS_IOC_GETFSLABEL on the mount point: ext2/3/4, btrfs, xfs, f2fs and others, no privilege needed).
// Absent when the file system has no label or cannot report one.
std::optional<std::string> fileSystemLabel(const std::string& mountPoint);

// The label as above, else the one udev read from the device (ID_FS_LABEL), for file systems that cannot
// report theirs; absent when neither has a non-empty label.
std::optional<std::string> fileSystemLabel(const std::string& mountPoint, const UdevData* udev);

}  // namespace platform
