#include "Bexlan/DirectoryObserver.hpp"

#include <stdexcept>

#include "Platform/Dispatch/DispatchQueue.hpp"

namespace Bexlan {

DirectoryObserver::DirectoryObserver(const std::filesystem::path& url, std::function<void()> handler)
    : source_(std::make_unique<platform::FileSystemObjectSource>(
          url, platform::FileSystemObjectSource::allEvents, platform::DispatchQueue::global())),
      fileDescriptor_(source_->fileDescriptor()) {
  if (!handler) throw std::invalid_argument("DirectoryObserver: empty handler");
  source_->setEventHandler(std::move(handler));
  source_->resume();
}

}  // namespace Bexlan
