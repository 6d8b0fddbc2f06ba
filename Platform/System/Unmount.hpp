#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace platform {

// Unmounts the file system mounted at `mountPoint` on the running system, the way ejecting a volume does:
// never lazily (a busy file system stays mounted and the call reports EBUSY) and never by force. When the
// file system was on a loop device (or a partition of one) and no mount of that device is left, the device
// is detached from its backing file.
//
// The path is resolved once (realpath: links, "." and ".." followed) and everything after acts on that
// resolved path: a path that resolves outside the directory `scope` (itself resolved) is refused with
// EPERM (as is an absolute path that cannot be resolved whose spelling lies outside it). The directory that
// holds it is then opened without following links (a component turned into a link since fails with
// ENOTDIR), and the rest goes through that directory: the root mount, however the path spelt it, is
// refused with EBUSY by its identity (the mount id of "/"), since unmounting the root as root would turn
// it read-only rather than fail; the unmount does not follow a link put in the last component's place; and
// the loop device is the one of the mount found there. Returns the POSIX error in the generic category
// (EBUSY, EPERM, EINVAL for a path that is not a mount point, ENOENT...), or an empty code on success.
std::error_code unmount(const std::string& mountPoint, const std::string& scope = "/");

// Whether `path` is `directory` or lies under it, component by component (both without a trailing "/",
// but "/" itself).
bool isWithinDirectory(std::string_view path, std::string_view directory);

}  // namespace platform
