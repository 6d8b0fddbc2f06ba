#include "Platform/Dispatch/RunLoop.hpp"

#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/timerfd.h>
#include <unistd.h>

#include <algorithm>
#include <array>
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

bool includes(RunLoop::Mode modes, RunLoop::Mode mode) {
  return (static_cast<std::uint8_t>(modes) & static_cast<std::uint8_t>(mode)) != 0;
}

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
      defaultPoll_(epoll_create1(EPOLL_CLOEXEC), "RunLoop: epoll_create1"),
      eventTrackingPoll_(epoll_create1(EPOLL_CLOEXEC), "RunLoop: epoll_create1"),
      nextSourceId_(firstSourceId) {
  for (const int poll : {defaultPoll_.get(), eventTrackingPoll_.get()}) {
    watch(poll, wakeFd_.get(), wakeTag);
    watch(poll, timerFd_.get(), timerTag);
  }
}

template <class Visit>
void RunLoop::forEachPoll(Mode modes, Visit visit) const {
  if (includes(modes, Mode::defaultMode)) {
    visit(defaultPoll_.get());
  }
  if (includes(modes, Mode::eventTracking)) {
    visit(eventTrackingPoll_.get());
  }
}

RunLoop::~RunLoop() {
  std::vector<ScheduledTimer> timers;
  {
    std::lock_guard lock(mutex_);
    timers.swap(timers_);
  }
  for (const auto& scheduled : timers) {
    scheduled.timer->invalidate();
  }
}

void RunLoop::add(std::shared_ptr<Timer> timer, Mode mode) {
  if (!timer) {
    throw std::invalid_argument("RunLoop::add: the timer is null");
  }
  {
    std::lock_guard lock(mutex_);
    const auto known = std::find_if(timers_.begin(), timers_.end(), [&](const ScheduledTimer& scheduled) {
      return scheduled.timer == timer;
    });
    if (known != timers_.end()) {
      known->modes =
          static_cast<Mode>(static_cast<std::uint8_t>(known->modes) | static_cast<std::uint8_t>(mode));
    } else if (timer->attach(this, Clock::now())) {
      timers_.push_back(ScheduledTimer{std::move(timer), mode});
    } else {
      return;
    }
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

RunLoop::SourceId RunLoop::addReadSource(int fd, std::function<void()> onReadable, Mode mode) {
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
  const SourceId id = nextSourceId_++;
  std::vector<int> joined;
  forEachPoll(mode, [&](int poll) {
    epoll_event event{};
    event.events = EPOLLIN;
    event.data.u64 = id;
    if (epoll_ctl(poll, EPOLL_CTL_ADD, fd, &event) != 0) {
      const int error = errno;
      for (const int done : joined) {
        epoll_ctl(done, EPOLL_CTL_DEL, fd, nullptr);
      }
      throw std::system_error(error, std::generic_category(), "RunLoop::addReadSource");
    }
    joined.push_back(poll);
  });
  sources_.emplace(id,
                   Source{fd, mode, std::make_shared<const std::function<void()>>(std::move(onReadable))});
  return id;
}

void RunLoop::removeSource(SourceId id) {
  std::shared_ptr<const std::function<void()>> released;
  std::lock_guard lock(mutex_);
  const auto found = sources_.find(id);
  if (found == sources_.end()) {
    return;
  }
  forEachPoll(found->second.modes,
              [fd = found->second.fd](int poll) { epoll_ctl(poll, EPOLL_CTL_DEL, fd, nullptr); });
  released = std::move(found->second.onReadable);
  sources_.erase(found);
}

void RunLoop::runOnce(Duration maxWait, Mode mode) {
  requireRunnable(mode);
  const std::vector<SourceId> ready = waitForWork(maxWait, mode);
  std::vector<std::function<void()>> performed;
  {
    std::lock_guard lock(mutex_);
    performed.swap(performs_);
  }
  fireDueTimers(mode);
  for (auto& block : performed) {
    runAsyncBlock(block, "a block performed on a run loop");
    block = nullptr;  // release its captures now, not after the whole batch
  }
  callSources(ready);
}

void RunLoop::runFor(Duration duration, Mode mode) {
  const auto deadline = deadlineAfter(duration);
  while (!takeStopRequest()) {
    const auto left = deadline - Clock::now();
    if (left <= Duration::zero()) {
      return;
    }
    runOnce(std::chrono::duration_cast<Duration>(left), mode);
  }
}

bool RunLoop::runUntil(const std::function<bool()>& predicate, Duration timeout, Mode mode) {
  const auto deadline = deadlineAfter(timeout);
  for (;;) {
    if (predicate()) {
      return true;
    }
    const auto left = deadline - Clock::now();
    if (takeStopRequest() || left <= Duration::zero()) {
      return false;
    }
    runOnce(std::chrono::duration_cast<Duration>(left), mode);
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

void RunLoop::requireRunnable(Mode mode) const {
  if (mode == Mode::common) {
    throw std::invalid_argument("RunLoop: a loop runs in the default or the event-tracking mode, not common");
  }
  if (owner_ == 0 ? !isMainThread() : gettid() != owner_) {
    fatalError("a run loop can only be run by the thread it belongs to");
  }
}

std::vector<RunLoop::SourceId> RunLoop::waitForWork(Duration maxWait, Mode mode) {
  const auto now = Clock::now();
  const auto until = wakeTime(now, maxWait, mode);
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
  const int poll = mode == Mode::defaultMode ? defaultPoll_.get() : eventTrackingPoll_.get();
  const int count = epoll_wait(poll, events.data(), static_cast<int>(events.size()), timeout);
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

RunLoop::Clock::time_point RunLoop::wakeTime(Clock::time_point now, Duration maxWait, Mode mode) {
  auto until = deadlineAfter(maxWait, now);
  std::lock_guard lock(mutex_);
  std::erase_if(timers_, [](const ScheduledTimer& scheduled) { return !scheduled.timer->isValid(); });
  if (!performs_.empty()) {
    return now;
  }
  for (const auto& scheduled : timers_) {
    if (includes(scheduled.modes, mode)) {
      until = std::min(until, scheduled.timer->fireDate());
    }
  }
  return until;
}

void RunLoop::fireDueTimers(Mode mode) {
  const auto now = Clock::now();
  std::vector<std::shared_ptr<Timer>> due;
  {
    std::lock_guard lock(mutex_);
    for (const auto& scheduled : timers_) {
      if (includes(scheduled.modes, mode) && scheduled.timer->isValid() &&
          scheduled.timer->fireDate() <= now) {
        due.push_back(scheduled.timer);
      }
    }
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
