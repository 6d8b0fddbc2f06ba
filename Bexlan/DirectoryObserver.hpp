#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>

#include "Platform/Dispatch/FileSystemObjectSource.hpp"

namespace Bexlan {

// Calls a handler whenever anything happens to one file or directory: a write (a file made, changed or
// removed inside a directory), a rename, a deletion, an attribute change, an unmount. The handler runs on
// the global standard queue, never on the caller's thread, and may run again before an earlier call has
// returned. It works until it is destroyed; destruction waits for running handler calls (except the one
// that destroys it), so afterwards no handler runs or starts.
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
