#include "Orvane/NetworkMonitor.hpp"

#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

#include <array>
#include <cerrno>
#include <chrono>
#include <thread>
#include <utility>

#include "Platform/Dispatch/CallGate.hpp"
#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/Dispatch/FileDescriptor.hpp"

namespace Orvane {

namespace {

using Clock = std::chrono::steady_clock;
constexpr std::chrono::milliseconds quietAfterBurst(100);
constexpr std::chrono::seconds longestBurst(1);

enum class Wake { changes, stopped, quiet };

// The monitor whose networkChanged the calling thread is running, if any.
thread_local const NetworkMonitor* tellingHere = nullptr;

// Waits for a change report or the stop signal, at most `timeout` (forever when negative).
Wake waitForWake(std::array<pollfd, 2>& descriptors, std::chrono::milliseconds timeout) {
  for (;;) {
    const int ready = ::poll(descriptors.data(), descriptors.size(), static_cast<int>(timeout.count()));
    if (ready < 0 && errno == EINTR) continue;
    if (ready < 0 || descriptors[1].revents != 0) return Wake::stopped;
    return ready == 0 ? Wake::quiet : Wake::changes;
  }
}

}  // namespace

// A running watcher: what it reads, how it is stopped, the gate its posted calls pass, and the hold on the
// monitor that keeps it alive while running.
struct NetworkMonitor::Watcher {
  Watcher(std::unique_ptr<platform::NetworkPathSource> pathSource, std::shared_ptr<NetworkMonitor> monitor)
      : source(std::move(pathSource)), owner(std::move(monitor)) {}

  std::unique_ptr<platform::NetworkPathSource> source;
  platform::FileDescriptor stop{::eventfd(0, EFD_CLOEXEC), "eventfd"};
  std::shared_ptr<platform::CallGate> gate = std::make_shared<platform::CallGate>();
  std::shared_ptr<NetworkMonitor> owner;
  std::thread thread;
};

NetworkMonitor::NetworkMonitor() : NetworkMonitor(&platform::NetworkPathSource::openNetlink) {}

NetworkMonitor::NetworkMonitor(SourceOpener open) : open_(std::move(open)) {}

NetworkMonitor::~NetworkMonitor() { stop(); }

void NetworkMonitor::start() {
  std::shared_ptr<NetworkMonitor> self = shared_from_this();
  stop();
  std::unique_ptr<platform::NetworkPathSource> source = open_ ? open_() : nullptr;
  if (!source) return;
  auto watcher = std::make_unique<Watcher>(std::move(source), self);
  std::unique_ptr<Watcher> raced;  // one that another thread's start installed meanwhile
  {
    // Started as it is installed: its calls, which take this lock, find it installed. So a call can stop
    // only a watcher started no earlier than its own, and calls that stop watchers never wait in a circle.
    std::lock_guard lock(mutex_);
    watcher->thread = std::thread([this, running = watcher.get()] { watch(*running); });
    raced = std::exchange(watcher_, std::move(watcher));
    if (raced) ++finishing_;
  }
  if (raced) finish(std::move(raced));
}

void NetworkMonitor::stop() {
  std::unique_ptr<Watcher> running;
  {
    std::lock_guard lock(mutex_);
    running = std::move(watcher_);
    if (running) ++finishing_;
  }
  // Finishing lets go of the watcher's hold on the monitor; this one keeps it alive to the end of stop.
  const std::shared_ptr<NetworkMonitor> self = running ? running->owner : nullptr;
  if (running) finish(std::move(running));
  if (tellingHere == this) return;
  std::unique_lock lock(mutex_);
  finished_.wait(lock, [this] { return finishing_ == 0; });
}

// Stops and joins the watcher's thread and closes its gate; the caller holds the monitor.
void NetworkMonitor::finish(std::unique_ptr<Watcher> watcher) {
  const std::uint64_t one = 1;
  // An eventfd write of 1 fails only on counter overflow, which one stop never reaches.
  [[maybe_unused]] const ssize_t count = ::write(watcher->stop.get(), &one, sizeof one);
  watcher->thread.join();
  watcher->gate->close();
  watcher.reset();  // its source and its hold on the monitor go before any stop returns
  {
    std::lock_guard lock(mutex_);
    --finishing_;
  }
  finished_.notify_all();
}

std::shared_ptr<NetworkMonitorDelegate> NetworkMonitor::delegate() const {
  std::lock_guard lock(mutex_);
  return delegate_.lock();
}

void NetworkMonitor::setDelegate(const std::shared_ptr<NetworkMonitorDelegate>& delegate) {
  std::lock_guard lock(mutex_);
  delegate_ = delegate;
}

void NetworkMonitor::watch(Watcher& watcher) {
  std::optional<platform::NetworkPath> told = watcher.source->readPath();
  tell(watcher);
  std::array<pollfd, 2> descriptors{
      {{watcher.source->changeDescriptor(), POLLIN, 0}, {watcher.stop.get(), POLLIN, 0}}};
  while (waitForWake(descriptors, std::chrono::milliseconds(-1)) == Wake::changes) {
    const Clock::time_point burstEnd = Clock::now() + longestBurst;
    Wake wake = Wake::changes;
    while (wake == Wake::changes && Clock::now() < burstEnd) {
      watcher.source->drainChanges();
      wake = waitForWake(descriptors, quietAfterBurst);
    }
    if (wake == Wake::stopped) return;
    std::optional<platform::NetworkPath> path = watcher.source->readPath();
    if (path && path != told) {
      told = std::move(path);
      tell(watcher);
    }
  }
}

void NetworkMonitor::tell(const Watcher& watcher) const {
  platform::DispatchQueue::global(platform::QualityOfService::background)
      .async([monitor = watcher.owner, gate = watcher.gate] {
        gate->run([&] {
          const NetworkMonitor* const outer = std::exchange(tellingHere, monitor.get());
          if (const std::shared_ptr<NetworkMonitorDelegate> delegate = monitor->delegate())
            delegate->networkChanged();
          tellingHere = outer;
        });
      });
}

}  // namespace Orvane
