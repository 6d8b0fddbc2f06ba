#include <gtest/gtest.h>
#include <sys/eventfd.h>

#include <thread>

#include "Orvane/NetworkMonitor.hpp"
#include "Platform/Dispatch/FileDescriptor.hpp"
#include "Platform/Dispatch/MainThread.hpp"
#include "tests/Orvane/PrivateNetworkNamespace.hpp"

namespace {

using namespace std::chrono_literals;
using Orvane::NetworkMonitor;

struct Counter : Orvane::NetworkMonitorDelegate {
  std::atomic<int> calls = 0, onMainThread = 0;
  std::function<void()> during;
  void networkChanged() override {
    onMainThread += platform::isMainThread();
    ++calls;
    if (during) during();
  }
  int after(std::chrono::milliseconds wait = 400ms) const {  // a burst ends 100 ms after its last report
    std::this_thread::sleep_for(wait);
    return calls;
  }
};

// Path reports that the test makes: change() adds an interface to the path and reports it.
struct FakePaths {
  std::mutex mutex;
  platform::NetworkPath path;
  const platform::FileDescriptor reports{::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK), "eventfd"};
  std::atomic<int> readDelayMs = 0, reads = 0;
  void change(bool addInterface = true) {
    std::lock_guard lock(mutex);
    if (addInterface) path.interfaces.push_back({int(path.interfaces.size()) + 2, "v", {}});
    ::eventfd_write(reports.get(), 1);
  }
};

// What each start of a monitor watches: the test's paths.
struct FakeSource : platform::NetworkPathSource {
  FakePaths& paths;
  explicit FakeSource(FakePaths& fake) : paths(fake) {}
  int changeDescriptor() const override { return paths.reports.get(); }
  void drainChanges() override {
    eventfd_t count;
    ::eventfd_read(paths.reports.get(), &count);
  }
  std::optional<platform::NetworkPath> readPath() override {
    std::this_thread::sleep_for(std::chrono::milliseconds(paths.readDelayMs));
    std::lock_guard lock(paths.mutex);
    ++paths.reads;
    return paths.path;
  }
};

class NetworkMonitorTest : public testing::Test {
 protected:
  FakePaths paths;
  std::shared_ptr<Counter> counter = std::make_shared<Counter>();
  std::shared_ptr<NetworkMonitor> monitor =
      std::make_shared<NetworkMonitor>([this] { return std::make_unique<FakeSource>(paths); });
  void SetUp() override { monitor->setDelegate(counter); }
  void TearDown() override {
    if (monitor) monitor->stop();
  }
};

TEST_F(NetworkMonitorTest, TellsOnceAfterStartThenOncePerBurstThatChangesThePathAndNothingAfterStop) {
  monitor->start();
  monitor->start();
  const int started = counter->after();  // 1 or 2: the first start's call may come before the second stops it
  paths.change(false);                   // the same path
  EXPECT_EQ(counter->after(), started);
  for (int report = 0; report < 3; ++report, std::this_thread::sleep_for(20ms)) paths.change();
  EXPECT_EQ(counter->after(), started + 1);
  EXPECT_EQ(counter->onMainThread, 0);
  monitor->stop();
  paths.change();
  EXPECT_EQ(counter->after(), started + 1);
  monitor->start();
  std::weak_ptr<Counter> released = counter;
  counter.reset();  // held weakly: a running monitor keeps no delegate alive, and tells a gone one nothing
  paths.change();
  std::this_thread::sleep_for(400ms);
  EXPECT_TRUE(released.expired());
}

TEST_F(NetworkMonitorTest, ReportsWhileItsOwnerHasLetGoUntilStoppedByItsOwnCallWhichOtherStopsWaitFor) {
  std::weak_ptr<NetworkMonitor> running = monitor;
  monitor->start();
  EXPECT_EQ(counter->after(), 1);
  monitor.reset();
  std::atomic<bool> stopping = false;
  counter->during = [&] {  // the call stops the monitor while another change is being read
    paths.readDelayMs = 500;
    paths.change();
    std::this_thread::sleep_for(200ms);
    stopping = true;
    running.lock()->stop();
  };
  paths.change();
  while (!stopping) std::this_thread::sleep_for(1ms);
  std::this_thread::sleep_for(50ms);
  if (const auto stillRunning = running.lock()) stillRunning->stop();
  const int reads = paths.reads, calls = counter->calls;
  EXPECT_EQ(counter->after(700ms), calls) << "told after stop returned";
  EXPECT_EQ(paths.reads, reads) << "the watcher still ran after stop returned";
  EXPECT_TRUE(running.expired());  // stopped, it let go of itself
}

TEST(NetworkMonitorLiveTest, AVethPairGivenAnAddressIsOneChangeWithinASecond) {
  if (const std::string why = networktest::whyNoNetworkNamespaces(); !why.empty()) GTEST_SKIP() << why;
  networktest::PrivateNetworkNamespace space;
  if (!space.created()) GTEST_SKIP() << "needs network namespaces: " << space.error();
  ASSERT_TRUE(space.enter());
  auto counter = std::make_shared<Counter>();
  auto monitor = std::make_shared<NetworkMonitor>();
  monitor->setDelegate(counter);
  monitor->start();
  space.leave();  // the monitor keeps watching the namespace it was started in
  EXPECT_EQ(counter->after(1s), 1) << "not told once after start, or told without a change";
  ASSERT_TRUE(space.batch(
      "link add v0 type veth peer name v1\nlink set v0 up\nlink set v1 up\naddr add 10.203.1.1/24 dev v0\n"));
  for (int i = 0; i < 100 && counter->calls < 2; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(counter->calls, 2) << "not told within a second";
  EXPECT_EQ(counter->after(1s), 2) << "told more than once for one burst";
  monitor->stop();
  ASSERT_TRUE(space.ip("link set v0 down"));
  EXPECT_EQ(counter->after(), 2) << "told after stop";
  EXPECT_EQ(counter->onMainThread, 0);
}

}  // namespace
