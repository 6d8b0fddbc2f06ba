#include "Platform/System/MountWatcher.hpp"

#include <fcntl.h>
#include <libmount/libmount.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <mutex>
#include <optional>
#include <set>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <tuple>

#include "Platform/Dispatch/DispatchQueue.hpp"

namespace platform {

namespace {

using MountKey = std::tuple<std::uint64_t, std::uint32_t, std::uint32_t, std::string_view, std::string_view>;

MountKey keyOf(const MountInfoEntry& entry) {
  return {entry.mountId, entry.major, entry.minor, entry.root, entry.mountPoint};
}

// The entries of `table` whose keys `others` lacks, in table order.
std::vector<MountInfoEntry> missingFrom(const MountInfo& table, const MountInfo& others) {
  std::set<MountKey> keys;
  for (const MountInfoEntry& entry : others.entries) keys.insert(keyOf(entry));
  std::vector<MountInfoEntry> missing;
  for (const MountInfoEntry& entry : table.entries) {
    if (!keys.contains(keyOf(entry))) missing.push_back(entry);
  }
  return missing;
}

// The table as it is now; throws when it cannot be read.
MountInfo currentTable() {
  std::optional<MountInfo> table = MountInfo::read(*TextSource::live());
  if (!table) throw std::system_error(errno, std::generic_category(), "read /proc/self/mountinfo");
  return std::move(*table);
}

// The name of the mount namespace this process is in now ("mnt:[4026531841]"), read into `buffer`; empty
// when it cannot be read. Reading the link is about twice as fast as a stat through it, which makes the
// namespace's file.
std::string_view currentMountNamespace(std::array<char, 64>& buffer) {
  const ssize_t length = ::readlink("/proc/self/ns/mnt", buffer.data(), buffer.size());
  return length > 0 ? std::string_view(buffer.data(), std::size_t(length)) : std::string_view();
}

}  // namespace

MountChanges diffMounts(const MountInfo& before, const MountInfo& after) {
  return {missingFrom(after, before), missingFrom(before, after)};
}

// What the watcher shares with the block it posts: the block calls nothing once the watcher has stopped.
struct MountWatcher::Handlers {
  Handler didMount;
  Handler didUnmount;
  std::atomic<bool> stopped = false;
  std::mutex mutex;
  // The counted mounts as the last block that ran found them, and as the watcher read them last.
  MountInfo told;
  MountInfo latest;
  bool queued = false;  // a block waits on the main queue

  // On the watcher's thread: keeps `table` as the latest and posts a block when it differs from the
  // mounts told of and none waits yet.
  static void take(const std::shared_ptr<Handlers>& handlers, MountInfo table) {
    {
      std::lock_guard lock(handlers->mutex);
      handlers->latest = std::move(table);
      if (handlers->queued || diffMounts(handlers->told, handlers->latest).empty()) return;
      handlers->queued = true;
    }
    DispatchQueue::main().async([handlers] { handlers->tell(); });
  }

  // On the main thread: tells of every change since the last block ran.
  void tell() {
    MountChanges changes;
    {
      std::lock_guard lock(mutex);
      changes = diffMounts(told, latest);
      told = latest;
      queued = false;
    }
    if (!changes.unmounted.empty() && !stopped) didUnmount(changes.unmounted);
    if (!changes.mounted.empty() && !stopped) didMount(changes.mounted);
  }
};

MountWatcher::MountWatcher(Filter counts, Handler didMount, Handler didUnmount)
    : monitor_(mnt_new_monitor(), mnt_unref_monitor),
      stop_(::eventfd(0, EFD_CLOEXEC), "eventfd"),
      counts_(std::move(counts)),
      handlers_(std::make_shared<Handlers>()) {
  if (!counts_ || !didMount || !didUnmount) throw std::invalid_argument("MountWatcher: empty function");
  handlers_->didMount = std::move(didMount);
  handlers_->didUnmount = std::move(didUnmount);
  // libmount's kernel monitor: its descriptor is readable when the kernel's mount table changed.
  if (!monitor_) throw std::system_error(ENOMEM, std::generic_category(), "mnt_new_monitor");
  if (const int error = mnt_monitor_enable_kernel(monitor_.get(), 1); error < 0) {
    throw std::system_error(-error, std::generic_category(), "mnt_monitor_enable_kernel");
  }
  if (const int fd = mnt_monitor_get_fd(monitor_.get()); fd < 0) {
    throw std::system_error(-fd, std::generic_category(), "mnt_monitor_get_fd");
  }
  handlers_->told = handlers_->latest = counted(currentTable());
  thread_ = std::thread([this] { watch(); });
}

MountWatcher::~MountWatcher() {
  handlers_->stopped = true;
  const std::uint64_t one = 1;
  // An eventfd write of 1 cannot fail short of a counter overflow, which a single stop never reaches.
  [[maybe_unused]] const ssize_t written = ::write(stop_.get(), &one, sizeof one);
  thread_.join();
}

void MountWatcher::watch() {
  const int monitor = mnt_monitor_get_fd(monitor_.get());
  std::array<pollfd, 2> descriptors{{{monitor, POLLIN, 0}, {stop_.get(), POLLIN, 0}}};
  for (;;) {
    if (::poll(descriptors.data(), descriptors.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (descriptors[1].revents != 0) return;
    if (descriptors[0].revents == 0) continue;
    // Take every change the monitor holds; one new table covers them all.
    bool changed = false;
    while (mnt_monitor_next_change(monitor_.get(), nullptr, nullptr) == 0) changed = true;
    if (!changed) continue;
    if (std::optional<MountInfo> next = MountInfo::read(*TextSource::live())) {
      Handlers::take(handlers_, counted(std::move(*next)));
    }
  }
}

MountInfo MountWatcher::counted(MountInfo table) const {
  std::erase_if(table.entries, [this](const MountInfoEntry& entry) { return !counts_(entry); });
  return table;
}

MountTableCheck::MountTableCheck() {
  // Without nsfs a namespace cannot be told, and the table opened is followed as it is.
  std::array<char, 64> buffer;
  open(currentMountNamespace(buffer));
}

MountTableCheck::~MountTableCheck() {
  if (fd_ >= 0) ::close(fd_);
}

void MountTableCheck::open(std::string_view nameSpace) {
  if (fd_ >= 0) ::close(fd_);
  // The namespace is taken before the table is opened: a move in between opens the table again next time.
  namespace_ = nameSpace;
  fd_ = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
}

bool MountTableCheck::changed() {
  std::array<char, 64> buffer;
  if (const std::string_view nameSpace = currentMountNamespace(buffer);
      !nameSpace.empty() && nameSpace != namespace_) {
    open(nameSpace);
    return true;
  }
  if (fd_ < 0) return true;
  // The file is always readable; a change since the last poll adds POLLPRI (and POLLERR) once.
  pollfd descriptor{fd_, POLLPRI, 0};
  // A failed poll counts as a change, so that the caller reads the table rather than miss one.
  return ::poll(&descriptor, 1, 0) != 0;
}

}  // namespace platform
