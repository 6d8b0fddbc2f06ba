#pragma once

#include <string>
#include <string_view>
#include <system_error>

namespace platform {

// Unmounts the file system mounted at `mountPoint` on the running system, the way ejecting a volume does:
// never lazily and never by force, so a busy file system stays mounted (EBUSY). When it was on a loop
// device (or a partition of one) and no mount of that device is left, the device is detached from its file.
//
// A path cannot lead the call elsewhere: it acts only on what the path resolved to when the call began.
// A path that resolves outside the directory `scope` is refused with EPERM (as is an absolute path that
// cannot be resolved whose spelling lies outside it); a link put into the path meanwhile makes the call
// fail, never act outside; the root mount, however spelt, is refused with EBUSY (unmounting the root as
// root would turn it read-only rather than fail). Returns the POSIX error in the generic category (EBUSY,
// EPERM, EINVAL for a path that is not a mount point, ENOENT...), or an empty code on success.
std::error_code unmount(const std::string& mountPoint, const std::string& scope = "/");

// Whether `path` is `directory` or lies under it, component by component (both without a trailing "/",
// but "/" itself).
bool isWithinDirectory(std::string_view path, std::string_view directory);

}  // namespace platform
