#include "Platform/System/FileSystemLabel.hpp"

#include <fcntl.h>
#include <linux/fs.h>
#include <sys/ioctl.h>
#include <unistd.h>

#include <array>
#include <cstring>

namespace platform {

std::optional<std::string> fileSystemLabel(const std::string& mountPoint) {
  // O_PATH descriptors cannot take ioctls; a directory opened for reading can, without any permission on
  // the device.
  const int fd = ::open(mountPoint.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) return std::nullopt;
  std::array<char, FSLABEL_MAX + 1> label{};
  const int result = ::ioctl(fd, FS_IOC_GETFSLABEL, label.data());
  ::close(fd);
  if (result != 0) return std::nullopt;
  const std::size_t length = ::strnlen(label.data(), FSLABEL_MAX);
  if (length == 0) return std::nullopt;
  return std::string(label.data(), length);
}

std::optional<std::string> fileSystemLabel(const std::string& mountPoint, const UdevData* udev) {
  if (std::optional<std::string> label = fileSystemLabel(mountPoint)) return label;
  if (udev == nullptr) return std::nullopt;
  return udev->text("ID_FS_LABEL");
}

}  // namespace platform
