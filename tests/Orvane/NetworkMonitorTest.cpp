#include "Orvane/NetworkMonitor.hpp"

#include <gtest/gtest.h>

#include <sys/eventfd.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <thread>

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
    if (during) during();
    ++calls;
  }
  // The calls after `wait` has passed (the bursts end 100 ms after their last report).
  int after(std::chrono::milliseconds wait = 400ms) const {
    std::this_thread::sleep_for(wait);
    return calls;
  }
};

// A path source whose reports and path the test sets.
struct FakePaths {
  std::mutex mutex;
  platform::NetworkPath path;
  int reports = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);

  ~FakePaths() { ::close(reports); }
  void change(const std::string& name) {
    {
      std::lock_guard lock(mutex);
      path.interfaces.push_back({int(path.interfaces.size()) + 2, name, {}});
    }
    report();
  }
  void report() const {
    const std::uint64_t one = 1;
    EXPECT_EQ(::write(reports, &one, sizeof one), 8);
  }
  NetworkMonitor::SourceOpener opener() {
    struct Source : platform::NetworkPathSource {
      FakePaths* fake;
      explicit Source(FakePaths* paths) : fake(paths) {}
      int changeDescriptor() const override { return fake->reports; }
      void drainChanges() override {
        std::uint64_t count;
        while (::read(fake->reports, &count, sizeof count) > 0) {
        }
      }
      std::optional<platform::NetworkPath> readPath() override {
        std::lock_guard lock(fake->mutex);
        return fake->path;
      }
    };
    return [this] { return std::make_unique<Source>(this); };
  }
};

class NetworkMonitorTest : public testing::Test {
 protected:
  FakePaths paths;
  std::shared_ptr<Counter> counter = std::make_shared<Counter>();
  std::shared_ptr<NetworkMonitor> monitor = std::make_shared<NetworkMonitor>(paths.opener());
  void SetUp() override { monitor->setDelegate(counter); }
  void TearDown() override {
    if (monitor) monitor->stop();
  }
};

TEST_F(NetworkMonitorTest, TellsOnceAfterStartThenOncePerBurstThatChangesThePath) {
  monitor->start();
  EXPECT_EQ(counter->after(), 1);
  paths.report();  // the same path
  EXPECT_EQ(counter->after(), 1);
  for (const char* name : {"v0", "v1", "v2"}) {
    paths.change(name);
    std::this_thread::sleep_for(20ms);
  }
  EXPECT_EQ(counter->after(), 2);
  EXPECT_EQ(counter->onMainThread, 0);
}

TEST_F(NetworkMonitorTest, AfterStopNothingIsToldAndASecondStartReplacesTheFirst) {
  monitor->start();
  monitor->start();
  const int started = counter->after();  // 1 or 2: the first start's own call may come before it stops
  paths.change("v0");
  EXPECT_EQ(counter->after(), started + 1);
  monitor->stop();
  paths.change("v1");
  EXPECT_EQ(counter->after(), started + 1);
}

TEST_F(NetworkMonitorTest, AReleasedDelegateIsDroppedAndStopInsideTheCallDoesNotHang) {
  counter->during = [this] { monitor->stop(); };
  monitor->start();
  EXPECT_EQ(counter->after(), 1);
  counter->during = nullptr;
  monitor->start();
  std::weak_ptr<Counter> released = counter;
  counter.reset();
  paths.change("v0");
  std::this_thread::sleep_for(400ms);
  EXPECT_TRUE(released.expired());
}

TEST_F(NetworkMonitorTest, AMonitorWhoseOwnerLetGoReportsUntilStopped) {
  std::weak_ptr<NetworkMonitor> running = monitor;
  monitor->start();
  EXPECT_EQ(counter->after(), 1);
  monitor.reset();
  paths.change("v0");
  EXPECT_EQ(counter->after(), 2);
  running.lock()->stop();
  EXPECT_EQ(counter->after(0ms), 2);
  std::this_thread::sleep_for(100ms);
  EXPECT_TRUE(running.expired());
}

TEST(NetworkMonitorLiveTest, AVethPairGivenAnAddressIsOneChangeWithinASecond) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to create a network namespace (ip netns add)";
  networktest::PrivateNetworkNamespace space;
  ASSERT_TRUE(space.created() && space.enter());
  auto counter = std::make_shared<Counter>();
  auto monitor = std::make_shared<NetworkMonitor>();
  monitor->setDelegate(counter);
  monitor->start();
  space.leave();  // the monitor keeps watching the namespace it was started in
  EXPECT_EQ(counter->after(), 1);
  EXPECT_EQ(counter->after(1s), 1) << "told without a change";
  const std::string batch = "/tmp/velmora-veth-" + space.name();
  std::ofstream(batch) << "link add v0 type veth peer name v1\nlink set v0 up\nlink set v1 up\n"
                          "addr add 10.203.1.1/24 dev v0\n";
  ASSERT_TRUE(space.ip("-batch " + batch));
  std::filesystem::remove(batch);
  for (int i = 0; i < 100 && counter->calls < 2; ++i) std::this_thread::sleep_for(10ms);
  EXPECT_EQ(counter->calls, 2) << "not told within a second";
  EXPECT_EQ(counter->after(1s), 2) << "told more than once for one burst";
  monitor->stop();
  ASSERT_TRUE(space.ip("link set v0 down"));
  EXPECT_EQ(counter->after(), 2) << "told after stop";
  EXPECT_EQ(counter->onMainThread, 0);
}

}  // namespace
