#include "Platform/Dispatch/FileSystemObjectSource.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <cstring>
#include <stdexcept>
#include <system_error>

#include "Platform/Dispatch/CallGate.hpp"
#include "Platform/Dispatch/DispatchQueue.hpp"

namespace platform {

// What the posted calls share with the source: the handler, and the gate that cancelling closes.
struct FileSystemObjectSource::Delivery {
  std::function<void()> handler;
  CallGate gate;
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

// Reads every queued event; true when one of them is in `wanted` or events were lost.
bool drainEvents(int fd, std::uint32_t wanted) {
  alignas(inotify_event) std::array<char, 4096> buffer;
  bool matched = false;
  for (;;) {
    const ssize_t count = ::read(fd, buffer.data(), buffer.size());
    if (count < 0 && errno == EINTR) continue;
    if (count <= 0) return matched;
    std::size_t offset = 0;
    const auto size = static_cast<std::size_t>(count);
    while (offset <= size && size - offset >= sizeof(inotify_event)) {
      inotify_event event;
      std::memcpy(&event, buffer.data() + offset, sizeof event);
      matched = matched || (event.mask & (wanted | IN_Q_OVERFLOW)) != 0;
      offset += sizeof event + event.len;
    }
  }
}

}  // namespace

FileSystemObjectSource::FileSystemObjectSource(const std::filesystem::path& path, std::uint32_t events,
                                               DispatchQueue& target)
    : inotifyMask_(inotifyMaskOf(events)), target_(target), delivery_(std::make_shared<Delivery>()) {
  fd_ = ::inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
  if (fd_ < 0) return;
  // The kernel reports an unmount whatever the mask; asking for it keeps a mask with no inotify event
  // (unlocked alone) valid.
  if (::inotify_add_watch(fd_, path.c_str(), inotifyMask_ | IN_UNMOUNT) < 0) {
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
  stopFd_ = ::eventfd(0, EFD_CLOEXEC);
  if (stopFd_ < 0) throw std::system_error(errno, std::generic_category(), "eventfd");
  thread_ = std::thread([this] { watch(); });
}

void FileSystemObjectSource::cancel() noexcept {
  delivery_->gate.close();
  if (thread_.joinable()) {
    const std::uint64_t one = 1;
    // An eventfd write of 1 fails only on counter overflow, which one stop never reaches.
    [[maybe_unused]] const ssize_t count = ::write(stopFd_, &one, sizeof one);
    thread_.join();
  }
  if (stopFd_ >= 0) ::close(stopFd_);
  if (fd_ >= 0) ::close(fd_);
  stopFd_ = fd_ = -1;
}

void FileSystemObjectSource::watch() {
  std::array<pollfd, 2> descriptors{{{fd_, POLLIN, 0}, {stopFd_, POLLIN, 0}}};
  for (;;) {
    if (::poll(descriptors.data(), descriptors.size(), -1) < 0) {
      if (errno == EINTR) continue;
      return;
    }
    if (descriptors[1].revents != 0) return;
    if (descriptors[0].revents == 0 || !drainEvents(fd_, inotifyMask_)) continue;
    target_.async([delivery = delivery_] { delivery->gate.run(delivery->handler); });
  }
}

}  // namespace platform
