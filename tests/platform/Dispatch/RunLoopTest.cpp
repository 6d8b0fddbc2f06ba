#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <array>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "Platform/Dispatch/MainThread.hpp"
#include "Platform/Dispatch/RunLoop.hpp"

using namespace std::chrono_literals;
using platform::RunLoop;

namespace {

constexpr auto patience = 5s;

// A pipe whose ends close with it.
struct Pipe {
  Pipe() {
    if (::pipe2(fds.data(), O_CLOEXEC) != 0) throw std::system_error(errno, std::generic_category(), "pipe2");
  }
  ~Pipe() { ::close(fds[0]), ::close(fds[1]); }
  void put(char byte) const { ASSERT_EQ(::write(fds[1], &byte, 1), 1); }
  char take() const {
    char byte = 0;
    EXPECT_EQ(::read(fds[0], &byte, 1), 1);
    return byte;
  }
  std::array<int, 2> fds{};
};

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
  Pipe pipe;
  std::string received;
  RunLoop::SourceId id = 0;
  id = loop.addReadSource(pipe.fds[0], [&] {
    received += pipe.take();
    if (received.size() == 2) loop.removeSource(id);  // from its own callback
  });
  EXPECT_THROW(loop.addReadSource(
                   pipe.fds[0], [] {}, RunLoop::Mode::common),
               std::system_error);  // watched
  std::thread writer([&] { pipe.put('a'); });
  EXPECT_TRUE(loop.runUntil([&] { return received.size() == 1; }, patience));
  writer.join();
  pipe.put('b');
  pipe.put('c');
  loop.runFor(20ms);
  EXPECT_EQ(received, "ab");  // 'c' stays unread: the source is gone
  loop.removeSource(id);      // again: ignored

  EXPECT_THROW(loop.addReadSource(pipe.fds[0], nullptr), std::invalid_argument);
  EXPECT_THROW(loop.addReadSource(-1, [] {}), std::system_error);
  std::FILE* file = std::tmpfile();
  ASSERT_NE(file, nullptr);
  EXPECT_THROW(loop.addReadSource(fileno(file), [] {}), std::system_error);  // regular files never block
  std::fclose(file);
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
