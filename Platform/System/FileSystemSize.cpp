#include "Platform/System/FileSystemSize.hpp"

#include <limits>

namespace platform {

namespace {

std::uint64_t saturatingProduct(std::uint64_t count, std::uint64_t size) {
  if (size != 0 && count > std::numeric_limits<std::uint64_t>::max() / size) {
    return std::numeric_limits<std::uint64_t>::max();
  }
  return count * size;
}

}  // namespace

FileSystemSize FileSystemSize::from(const struct statvfs& status) {
  const std::uint64_t unit = status.f_frsize != 0 ? status.f_frsize : status.f_bsize;
  return {saturatingProduct(status.f_blocks, unit), saturatingProduct(status.f_bavail, unit),
          (status.f_flag & ST_RDONLY) != 0};
}

std::optional<FileSystemSize> FileSystemSize::read(const std::string& path) {
  struct statvfs status {};
  if (::statvfs(path.c_str(), &status) != 0) return std::nullopt;
  return from(status);
}

}  // namespace platform
