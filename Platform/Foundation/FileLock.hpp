#pragma once

#include <sys/types.h>

#include <chrono>
#include <filesystem>

namespace platform {

// The exclusive right to replace a file, shared by every process and every thread that writes it: a write
// lock (fcntl F_SETLK) on a lock file beside it, ".<file name>.lock", which is never replaced or removed,
// held while the object lives.
//
// The lock belongs to this process, not to the open file: a child forked while it is held does not hold it
// (a flock or open-file-description lock would stay with the child's copy of the descriptor until the child
// exits or execs). Such a lock does not keep out other threads of the same process, and closing any
// descriptor of the lock file drops it; so a mutex per lock file, taken before the file is opened and given
// up after it is closed, keeps every other thread of this process away from the file meanwhile. The mutex
// belongs to the lock file itself (its directory's device and inode, and its name), not to the text of its
// path: every spelling of the directory (a symbolic link, "dir/./", another mount of it) takes the same one.
//
// The lock file is opened for reading and writing (a write lock needs that, over NFS too). Its owner may
// always read and write it; its group and other bits are the guarded file's, so whoever may change the file
// may take its lock: a new lock file gets them, and one this user owns gets them again once they differ,
// even when an earlier mode shut the owner out. Without a guarded file, `newFileMode` stands for its bits,
// as it will be made.
class FileLock {
 public:
  using Clock = std::chrono::steady_clock;

  // Waits until `deadline` at most, trying again every few milliseconds while another process holds the
  // lock; held() tells whether it was taken.
  FileLock(const std::filesystem::path& file, mode_t newFileMode, Clock::time_point deadline);
  ~FileLock();
  FileLock(const FileLock&) = delete;
  FileLock& operator=(const FileLock&) = delete;

  bool held() const noexcept { return descriptor_ >= 0; }

 private:
  class InProcess;
  // The in-process lock of a lock file; null when its directory cannot be found.
  static InProcess* inProcessLock(const std::filesystem::path& lockFile);

  InProcess* inProcess_ = nullptr;  // held while descriptor_ is open
  int descriptor_ = -1;
};

}  // namespace platform
