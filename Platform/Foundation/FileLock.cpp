#include "Platform/Foundation/FileLock.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <map>
#include <string>
#include <thread>

namespace platform {

namespace {

// The mutex of a lock file path: one for each path this process has locked, kept for the life of the process.
std::timed_mutex& inProcessMutex(const std::filesystem::path& lockFile) {
  static std::mutex tableMutex;
  static std::map<std::filesystem::path, std::timed_mutex> table;
  std::lock_guard lock(tableMutex);
  return table[lockFile];
}

// The permission bits the lock file of `file` carries.
mode_t lockFileMode(const std::filesystem::path& file, mode_t newFileMode) {
  struct stat status {};
  const bool exists = ::lstat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode);
  return (exists ? status.st_mode : newFileMode) & 0777;
}

// Opens the lock file for reading and writing, making it when missing, and gives it `mode` when this user
// owns it (the umask trimmed the bits of a new file; the guarded file's may have changed since). -1 when it
// cannot be opened or is no regular file.
int openLockFile(const std::filesystem::path& lockFile, mode_t mode) {
  const int descriptor = ::open(lockFile.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW, mode);
  struct stat status {};
  if (descriptor < 0 || ::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    if (descriptor >= 0) ::close(descriptor);
    return -1;
  }
  // Should the bits not take, the lock still serves this process; others may then find it closed to them.
  if (status.st_uid == ::geteuid() && (status.st_mode & 0777) != mode) ::fchmod(descriptor, mode);
  return descriptor;
}

}  // namespace

FileLock::FileLock(const std::filesystem::path& file, mode_t newFileMode, Clock::time_point deadline) {
  const std::filesystem::path lockFile = file.parent_path() / ("." + file.filename().string() + ".lock");
  inProcess_ = std::unique_lock(inProcessMutex(lockFile), deadline);
  if (!inProcess_) return;
  const int descriptor = openLockFile(lockFile, lockFileMode(file, newFileMode));
  if (descriptor < 0) {
    inProcess_.unlock();
    return;
  }
  struct flock whole {};  // l_start and l_len 0: the whole file
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  // Not F_SETLKW: that waits without limit, and only a signal would cut it short.
  std::chrono::milliseconds pause(1);
  while (::fcntl(descriptor, F_SETLK, &whole) != 0) {
    const int error = errno;
    const Clock::time_point now = Clock::now();
    if ((error != EACCES && error != EAGAIN && error != EINTR) || now >= deadline) {
      ::close(descriptor);
      inProcess_.unlock();
      return;
    }
    std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::milliseconds(16));
  }
  descriptor_ = descriptor;
}

// Closing the descriptor gives the lock up; only then does the mutex let another thread open the file.
FileLock::~FileLock() {
  if (descriptor_ >= 0) ::close(descriptor_);
}

}  // namespace platform
