#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "Platform/Dispatch/FileDescriptor.hpp"
#include "Platform/System/MountInfo.hpp"

struct libmnt_monitor;

namespace platform {

// What changed between two mount tables: the mounts that only the later table lists and those that only the
// earlier one lists, each in its table's order. A mount stays the same while its id, device, root and mount
// point do: a remount that changes only options is no change, and an id that the kernel gave again to a new
// mount is one removal and one addition.
struct MountChanges {
  std::vector<MountInfoEntry> mounted;
  std::vector<MountInfoEntry> unmounted;

  bool empty() const { return mounted.empty() && unmounted.empty(); }
};

MountChanges diffMounts(const MountInfo& before, const MountInfo& after);

// Follows the mount table of this process on a thread of its own. When the mounts that `counts` accepts
// changed, it posts a block to the main queue that calls `didUnmount` with the mounts unmounted since the
// last such block ran (when there are any) and then `didMount` with those mounted since (when there are
// any); a mount that came and went in between is neither. At most one such block waits on the main queue,
// so a program whose main loop never runs does not gather one per change. `counts` runs on the thread that
// makes the watcher and on the watcher's thread, the handlers on the main thread.
//
// Destroying the watcher stops and joins its thread; a block that is posted but has not started yet then
// calls nothing. Destroy it anywhere but inside `counts`.
class MountWatcher {
 public:
  using Filter = std::function<bool(const MountInfoEntry&)>;
  using Handler = std::function<void(const std::vector<MountInfoEntry>&)>;

  // Reads the table as it is now and starts watching for changes from it. Throws std::system_error when
  // the table cannot be followed or read or the thread cannot start, std::invalid_argument for an empty
  // function.
  MountWatcher(Filter counts, Handler didMount, Handler didUnmount);
  ~MountWatcher();
  MountWatcher(const MountWatcher&) = delete;
  MountWatcher& operator=(const MountWatcher&) = delete;

 private:
  struct Handlers;

  void watch();
  // The mounts of `table` that count.
  MountInfo counted(MountInfo table) const;

  std::unique_ptr<libmnt_monitor, void (*)(libmnt_monitor*)> monitor_;
  FileDescriptor stop_;
  Filter counts_;
  std::shared_ptr<Handlers> handlers_;
  std::thread thread_;
};

// Tells, with one readlink() and one poll() that does not wait and reads nothing, whether this process's
// mount table changed since the check was made or since it last said so: the kernel marks an open mountinfo
// file when the table changes after it was opened or last polled. An open file keeps showing the namespace it
// was opened in, so when the process has moved to another mount namespace (unshare, setns) since, the check
// opens the table of the new one and says yes. When the table cannot be opened, every answer is yes.
class MountTableCheck {
 public:
  MountTableCheck();
  ~MountTableCheck();
  MountTableCheck(const MountTableCheck&) = delete;
  MountTableCheck& operator=(const MountTableCheck&) = delete;

  bool changed();

 private:
  // Opens the table of the namespace the process is in now, which `nameSpace` names, closing the one open
  // before.
  void open(std::string_view nameSpace);

  int fd_ = -1;
  std::string namespace_;  // the name of the mount namespace whose table fd_ shows
};

}  // namespace platform
