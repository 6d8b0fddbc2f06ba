#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "Platform/Dispatch/FileDescriptor.hpp"

namespace platform {

class DispatchQueue;

// Calls a handler on a queue whenever one of the chosen events happens to one file or directory. Built on
// inotify: the source holds an inotify descriptor, never a descriptor of the path itself, so a watched
// mount can always be unmounted.
//
// Calls run one at a time, and at most one is waiting: events that arrive while a call is posted or running
// merge into the next call. A call starts at once after a quiet spell, and at least 100 ms after the start
// of the previous one, so a burst of events is a few calls a second, never a backlog, and its last event
// reaches the handler soon after the burst. The handler reads the kinds of event it is called for, OR-ed,
// from data().
//
// Events map to inotify as: deleted = IN_DELETE_SELF; written = IN_MODIFY, IN_CREATE, IN_DELETE,
// IN_MOVED_FROM, IN_MOVED_TO; extended = IN_MODIFY; attributes and link count = IN_ATTRIB; renamed =
// IN_MOVE_SELF; revoked = IN_UNMOUNT (the file system went away); unlocked has no inotify event.
class FileSystemObjectSource {
 public:
  enum Event : std::uint32_t {
    deleted = 0x1,
    written = 0x2,
    extended = 0x4,
    attributesChanged = 0x8,
    linkCountChanged = 0x10,
    renamed = 0x20,
    revoked = 0x40,
    unlocked = 0x80,
    allEvents = 0xFF,
  };

  // A source for path that delivers the events in `events` to `target`, which must outlive the source.
  // When the path cannot be watched (missing, no permission, out of watches) the source is inert: its
  // descriptor is -1 and it never calls its handler.
  FileSystemObjectSource(const std::filesystem::path& path, std::uint32_t events, DispatchQueue& target);
  // Cancels.
  ~FileSystemObjectSource();
  FileSystemObjectSource(const FileSystemObjectSource&) = delete;
  FileSystemObjectSource& operator=(const FileSystemObjectSource&) = delete;

  // The inotify descriptor, or -1 for an inert or cancelled source.
  int fileDescriptor() const noexcept { return fd_; }
  // In a handler call, the Event values of the events merged into it, OR-ed (only those chosen at
  // creation); elsewhere, those of the latest call, or 0.
  std::uint32_t data() const noexcept;

  // Sets the handler; call it before resume(). Throws std::invalid_argument for an empty handler and
  // std::logic_error once the source has been resumed.
  void setEventHandler(std::function<void()> handler);
  // Starts delivering; calling it again does nothing. Throws std::system_error when the reading thread
  // cannot start.
  void resume();
  // Stops delivering and closes the descriptor. It waits for a handler call that is running, so once it
  // returns no handler runs or starts (one posted to the queue but not started is dropped). Called from the
  // handler, it does not wait for that call. Calling it again does nothing; call it from one thread at a
  // time.
  void cancel() noexcept;

 private:
  struct Delivery;

  void watch();

  int fd_ = -1;
  const std::uint32_t events_;
  std::shared_ptr<Delivery> delivery_;
  std::thread thread_;
};

}  // namespace platform
