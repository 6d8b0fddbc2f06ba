#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "Platform/Dispatch/MainThread.hpp"
#include "Platform/Dispatch/RunLoop.hpp"
#include "Platform/Dispatch/Timer.hpp"

using namespace std::chrono_literals;
using platform::RunLoop;
using platform::Timer;
using Clock = std::chrono::steady_clock;

namespace {

constexpr auto patience = 5s;

}  // namespace

TEST(RunLoopTest, PerformedBlocksRunInOrderAndThoseQueuedMeanwhileWaitForTheNextPass) {
  RunLoop& loop = RunLoop::main();
  std::vector<int> order;
  loop.perform([&] {
    order.push_back(1);
    loop.perform([&] { order.push_back(3); });
  });
  loop.perform([&] { order.push_back(2); });
  loop.runOnce(0ns);
  EXPECT_EQ(order, (std::vector<int>{1, 2}));
  loop.runOnce(0ns);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  EXPECT_THROW(loop.perform(nullptr), std::invalid_argument);
}

TEST(RunLoopTest, EachThreadHasItsOwnLoopAndAPerformWakesItFromSleep) {
  EXPECT_TRUE(platform::isMainThread());
  EXPECT_EQ(&RunLoop::current(), &RunLoop::main());
  RunLoop* workerLoop = nullptr;
  bool woken = false;
  std::thread worker([&] {
    EXPECT_FALSE(platform::isMainThread());
    RunLoop& loop = RunLoop::current();
    EXPECT_EQ(&loop, &RunLoop::current());
    RunLoop::main().perform([&] { workerLoop = &loop; });
    woken = loop.runUntil([&] { return woken; }, patience);
  });
  EXPECT_TRUE(RunLoop::main().runUntil([&] { return workerLoop != nullptr; }, patience));
  workerLoop->perform([&] { woken = true; });
  worker.join();
  EXPECT_TRUE(woken);
  EXPECT_NE(workerLoop, &RunLoop::main());
}

TEST(RunLoopTest, ReadSourceIsCalledWhileReadableUntilRemovedAndRejectsWhatItCannotWatch) {
  RunLoop& loop = RunLoop::main();
  int pipe[2];
  ASSERT_EQ(::pipe2(pipe, O_CLOEXEC), 0);
  std::string received;
  RunLoop::SourceId id = 0;
  id = loop.addReadSource(pipe[0], [&] {
    char byte = 0;
    EXPECT_EQ(::read(pipe[0], &byte, 1), 1);
    received += byte;
    if (received.size() == 2) loop.removeSource(id);  // from its own callback
  });
  EXPECT_THROW(loop.addReadSource(
                   pipe[0], [] {}, RunLoop::Mode::common),
               std::system_error);  // watched
  std::thread writer([&] { EXPECT_EQ(::write(pipe[1], "a", 1), 1); });
  EXPECT_TRUE(loop.runUntil([&] { return received.size() == 1; }, patience));
  writer.join();
  ASSERT_EQ(::write(pipe[1], "bc", 2), 2);
  loop.runFor(20ms);
  EXPECT_EQ(received, "ab");  // 'c' stays unread: the source is gone
  loop.removeSource(id);      // again: ignored

  EXPECT_THROW(loop.addReadSource(pipe[0], nullptr), std::invalid_argument);
  EXPECT_THROW(loop.addReadSource(-1, [] {}), std::system_error);
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  EXPECT_THROW(loop.addReadSource(fileno(file), [] {}), std::system_error);  // regular files never block
  std::fclose(file);
  ::close(pipe[0]);
  ::close(pipe[1]);
}

TEST(RunLoopTest, StopFromAnotherThreadEndsRun) {
  RunLoop& loop = RunLoop::main();
  std::thread stopper;
  loop.perform([&] { stopper = std::thread([&] { loop.stop(); }); });
  loop.run();
  stopper.join();
  EXPECT_FALSE(loop.runUntil([] { return false; }, 10ms));  // the stop was used up by run()
}

TEST(RunLoopDeathTest, OnlyTheOwningThreadRunsALoop) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(std::thread([] { RunLoop::main().runOnce(0ns); }).join(),
               "a run loop can only be run by the thread it belongs to");
}

// Timers are sources of the run loop they are added to.
TEST(TimerTest, ClampsItsIntervalAndFirstFiresOneIntervalAfterBeingAdded) {
  for (const double interval : {0.0, -3.0, double{NAN}})
    EXPECT_EQ(Timer::make(interval, false, [](Timer&) {})->timeInterval(), 1e-4) << interval;
  EXPECT_THROW(Timer::make(1, false, nullptr), std::invalid_argument);
  const auto timer = Timer::make(2.5, false, [](Timer&) {});
  const auto before = Clock::now();
  RunLoop::main().add(timer, RunLoop::Mode::defaultMode);
  const auto after = Clock::now();
  EXPECT_GE(timer->fireDate(), before + 2500ms);
  EXPECT_LE(timer->fireDate(), after + 2500ms);
  std::thread([&] {
    EXPECT_THROW(RunLoop::current().add(timer, RunLoop::Mode::common), std::logic_error);
  }).join();
  timer->invalidate();
  timer->invalidate();
  EXPECT_FALSE(timer->isValid());
  bool fired = false;
  const auto ended = Timer::make(0.001, false, [&](Timer&) { fired = true; });
  ended->invalidate();
  RunLoop::main().add(ended, RunLoop::Mode::defaultMode);  // an invalidated timer is ignored
  RunLoop::main().runFor(5ms);
  EXPECT_FALSE(fired);
}

TEST(TimerTest, TimersDueInTheSamePassFireInFireDateOrder) {
  std::vector<int> order;
  std::vector<std::shared_ptr<Timer>> timers;
  for (const int milliseconds : {3, 1, 2}) {
    timers.push_back(Timer::scheduled(milliseconds / 1000.0, false,
                                      [&, milliseconds](Timer&) { order.push_back(milliseconds); }));
  }
  std::this_thread::sleep_for(10ms);  // the thread is busy until all three are due
  RunLoop::main().runOnce(0ns);
  EXPECT_EQ(order, (std::vector<int>{1, 2, 3}));
  for (const auto& timer : timers) EXPECT_FALSE(timer->isValid());  // one-shot timers end after firing
}

TEST(TimerTest, RepeatingTimerStaysOnItsGridAfterASlowTick) {
  std::vector<Clock::time_point> scheduledFor;
  std::vector<Clock::time_point> firedAt;
  const auto timer = Timer::scheduled(0.02, true, [&](Timer& self) {
    scheduledFor.push_back(self.fireDate());
    firedAt.push_back(Clock::now());
    if (scheduledFor.size() == 1) std::this_thread::sleep_for(50ms);  // a tick that overruns two periods
  });
  EXPECT_TRUE(RunLoop::main().runUntil([&] { return scheduledFor.size() == 3; }, patience));
  timer->invalidate();
  const auto gap = scheduledFor[1] - scheduledFor[0];
  EXPECT_EQ(gap % 20ms, 0ns);
  EXPECT_GE(gap, 60ms);  // the periods missed during the slow tick are skipped, not fired in a burst
  // On a busy machine the next tick may also be late; it still lands on the grid.
  const auto nextGap = scheduledFor[2] - scheduledFor[1];
  EXPECT_EQ(nextGap % 20ms, 0ns);
  EXPECT_GE(nextGap, 20ms);
  EXPECT_GE(firedAt[1], scheduledFor[1]);
}

TEST(TimerTest, ActionMayInvalidateOrReplaceItsOwnTimer) {
  auto token = std::make_shared<int>(0);
  const std::weak_ptr<int> watched = token;
  int count = 0;
  std::shared_ptr<Timer> replacement;
  bool replacementFired = false;
  const auto timer = Timer::scheduled(0.001, true, [&, token](Timer& self) {
    if (++count == 3) {
      self.invalidate();
      replacement = Timer::scheduled(0.001, false, [&](Timer&) { replacementFired = true; });
    }
  });
  token.reset();
  EXPECT_TRUE(RunLoop::main().runUntil([&] { return replacementFired; }, patience));
  RunLoop::main().runFor(10ms);
  EXPECT_EQ(count, 3);
  EXPECT_FALSE(timer->isValid());
  EXPECT_TRUE(watched.expired());  // invalidating released the action and what it captured
}
