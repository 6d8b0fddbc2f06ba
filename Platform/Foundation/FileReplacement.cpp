#include "Platform/Foundation/FileReplacement.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <system_error>

namespace platform {

namespace {

std::atomic<unsigned> temporaryCount{0};

}  // namespace

FileReplacement::FileReplacement(std::filesystem::path path) : path_(std::move(path)) {
  struct stat status {};
  if (::stat(path_.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) fail(EISDIR);
  const std::filesystem::path directory = path_.has_parent_path() ? path_.parent_path() : ".";
  // A name of our own that no other writer picks: the process and a count, retried on a clash.
  for (;;) {
    temporary_ = directory / ("." + path_.filename().string() + "." + std::to_string(::getpid()) + "." +
                              std::to_string(temporaryCount.fetch_add(1)) + ".tmp");
    // Made like any new file (0666 less the umask), so the picture gets the usual permissions.
    descriptor_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
    if (descriptor_ >= 0) return;
    if (errno != EEXIST) fail(errno);
  }
}

FileReplacement::~FileReplacement() {
  if (descriptor_ >= 0) {
    ::close(descriptor_);
    ::unlink(temporary_.c_str());
  }
}

void FileReplacement::write(const void* bytes, std::size_t count) {
  const auto* next = static_cast<const char*>(bytes);
  while (count > 0) {
    const ssize_t written = ::write(descriptor_, next, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    next += written;
    count -= static_cast<std::size_t>(written);
  }
}

void FileReplacement::commit() {
  if (::fsync(descriptor_) != 0) fail(errno);
  const int descriptor = descriptor_;
  descriptor_ = -1;
  if (::close(descriptor) != 0 || ::rename(temporary_.c_str(), path_.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary_.c_str());
    fail(error);
  }
}

void FileReplacement::fail(int error) const {
  throw std::system_error(error, std::generic_category(), "cannot write " + path_.string());
}

}  // namespace platform
