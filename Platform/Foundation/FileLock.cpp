#include "Platform/Foundation/FileLock.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <compare>
#include <condition_variable>
#include <cstdio>
#include <map>
#include <mutex>
#include <thread>
#include <vector>

namespace platform {

namespace {

// What a lock file is, however it is reached.
struct LockFileKey {
  dev_t device;
  ino_t inode;
  auto operator<=>(const LockFileKey&) const = default;
};

// Whether the lock file's mode may be changed: a regular file this user owns and that has no other name (a
// hard link put at the lock file's name may be any other file of this user's).
bool mayChangeMode(const struct stat& status) {
  return S_ISREG(status.st_mode) && status.st_uid == ::geteuid() && status.st_nlink == 1;
}

// The permission bits the lock file of `fileName` in `directory` carries: read and write for its owner, the
// rest as the file's.
mode_t lockFileMode(int directory, const std::string& fileName, mode_t newFileMode) {
  struct stat status {};
  const bool exists =
      ::fstatat(directory, fileName.c_str(), &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode);
  return S_IRUSR | S_IWUSR | ((exists ? status.st_mode : newFileMode) & 077);
}

// Gives the lock file `mode` through a descriptor of it opened without following a symbolic link. Such a
// descriptor (O_PATH, as the file may admit no reading or writing) takes no fchmod, but its /proc link names
// the very file it holds, not a path looked up again. Closing it drops no record lock.
bool giveMode(int directory, const std::string& name, mode_t mode) {
  const int file = ::openat(directory, name.c_str(), O_PATH | O_NOFOLLOW | O_CLOEXEC);
  if (file < 0) return false;
  struct stat status {};
  char link[32];
  std::snprintf(link, sizeof link, "/proc/self/fd/%d", file);
  const bool given = ::fstat(file, &status) == 0 && mayChangeMode(status) && ::chmod(link, mode) == 0;
  ::close(file);
  return given;
}

// Opens the lock file for reading and writing, making it when missing; one an earlier mode closed to this
// user gets `mode` first. -1 when it cannot be opened.
int openLockFile(int directory, const std::string& name, mode_t mode) {
  constexpr int flags = O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW;
  int descriptor = ::openat(directory, name.c_str(), flags, mode);
  if (descriptor < 0 && errno == EACCES && giveMode(directory, name, mode))
    descriptor = ::openat(directory, name.c_str(), flags, mode);
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
  // Closes a descriptor of the lock file opened by a thread that does not hold this mutex: at once when no
  // thread does, else once its holder has let it go (closing it sooner would drop the holder's record lock).
  void closeWhenFree(int descriptor) {
    std::lock_guard lock(mutex_);
    if (held_) {
      unclosed_.push_back(descriptor);
    } else {
      ::close(descriptor);
    }
  }
  void unlock() {
    {
      std::lock_guard lock(mutex_);
      for (const int descriptor : unclosed_) ::close(descriptor);
      unclosed_.clear();
      held_ = false;
    }
    released_.notify_one();
  }

 private:
  std::mutex mutex_;
  std::condition_variable released_;
  bool held_ = false;
  std::vector<int> unclosed_;
};

// One for each lock file this process has opened, kept for the life of the process.
FileLock::InProcess& FileLock::inProcessLock(const struct stat& lockFile) {
  static std::mutex tableMutex;
  static std::map<LockFileKey, InProcess> table;
  std::lock_guard lock(tableMutex);
  return table[{lockFile.st_dev, lockFile.st_ino}];
}

FileLock::FileLock(const std::filesystem::path& file, mode_t newFileMode, Clock::time_point deadline)
    : file_(file),
      lockFile_((file.has_parent_path() ? file.parent_path() : ".") /
                lockFileName(file.filename().string())) {
  while (!lockOnce(newFileMode, deadline) && Clock::now() < deadline) {
  }
}

bool FileLock::lockOnce(mode_t newFileMode, Clock::time_point deadline) {
  const std::string fileName = file_.filename().string(), lockName = lockFile_.filename().string();
  const int directory = ::open(lockFile_.parent_path().c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
  if (directory < 0) return true;
  const mode_t mode = lockFileMode(directory, fileName, newFileMode);
  const int descriptor = openLockFile(directory, lockName, mode);
  struct stat status {};
  if (descriptor < 0 || ::fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
    if (descriptor >= 0) ::close(descriptor);  // no thread locks a file that is not a regular one
    ::close(directory);
    return true;
  }
  InProcess& inProcess = inProcessLock(status);
  if (!inProcess.lockUntil(deadline)) {
    inProcess.closeWhenFree(descriptor);
    ::close(directory);
    return true;
  }
  directory_ = directory;
  descriptor_ = descriptor;
  inProcess_ = &inProcess;
  // Should the bits not take, the lock still serves this process; others may then find it closed to them.
  if (mayChangeMode(status) && (status.st_mode & 0777) != mode) ::fchmod(descriptor, mode);
  struct flock whole {};  // l_start and l_len 0: the whole file
  whole.l_type = F_WRLCK;
  whole.l_whence = SEEK_SET;
  // Not F_SETLKW: that waits without limit, and only a signal would cut it short.
  std::chrono::milliseconds pause(1);
  while (::fcntl(descriptor, F_SETLK, &whole) != 0) {
    const int error = errno;
    const Clock::time_point now = Clock::now();
    if ((error != EACCES && error != EAGAIN && error != EINTR) || now >= deadline) {
      release();
      return true;
    }
    std::this_thread::sleep_for(std::min<Clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::milliseconds(16));
  }
  if (stillNamed()) return true;
  release();
  return false;
}

bool FileLock::stillNamed() const noexcept {
  struct stat named {};
  struct stat locked {};
  return ::lstat(lockFile_.c_str(), &named) == 0 && ::fstat(descriptor_, &locked) == 0 &&
         named.st_dev == locked.st_dev && named.st_ino == locked.st_ino;
}

// Closing the descriptor gives the lock up; only then may another thread of this process close one of the
// file's descriptors.
void FileLock::release() noexcept {
  if (descriptor_ < 0) return;
  ::close(descriptor_);
  descriptor_ = -1;
  inProcess_->unlock();
  ::close(directory_);
  directory_ = -1;
}

FileLock::~FileLock() { release(); }

}  // namespace platform
