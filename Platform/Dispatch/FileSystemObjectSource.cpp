#include "Platform/Dispatch/FileSystemObjectSource.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <mutex>
#include <stdexcept>
#include <system_error>
#include <utility>

#include "Platform/Dispatch/CallGate.hpp"
#include "Platform/Dispatch/DispatchQueue.hpp"

namespace platform {

// What the reading thread, the posted calls and the source share. At most one call is posted or running at
// a time; events that arrive meanwhile OR their kinds into `pending`. The reading thread posts the next call
// once the previous one has returned and `spacing` has passed since it started (at once after a quiet
// spell), so a burst of events is a few calls a second rather than one per wake-up.
struct FileSystemObjectSource::Delivery : std::enable_shared_from_this<Delivery> {
  using Clock = std::chrono::steady_clock;
  static constexpr Clock::duration spacing = std::chrono::milliseconds(100);

  explicit Delivery(DispatchQueue& queue) : target(queue) {}

  // Adds the kinds of a wake-up (0 for none) and posts a call if one is due.
  void add(std::uint32_t kinds) {
    {
      std::lock_guard lock(mutex);
      pending |= kinds;
      if (pending == 0 || scheduled || Clock::now() < lastStart + spacing) return;
      scheduled = true;
    }
    target.async([self = shared_from_this()] { self->gate.run([&] { self->deliver(); }); });
  }

  // How long the reading thread may sleep before a call is due: -1 (until woken) when none waits.
  int millisecondsToWait() {
    std::lock_guard lock(mutex);
    if (pending == 0 || scheduled) return -1;
    const Clock::time_point due = lastStart + spacing, now = Clock::now();
    return now >= due ? 0 : static_cast<int>(std::chrono::ceil<std::chrono::milliseconds>(due - now).count());
  }

  void deliver() {
    {
      std::lock_guard lock(mutex);
      current = std::exchange(pending, 0);
      lastStart = Clock::now();
    }
    handler();
    std::lock_guard lock(mutex);
    scheduled = false;
    // Events came during the call: the reading thread times the next one. Once cancelled, wakeFd may be
    // closed, and nothing is posted any more.
    if (pending != 0 && !cancelled) wake();
  }

  bool isCancelled() {
    std::lock_guard lock(mutex);
    return cancelled;
  }

  // Wakes the reading thread. An eventfd write of 1 fails only on counter overflow, never reached here.
  void wake() const {
    const std::uint64_t one = 1;
    [[maybe_unused]] const ssize_t count = ::write(wakeFd, &one, sizeof one);
  }

  std::function<void()> handler;
  DispatchQueue& target;
  CallGate gate;
  int wakeFd = -1;  // eventfd: a call returned with events waiting, or the source is cancelled
  std::mutex mutex;
  std::uint32_t pending = 0;  // kinds not yet handed to a call; it and the next three under mutex
  bool scheduled = false;     // a call is posted or running
  bool cancelled = false;
  Clock::time_point lastStart = Clock::time_point::min();
  std::atomic<std::uint32_t> current = 0;  // the kinds of the call that runs (or ran last)
};

namespace {

std::uint32_t inotifyMaskOf(std::uint32_t events) {
  std::uint32_t mask = 0;
  if (events & FileSystemObjectSource::deleted) mask |= IN_DELETE_SELF;
  if (events & FileSystemObjectSource::written)
    mask |= IN_MODIFY | IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO;
  if (events & FileSystemObjectSource::extended) mask |= IN_MODIFY;
  if (events & (FileSystemObjectSource::attributesChanged | FileSystemObjectSource::linkCountChanged)) {
    mask |= IN_ATTRIB;
  }
  if (events & FileSystemObjectSource::renamed) mask |= IN_MOVE_SELF;
  if (events & FileSystemObjectSource::revoked) mask |= IN_UNMOUNT;
  return mask;
}

// The kinds one inotify event stands for. inotify tells neither a growing write from another nor a link
// count change from another attribute change, so those give both kinds; lost events give every kind.
std::uint32_t kindsOf(std::uint32_t inotifyMask) {
  using Source = FileSystemObjectSource;
  if (inotifyMask & IN_Q_OVERFLOW) return Source::allEvents & ~Source::unlocked;
  std::uint32_t kinds = 0;
  if (inotifyMask & IN_DELETE_SELF) kinds |= Source::deleted;
  if (inotifyMask & IN_MODIFY) kinds |= Source::written | Source::extended;
  if (inotifyMask & (IN_CREATE | IN_DELETE | IN_MOVED_FROM | IN_MOVED_TO)) kinds |= Source::written;
  if (inotifyMask & IN_ATTRIB) kinds |= Source::attributesChanged | Source::linkCountChanged;
  if (inotifyMask & IN_MOVE_SELF) kinds |= Source::renamed;
  if (inotifyMask & IN_UNMOUNT) kinds |= Source::revoked;
  return kinds;
}

// Reads every queued event; the kinds they stand for, OR-ed.
std::uint32_t drainEvents(int fd) {
  alignas(inotify_event) std::array<char, 16384> buffer;
  std::uint32_t kinds = 0;
  for (;;) {
    const ssize_t count = ::read(fd, buffer.data(), buffer.size());
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return kinds;
    std::size_t offset = 0;
    const auto size = static_cast<std::size_t>(count);
    while (offset <= size && size - offset >= sizeof(inotify_event)) {
      inotify_event event;
      std::memcpy(&event, buffer.data() + offset, sizeof event);
      kinds |= kindsOf(event.mask);
      offset += sizeof event + event.len;
    }
  }
}

}  // namespace

FileSystemObjectSource::FileSystemObjectSource(const std::filesystem::path& path, std::uint32_t events,
                                               DispatchQueue& target)
    : events_(events), delivery_(std::make_shared<Delivery>(target)) {
  fd_ = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (fd_ < 0) return;
  // The kernel reports an unmount whatever the mask; asking for it keeps a mask with no inotify event
  // (unlocked alone) valid.
  if (::inotify_add_watch(fd_, path.c_str(), inotifyMaskOf(events) | IN_UNMOUNT) < 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

FileSystemObjectSource::~FileSystemObjectSource() { cancel(); }

void FileSystemObjectSource::setEventHandler(std::function<void()> handler) {
  if (!handler) throw std::invalid_argument("FileSystemObjectSource: empty event handler");
  if (thread_.joinable()) throw std::logic_error("FileSystemObjectSource: handler set after resume");
  delivery_->handler = std::move(handler);
}

void FileSystemObjectSource::resume() {
  if (fd_ < 0 || thread_.joinable() || !delivery_->handler) return;
  delivery_->wakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (delivery_->wakeFd < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
  thread_ = std::thread([this] { watch(); });
}

std::uint32_t FileSystemObjectSource::data() const noexcept { return delivery_->current; }

void FileSystemObjectSource::cancel() noexcept {
  Delivery& delivery = *delivery_;
  {
    std::lock_guard lock(delivery.mutex);
    delivery.cancelled = true;
  }
  delivery.gate.close();
  if (thread_.joinable()) {
    delivery.wake();
    thread_.join();
  }
  if (delivery.wakeFd >= 0) ::close(delivery.wakeFd);
  if (fd_ >= 0) ::close(fd_);
  delivery.wakeFd = fd_ = -1;
}

void FileSystemObjectSource::watch() {
  Delivery& delivery = *delivery_;
  std::array<pollfd, 2> descriptors{{{fd_, POLLIN, 0}, {delivery.wakeFd, POLLIN, 0}}};
  for (;;) {
    if (::poll(descriptors.data(), descriptors.size(), delivery.millisecondsToWait()) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (descriptors[1].revents != 0) {
      std::uint64_t count;
      [[maybe_unused]] const ssize_t size = ::read(delivery.wakeFd, &count, sizeof count);
      if (delivery.isCancelled()) return;
    }
    delivery.add(descriptors[0].revents != 0 ? drainEvents(fd_) & events_ : 0);
  }
}

}  // namespace platform
