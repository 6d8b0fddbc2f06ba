#include "Platform/Foundation/WholeFile.hpp"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

namespace platform {

std::optional<std::string> readWholeFile(const std::filesystem::path& path, struct stat* status) {
  const int descriptor = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (descriptor < 0) return std::nullopt;
  struct stat opened {};
  bool complete = ::fstat(descriptor, &opened) == 0;
  std::string text;
  char buffer[16384];
  while (complete) {
    const ssize_t count = ::read(descriptor, buffer, sizeof buffer);
    if (count == 0) break;
    if (count > 0) {
      text.append(buffer, std::size_t(count));
    } else if (errno != EINTR) {
      complete = false;  // a directory gives EISDIR here
    }
  }
  const int error = errno;
  ::close(descriptor);
  errno = error;
  if (!complete) return std::nullopt;
  if (status) *status = opened;
  return text;
}

}  // namespace platform
