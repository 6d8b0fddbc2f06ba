#pragma once

#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>

#include "Orvane/NetworkMonitorDelegate.hpp"
#include "Platform/System/NetworkPathSource.hpp"

namespace Orvane {

// Tells its delegate when the network path changes: an interface other than loopback comes up or goes
// down, its addresses change, or a default route comes or goes. Only the fact is passed on.
//
// `start` opens the kernel's routing messages on the calling thread, so it watches that thread's network
// namespace, and starts one watcher thread. Reports arriving in a burst are taken together (the burst ends
// after 100 ms without a report, or after a second); the path is then read and, when it differs from the
// one last told, the delegate is told on the global background queue. It is also told once after `start`,
// for the path as it is. While running, the monitor keeps itself alive, even when its owner lets go; only
// `stop` ends that. Own it through a shared_ptr.
class NetworkMonitor : public std::enable_shared_from_this<NetworkMonitor> {
 public:
  using SourceOpener = std::function<std::unique_ptr<platform::NetworkPathSource>()>;

  // Watches the kernel (NetworkPathSource::openNetlink).
  NetworkMonitor();
  // Watches what `open` gives (tests); a null source leaves the monitor idle.
  explicit NetworkMonitor(SourceOpener open);
  virtual ~NetworkMonitor();
  NetworkMonitor(const NetworkMonitor&) = delete;
  NetworkMonitor& operator=(const NetworkMonitor&) = delete;

  // Stops a running watcher first, then starts a new one. Throws std::bad_weak_ptr when the monitor is not
  // owned by a shared_ptr.
  void start();
  // Ends the watcher and waits for it, and for any that another thread is stopping: once it returns, no
  // networkChanged call runs or starts, except calls that are themselves stopping or starting the monitor.
  // Called from inside networkChanged, it ends the watcher but does not wait for other threads' stops (they
  // may be waiting for this very call). Does nothing when idle. Safe from any thread.
  void stop();

  // The delegate, held weakly; a delegate that has gone away is not told.
  std::shared_ptr<NetworkMonitorDelegate> delegate() const;
  void setDelegate(const std::shared_ptr<NetworkMonitorDelegate>& delegate);

 private:
  struct Watcher;

  void watch(Watcher& watcher);
  void tell(const Watcher& watcher) const;
  void finish(std::unique_ptr<Watcher> watcher);

  const SourceOpener open_;
  mutable std::mutex mutex_;
  std::condition_variable finished_;
  std::weak_ptr<NetworkMonitorDelegate> delegate_;
  std::unique_ptr<Watcher> watcher_;
  int finishing_ = 0;  // watchers taken out of watcher_ and not yet joined and closed
};

}  // namespace Orvane
