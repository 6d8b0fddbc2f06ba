#pragma once

#include <memory>
#include <system_error>

#include "Draskel/Volume.hpp"

namespace Draskel {

// A listener of a volumes controller, held weakly by the controller's delegates. Each call names the thread
// it comes on: most come on the main thread, but eject starts and failures come on the eject's own thread,
// so a listener that touches the interface moves there itself.
class VolumesDelegate {
 public:
  virtual ~VolumesDelegate() = default;

  // The volume left the list: on the main queue after a refresh found its mount point gone, or on the
  // thread that handles an unmount notification (the main thread).
  virtual void volumeRemoved(const std::shared_ptr<Volume>& volume) = 0;
  // Unmounting the volume failed with `error` (a POSIX error); on the eject's thread.
  virtual void ejectFailed(const std::shared_ptr<Volume>& volume, const std::error_code& error) = 0;
  // A refresh found a new volume; on the refreshing thread, before the refresh reads any counter.
  virtual void volumeAdded(const std::shared_ptr<Volume>& volume) = 0;
  // An eject of the volume begins; on the eject's thread.
  virtual void ejectStarted(const std::shared_ptr<Volume>& volume) = 0;
  // A refresh finished; on the main queue, after the refresh has returned.
  virtual void volumesUpdated() = 0;
};

}  // namespace Draskel
