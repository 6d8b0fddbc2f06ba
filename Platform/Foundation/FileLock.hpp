#pragma once

#include <sys/stat.h>
#include <sys/types.h>

#include <chrono>
#include <filesystem>
#include <string>

namespace platform {

// The exclusive right to replace a file, shared by every process and every thread that writes it: a write
// lock (fcntl F_SETLK) on a lock file beside it, ".<file name>.lock", which is never replaced or removed,
// held while the object lives.
//
// The lock belongs to this process, not to the open file: a child forked while it is held does not hold it
// (a flock or open-file-description lock would stay with the child's copy of the descriptor until the child
// exits or execs). Such a lock does not keep out other threads of the same process, and closing any
// descriptor of the lock file drops it; so a mutex per lock file keeps every other thread of this process
// away meanwhile, and a descriptor of the file is closed only by the thread that holds its mutex, or once
// no thread does. The mutex belongs to the lock file actually opened (its device and inode), not to the text
// of its path: every spelling of the directory (a symbolic link, "dir/./", another mount of it) takes the
// same one. Once the record lock is taken, the path must still name that file, else it is taken again: a
// directory renamed away and made anew meanwhile holds another lock file. The holder works in the directory
// it locked (directory()), so two threads never write one file at once however its directory is replaced.
//
// The lock file is opened for reading and writing (a write lock needs that, over NFS too) and never through
// a symbolic link. Its owner may always read and write it; its group and other bits are the guarded file's,
// so whoever may change the file may take its lock: a new lock file gets them, and one this user owns gets
// them again once they differ, even when an earlier mode shut the owner out. A mode is changed only through
// a descriptor of the file opened without following a symbolic link, never by path (in a shared directory
// another user may swap the name between a look and a change), and only on a regular file of this user's
// with no other name. Without a guarded file, `newFileMode` stands for its bits, as it will be made.
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
  // While held: a descriptor (O_PATH) of the directory that holds the lock file and the guarded file.
  int directory() const noexcept { return directory_; }
  // Whether the lock file's path still names the file locked: false once its directory was replaced.
  bool stillNamed() const noexcept;

  // The name of the lock file of the file named `fileName`.
  static std::string lockFileName(const std::string& fileName) { return "." + fileName + ".lock"; }

 private:
  class InProcess;
  static InProcess& inProcessLock(const struct stat& lockFile);
  // Takes the lock of the file the path names now: true when done (held, or not to be had), false when the
  // path named another file by the time it was taken, to be tried again.
  bool lockOnce(mode_t newFileMode, Clock::time_point deadline);
  void release() noexcept;

  std::filesystem::path file_;
  std::filesystem::path lockFile_;
  InProcess* inProcess_ = nullptr;  // held while descriptor_ is open
  int directory_ = -1;
  int descriptor_ = -1;
};

}  // namespace platform
