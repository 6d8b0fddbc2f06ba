#pragma once

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/types.h>

#include <condition_variable>
#include <cstdint>
#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <optional>
#include <string>

namespace platform {

class FileLock;

// A suite of user settings: one JSON object in a file named after the suite, which several processes may
// share. The file is read at first use and again whenever another writer has replaced it since. Every change
// writes the file anew while holding the suite's FileLock: the file as it is now, with this process's own
// changes since its last write (keys set and keys removed) applied on top, goes to a temporary file in the
// same directory, synced, then renamed over the old one; temporaries of the suite left by killed writers go
// first. So two processes writing one suite keep both's changes, and a crash at any moment leaves either the
// old file or the new one. A write works in the folder whose lock it took: one moved away meanwhile keeps
// what was written there, and the lock is taken again when the path names another before the changes go out
// (so changes made after a user moved the folder away go to the new one). A new file is private (0600); a
// replaced one keeps its permission bits, and the lock file takes its group and other bits, so whoever may
// change the file may take its lock.
//
// A read never waits for the lock: it takes the suite's mutex, which a write holds only for steps in memory,
// and lets it go while it reads the file. A write waits about 2 s at most for the lock, then gives up. A file
// that is missing, not a JSON object or nested deeper than a few hundred levels reads as empty and is
// replaced at the next change; one that cannot be read (a directory, device or socket in its place, a FIFO
// that gives nothing whole within readWholeFile's bound, a file past its size bound, no permission, an I/O
// error, no memory) reads as the values this process holds and is not replaced. A change that cannot be
// written stays and goes to disk with the next one that can. No call throws: where memory runs out, a
// lookup gives null, a set false, a read the values held. Safe from any thread.
class Defaults {
 public:
  // The suite `name` in the user's settings directory ($XDG_CONFIG_HOME, else ~/.config), one shared object
  // per file in the process however the directory is spelled: it is the one the system resolves. Null when
  // the name is not a plain file name (empty, ".", "..", or holding "/" or a zero byte), the names of the
  // suite's file, lock file or temporaries would pass the file-name limit, or there is no settings directory.
  static std::shared_ptr<Defaults> suite(const std::string& name);
  // The same in `directory`.
  static std::shared_ptr<Defaults> suite(const std::string& name, const std::filesystem::path& directory);

  // false when missing; a number reads as whether it is not 0.
  bool boolForKey(const std::string& key) const;
  // 0 when missing or not a number; true and false read as 1 and 0.
  double doubleForKey(const std::string& key) const;

  // Store the value and write the file; false when the file cannot be read or written or its lock is not
  // had within about 2 s (the value stays set in memory and goes to disk with the next change that can be
  // written). A double that is not finite is stored as absent (JSON has no such number). A key that is not
  // valid UTF-8 is refused: false, and nothing kept (JSON cannot hold it as itself).
  bool set(const std::string& key, bool value);
  bool set(const std::string& key, double value);

  const std::filesystem::path& path() const noexcept { return path_; }

  explicit Defaults(std::filesystem::path path);  // use suite(); reads nothing until first used

 private:
  // What tells one version of the file from another: every write replaces the file, so a new file
  // (device and inode) or new times and size mean another writer has been there. All zero: no file.
  struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    off_t size = 0;
    long long modifiedNanoseconds = 0;
    long long changedNanoseconds = 0;
    bool operator==(const FileIdentity&) const = default;
  };
  // The object stored in the file, and which file it came from.
  struct Stored {
    nlohmann::json values;
    FileIdentity identity;
  };
  // A value set, or none for a key removed.
  using Change = std::optional<nlohmann::json>;
  using Changes = std::map<std::string, Change>;

  static FileIdentity identityOf(const struct stat& status);
  static FileIdentity identityOf(const std::filesystem::path& path, int directory = AT_FDCWD);
  // suite(), less its guard against running out of memory.
  static std::shared_ptr<Defaults> openSuite(const std::string& name, const std::filesystem::path& directory);
  // None when the file cannot be read, or is too large to hold.
  static std::optional<Stored> readStored(const std::filesystem::path& path,
                                          int directory = AT_FDCWD) noexcept;
  static void apply(nlohmann::json& values, const Changes& changes);
  // Takes `values` as the file's, with this process's unwritten changes on top; without the memory for that,
  // keeps the values held and leaves the file to be read again. The caller holds mutex_.
  void install(nlohmann::json values, const FileIdentity& identity) const noexcept;
  // The caller holds mutex_ through `lock`: reloads when the file is not the one read last.
  void refresh(std::unique_lock<std::mutex>& lock) const;
  bool change(const std::string& key, Change value);
  bool write();
  // Writes under `lock`; none when the lock's folder was replaced meanwhile, to be written again.
  std::optional<bool> writeLocked(const FileLock& lock);

  const std::filesystem::path path_;
  mutable std::mutex mutex_;  // guards the members below
  mutable nlohmann::json values_;
  mutable std::optional<FileIdentity> read_;  // of the file values_ came from; none before the first read
  Changes changes_;                           // made in this process and not yet written
  mutable bool reading_ = false;              // a thread is reading the file for refresh
  mutable std::condition_variable readDone_;  // signalled when it is done
  mutable std::uint64_t installed_ = 0;       // counts the values installed, to tell a newer install
};

}  // namespace platform
