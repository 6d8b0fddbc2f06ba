#include "Platform/Dispatch/RunLoop.hpp"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
#include <iterator>
#include <stdexcept>
#include <system_error>

#include "Platform/Dispatch/AsyncBlock.hpp"
#include "Platform/Dispatch/Deadline.hpp"
#include "Platform/Dispatch/MainThread.hpp"
#include "Platform/Foundation/FatalError.hpp"

namespace platform {

namespace {

// epoll data of the loop's own descriptors; source ids start above them.
constexpr std::uint64_t wakeTag = 0;
constexpr std::uint64_t timerTag = 1;
constexpr RunLoop::SourceId firstSourceId = 2;

void watch(int poll, int fd, std::uint64_t tag) {
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.u64 = tag;
  if (epoll_ctl(poll, EPOLL_CTL_ADD, fd, &event) != 0) {
    throw std::system_error(errno, std::generic_category(), "RunLoop: epoll_ctl");
  }
}

// Resets an eventfd or timerfd that epoll reported readable.
void consumeCounter(int fd) {
  std::uint64_t counter = 0;
  [[maybe_unused]] const ssize_t got = ::read(fd, &counter, sizeof counter);
}

}  // namespace

RunLoop& RunLoop::main() {
  // Leaked on purpose: other threads may perform on the main loop until the very end of the process.
  static RunLoop* const loop = new RunLoop(0);
  return *loop;
}

RunLoop& RunLoop::current() {
  thread_local std::unique_ptr<RunLoop> own;
  thread_local RunLoop* loop = nullptr;
  if (loop == nullptr) {
    if (isMainThread()) {
      loop = &main();
    } else {
      own.reset(new RunLoop(gettid()));
      loop = own.get();
    }
  }
  return *loop;
}

RunLoop::RunLoop(pid_t owner)
    : owner_(owner),
      wakeFd_(eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC), "RunLoop: eventfd"),
      timerFd_(timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC), "RunLoop: timerfd_create"),
      poll_(epoll_create1(EPOLL_CLOEXEC), "RunLoop: epoll_create1"),
      nextSourceId_(firstSourceId) {
  watch(poll_.get(), wakeFd_.get(), wakeTag);
  watch(poll_.get(), timerFd_.get(), timerTag);
}

RunLoop::~RunLoop() {
  std::vector<std::shared_ptr<Timer>> timers;
  {
    std::lock_guard lock(mutex_);
    timers.swap(timers_);
  }
  for (const auto& timer : timers) {
    timer->invalidate();
  }
}

void RunLoop::add(std::shared_ptr<Timer> timer, Mode /*mode*/) {
  if (!timer) {
    throw std::invalid_argument("RunLoop::add: the timer is null");
  }
  {
    std::lock_guard lock(mutex_);
    if (std::find(timers_.begin(), timers_.end(), timer) != timers_.end() ||
        !timer->attach(this, Clock::now())) {
      return;
    }
    timers_.push_back(std::move(timer));
  }
  wake();  // a sleeping loop must re-arm for the new fire date
}

void RunLoop::perform(std::function<void()> block) {
  if (!block) {
    throw std::invalid_argument("RunLoop::perform: the block is empty");
  }
  bool first = false;
  {
    std::lock_guard lock(mutex_);
    first = performs_.empty();
    performs_.push_back(std::move(block));
  }
  if (first) {
    wake();
  }
}

RunLoop::SourceId RunLoop::addReadSource(int fd, std::function<void()> onReadable, Mode /*mode*/) {
  if (!onReadable) {
    throw std::invalid_argument("RunLoop::addReadSource: the callback is empty");
  }
  std::lock_guard lock(mutex_);
  // One source per descriptor; this also catches a descriptor closed and reopened without its source having
  // been removed, whose stale removal would otherwise unwatch the new one.
  if (std::any_of(sources_.begin(), sources_.end(),
                  [fd](const auto& entry) { return entry.second.fd == fd; })) {
    throw std::system_error(EEXIST, std::generic_category(), "RunLoop::addReadSource: already watched");
  }
  epoll_event event{};
  event.events = EPOLLIN;
  event.data.u64 = nextSourceId_;
  if (epoll_ctl(poll_.get(), EPOLL_CTL_ADD, fd, &event) != 0) {
    throw std::system_error(errno, std::generic_category(), "RunLoop::addReadSource");
  }
  sources_.emplace(nextSourceId_,
                   Source{fd, std::make_shared<const std::function<void()>>(std::move(onReadable))});
  return nextSourceId_++;
}

void RunLoop::removeSource(SourceId id) {
  std::shared_ptr<const std::function<void()>> released;
  std::lock_guard lock(mutex_);
  const auto found = sources_.find(id);
  if (found == sources_.end()) {
    return;
  }
  epoll_ctl(poll_.get(), EPOLL_CTL_DEL, found->second.fd, nullptr);
  released = std::move(found->second.onReadable);
  sources_.erase(found);
}

void RunLoop::runOnce(Duration maxWait) {
  requireRunnable();
  const std::vector<SourceId> ready = waitForWork(maxWait);
  std::vector<std::function<void()>> performed;
  {
    std::lock_guard lock(mutex_);
    performed.swap(performs_);
  }
  fireDueTimers();
  for (auto& block : performed) {
    runAsyncBlock(block, "a block performed on a run loop");
    block = nullptr;  // release its captures now, not after the whole batch
  }
  callSources(ready);
}

void RunLoop::runFor(Duration duration) {
  const auto deadline = deadlineAfter(duration);
  while (!takeStopRequest()) {
    const auto left = deadline - Clock::now();
    if (left <= Duration::zero()) {
      return;
    }
    runOnce(std::chrono::duration_cast<Duration>(left));
  }
}

bool RunLoop::runUntil(const std::function<bool()>& predicate, Duration timeout) {
  const auto deadline = deadlineAfter(timeout);
  for (;;) {
    if (predicate()) {
      return true;
    }
    const auto left = deadline - Clock::now();
    if (takeStopRequest() || left <= Duration::zero()) {
      return false;
    }
    runOnce(std::chrono::duration_cast<Duration>(left));
  }
}

void RunLoop::run() {
  while (!takeStopRequest()) {
    runOnce(Duration::max());
  }
}

void RunLoop::stop() {
  stopRequested_.store(true);
  wake();
}

void RunLoop::requireRunnable() const {
  if (owner_ == 0 ? !isMainThread() : gettid() != owner_) {
    fatalError("a run loop can only be run by the thread it belongs to");
  }
}

std::vector<RunLoop::SourceId> RunLoop::waitForWork(Duration maxWait) {
  const auto now = Clock::now();
  const auto until = wakeTime(now, maxWait);
  int timeout = 0;
  if (until > now) {
    itimerspec arm{};  // all zero disarms: nothing to wake for but a wake-up or a source
    if (until != Clock::time_point::max()) {
      const auto since = std::chrono::duration_cast<std::chrono::nanoseconds>(until.time_since_epoch());
      arm.it_value.tv_sec = static_cast<time_t>(since.count() / 1'000'000'000);
      arm.it_value.tv_nsec = static_cast<long>(since.count() % 1'000'000'000);
    }
    if (timerfd_settime(timerFd_.get(), TFD_TIMER_ABSTIME, &arm, nullptr) != 0) {
      throw std::system_error(errno, std::generic_category(), "RunLoop: timerfd_settime");
    }
    timeout = -1;
  }
  std::array<epoll_event, 32> events{};
  const int count = epoll_wait(poll_.get(), events.data(), static_cast<int>(events.size()), timeout);
  if (count < 0) {
    if (errno == EINTR) {
      return {};
    }
    throw std::system_error(errno, std::generic_category(), "RunLoop: epoll_wait");
  }
  std::vector<SourceId> ready;
  for (int i = 0; i < count; ++i) {
    const std::uint64_t tag = events[static_cast<std::size_t>(i)].data.u64;
    if (tag == wakeTag) {
      consumeCounter(wakeFd_.get());
    } else if (tag == timerTag) {
      consumeCounter(timerFd_.get());
    } else {
      ready.push_back(tag);
    }
  }
  return ready;
}

RunLoop::Clock::time_point RunLoop::wakeTime(Clock::time_point now, Duration maxWait) {
  auto until = deadlineAfter(maxWait, now);
  std::lock_guard lock(mutex_);
  std::erase_if(timers_, [](const auto& timer) { return !timer->isValid(); });
  if (!performs_.empty()) {
    return now;
  }
  for (const auto& timer : timers_) {
    until = std::min(until, timer->fireDate());
  }
  return until;
}

void RunLoop::fireDueTimers() {
  const auto now = Clock::now();
  std::vector<std::shared_ptr<Timer>> due;
  {
    std::lock_guard lock(mutex_);
    std::copy_if(timers_.begin(), timers_.end(), std::back_inserter(due),
                 [now](const auto& timer) { return timer->isValid() && timer->fireDate() <= now; });
  }
  std::stable_sort(due.begin(), due.end(),
                   [](const auto& a, const auto& b) { return a->fireDate() < b->fireDate(); });
  // Each timer is held here while its action runs, so the action may invalidate or replace it.
  for (const auto& timer : due) {
    runAsyncBlock([&] { timer->fireOnSchedule(); }, "the action of a timer");
  }
}

void RunLoop::callSources(const std::vector<SourceId>& ready) {
  for (const SourceId id : ready) {
    std::shared_ptr<const std::function<void()>> onReadable;
    {
      std::lock_guard lock(mutex_);
      const auto found = sources_.find(id);
      if (found == sources_.end()) {
        continue;  // removed by an earlier callback of this pass
      }
      onReadable = found->second.onReadable;
    }
    runAsyncBlock(*onReadable, "a read source of a run loop");
  }
}

void RunLoop::wake() noexcept {
  const std::uint64_t one = 1;
  [[maybe_unused]] const ssize_t put = ::write(wakeFd_.get(), &one, sizeof one);
}

}  // namespace platform
