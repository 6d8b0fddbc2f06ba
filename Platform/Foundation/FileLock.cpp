#include "Platform/Foundation/FileLock.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <compare>
#include <condition_variable>
#include <map>
#include <mutex>
#include <string>
#include <thread>

namespace platform {

namespace {

// What a lock file is, however its directory is spelled.
struct LockFileKey {
  dev_t device;
  ino_t inode;
  std::string name;
  auto operator<=>(const LockFileKey&) const = default;
};

// The permission bits the lock file of `file` carries: read and write for its owner, the rest as the file's.
mode_t lockFileMode(const std::filesystem::path& file, mode_t newFileMode) {
  struct stat status {};
  const bool exists = ::lstat(file.c_str(), &status) == 0 && S_ISREG(status.st_mode);
  return S_IRUSR | S_IWUSR | ((exists ? status.st_mode : newFileMode) & 077);
}

// Whether the lock file is a regular file this user owns.
bool ownLockFile(const struct stat& status) {
  return S_ISREG(status.st_mode) && status.st_uid == ::geteuid();
}

// Opens the lock file for reading and writing, making it when missing, and gives it `mode` when this user
// owns it (the umask trimmed the bits of a new file; the guarded file's may have changed since). A lock file
// of this user's that an earlier mode closed to it gets its mode before it is opened. -1 when it cannot be
// opened or is no regular file.
int openLockFile(const std::filesystem::path& lockFile, mode_t mode) {
  constexpr int flags = O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW;
  struct stat status {};
  int descriptor = ::open(lockFile.c_str(), flags, mode);
  if (descriptor < 0 && errno == EACCES && ::lstat(lockFile.c_str(), &status) == 0 && ownLockFile(status) &&
      ::chmod(lockFile.c_str(), mode) == 0)
    descriptor = ::open(lockFile.c_str(), flags, mode);
  if (descriptor < 0 || ::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    if (descriptor >= 0) ::close(descriptor);
    return -1;
  }
  // Should the bits not take, the lock still serves this process; others may then find it closed to them.
  if (ownLockFile(status) && (status.st_mode & 0777) != mode) ::fchmod(descriptor, mode);
  return descriptor;
}

}  // namespace

// A mutex a thread waits for until a deadline at most. (std::timed_mutex would do, but ThreadSanitizer does
// not see its timed wait, and then reports each unlock as one of a mutex not locked.)
class FileLock::InProcess {
 public:
  bool lockUntil(Clock::time_point deadline) {
    std::unique_lock lock(mutex_);
    return released_.wait_until(lock, deadline, [this] { return !held_; }) && (held_ = true);
  }
  void unlock() {
    {
      std::lock_guard lock(mutex_);
      held_ = false;
    }
    released_.notify_one();
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
};

// One for each lock file this process has locked, kept for the life of the process.
FileLock::InProcess* FileLock::inProcessLock(const std::filesystem::path& lockFile) {
  struct stat directory {};
  if (::stat(lockFile.parent_path().c_str(), &directory) != 0) return nullptr;
  static std::mutex tableMutex;
  static std::map<LockFileKey, InProcess> table;
  std::lock_guard lock(tableMutex);
  return &table[{directory.st_dev, directory.st_ino, lockFile.filename().string()}];
}

FileLock::FileLock(const std::filesystem::path& file, mode_t newFileMode, Clock::time_point deadline) {
  const std::filesystem::path directory = file.has_parent_path() ? file.parent_path() : ".";
  const std::filesystem::path lockFile = directory / ("." + file.filename().string() + ".lock");
  InProcess* const inProcess = inProcessLock(lockFile);
  if (!inProcess || !inProcess->lockUntil(deadline)) return;
  const int descriptor = openLockFile(lockFile, lockFileMode(file, newFileMode));
  if (descriptor < 0) {
    inProcess->unlock();
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
      inProcess->unlock();
      return;
    }
    std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::milliseconds(16));
  }
  descriptor_ = descriptor;
  inProcess_ = inProcess;
}

// Closing the descriptor gives the lock up; only then may another thread of this process open the file.
FileLock::~FileLock() {
  if (descriptor_ < 0) return;
  ::close(descriptor_);
  inProcess_->unlock();
}

}  // namespace platform
