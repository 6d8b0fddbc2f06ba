#pragma once

#include <sys/stat.h>

#include <filesystem>
#include <optional>
#include <string>

namespace platform {

// The bytes of the file at `path`, read whole; none when it cannot be opened or read (missing, no
// permission, a directory, an I/O error), with errno telling why. Never throws for the file's sake, as a
// stream would on a directory. `status`, when given, receives the opened file's status.
std::optional<std::string> readWholeFile(const std::filesystem::path& path, struct stat* status = nullptr);

}  // namespace platform
