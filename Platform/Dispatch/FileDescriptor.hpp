#pragma once

#include <unistd.h>

#include <cerrno>
#include <system_error>

namespace platform {

// Owns one open file descriptor and closes it when destroyed.
class FileDescriptor {
 public:
  // Takes a descriptor returned by a system call; throws std::system_error with errno when it is -1.
  FileDescriptor(int fd, const char* what) : fd_(fd) {
    if (fd_ < 0) {
      throw std::system_error(errno, std::generic_category(), what);
    }
  }
  ~FileDescriptor() { ::close(fd_); }
  FileDescriptor(const FileDescriptor&) = delete;
  FileDescriptor& operator=(const FileDescriptor&) = delete;

  int get() const noexcept { return fd_; }

 private:
  int fd_;
};

}  // namespace platform
