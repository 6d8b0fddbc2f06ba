#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "Platform/Dispatch/FileSystemObjectSource.hpp"

namespace Bexlan {

// Calls a handler whenever anything happens to one file or directory: a write (a file made, changed or
// removed inside a directory), a rename, a deletion, an attribute change, an unmount. The handler runs on
// the global standard queue, never on the caller's thread, one call at a time; events that arrive while a
// call is waiting or running merge into one next call, so a burst of changes is a few calls. In a call,
// source().data() gives the kinds of event it stands for (FileSystemObjectSource::Event values, OR-ed). It
// works until it is destroyed; destruction waits for a running handler call (unless that call destroys it),
// so afterwards no handler runs or starts.
class DirectoryObserver {
 public:
  // Watches `url` with every event. A path that cannot be watched gives an observer that never calls the
  // handler, with a fileDescriptor of -1. Throws std::invalid_argument for an empty handler.
  DirectoryObserver(const std::filesystem::path& url, std::function<void()> handler);
  ~DirectoryObserver() = default;  // cancels the source, which closes the descriptor
  DirectoryObserver(const DirectoryObserver&) = delete;
  DirectoryObserver& operator=(const DirectoryObserver&) = delete;

  // The descriptor the events arrive on (an inotify descriptor: nothing holds the path open), or -1.
  std::int32_t fileDescriptor() const noexcept { return fileDescriptor_; }
  const platform::FileSystemObjectSource& source() const noexcept { return *source_; }

 private:
  const std::unique_ptr<platform::FileSystemObjectSource> source_;
  const std::int32_t fileDescriptor_;
};

}  // namespace Bexlan
