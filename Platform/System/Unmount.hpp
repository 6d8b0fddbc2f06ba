#pragma once

#include <string>
#include <system_error>

namespace platform {

// Unmounts the file system mounted at `mountPoint` on the running system, the way ejecting a volume does:
// never lazily (a busy file system stays mounted and the call reports EBUSY) and never by force. When the
// file system was on a loop device (or a partition of one) and no mount of that device is left, the device
// is detached from its backing file.
//
// The root directory, however it is spelt ("/", "//", "/tmp/..", a link to it), is refused with EBUSY
// before any unmount is tried: unmounting the root as root would turn it read-only rather than fail.
// Returns the POSIX error in the generic category (EBUSY, EPERM, EINVAL for a path that is not a mount
// point, ENOENT...), or an empty code on success.
std::error_code unmount(const std::string& mountPoint);

}  // namespace platform
