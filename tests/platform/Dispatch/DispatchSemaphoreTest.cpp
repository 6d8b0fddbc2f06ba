#include <gtest/gtest.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <stdexcept>
#include <string>
#include <thread>

#include "Platform/Dispatch/DispatchSemaphore.hpp"

using namespace std::chrono_literals;
using platform::DispatchSemaphore;

namespace {

// True once thread tid sleeps in the kernel (state S). A thread that announced it is about to wait on a
// semaphore can only sleep inside the semaphore's slow path, after it has counted itself as a waiter.
bool waitUntilAsleep(pid_t tid) {
  const std::string path = "/proc/self/task/" + std::to_string(tid) + "/stat";
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (std::chrono::steady_clock::now() < deadline) {
    std::string text;
    std::getline(std::ifstream(path), text);
    const auto name = text.rfind(')');
    if (name != std::string::npos && name + 2 < text.size() && text[name + 2] == 'S') return true;
    std::this_thread::sleep_for(1ms);
  }
  return false;
}

// Starts a thread that waits on the semaphore, and returns once it sleeps there.
std::thread startWaiter(DispatchSemaphore& semaphore, std::atomic<int>& released) {
  std::atomic<pid_t> tid{0};
  std::thread waiter([&semaphore, &released, &tid] {
    tid = gettid();
    semaphore.wait();
    ++released;
  });
  while (tid.load() == 0) std::this_thread::yield();
  EXPECT_TRUE(waitUntilAsleep(tid.load()));
  return waiter;
}

}  // namespace

TEST(DispatchSemaphoreTest, CountBelowZeroCountsWaitersAndEachSignalWakesOne) {
  EXPECT_THROW(DispatchSemaphore(-1), std::invalid_argument);
  DispatchSemaphore semaphore(0);
  std::atomic<int> released{0};
  std::thread waiters[] = {startWaiter(semaphore, released), startWaiter(semaphore, released)};
  EXPECT_TRUE(semaphore.signal());
  EXPECT_TRUE(semaphore.signal());
  EXPECT_FALSE(semaphore.signal());
  for (auto& waiter : waiters) waiter.join();
  EXPECT_EQ(released.load(), 2);
  semaphore.wait();  // the third signal left one unit: taken without sleeping
  std::thread third = startWaiter(semaphore, released);  // and no second one: this waiter sleeps
  EXPECT_TRUE(semaphore.signal());
  third.join();
  EXPECT_EQ(released.load(), 3);
}
