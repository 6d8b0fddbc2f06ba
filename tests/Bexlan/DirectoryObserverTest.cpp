#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/stat.h>

#include <fstream>
#include <thread>

#include "Bexlan/DirectoryObserver.hpp"
#include "Platform/Dispatch/MainThread.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

namespace {

using Bexlan::DirectoryObserver;
namespace fs = std::filesystem;

struct Calls {
  std::atomic<int> count = 0, onMainThread = 0;
  std::function<void()> handler() {
    return [this] { onMainThread += platform::isMainThread(), ++count; };
  }
  bool riseWithinASecond() const {
    for (int i = 0; i < 200 && count == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return count > 0 && onMainThread == 0;
  }
};

TEST(DirectoryObserverTest, EachChangeCallsTheHandlerOffTheMainThreadWithinASecond) {
  const std::pair<const char*, void (*)(const fs::path&)> changes[] = {
      {"file made", [](const fs::path& dir) { std::ofstream(dir / "new") << "x"; }},
      {"renamed", [](const fs::path& dir) { fs::rename(dir, dir.string() + "-moved"); }},
      {"chmod", [](const fs::path& dir) { ::chmod(dir.c_str(), 0700); }},
      {"deleted", [](const fs::path& dir) { fs::remove(dir); }}};
  for (const auto& [name, change] : changes) {
    volumetest::TemporaryDirectory temporary;
    const fs::path watched = fs::path(temporary.path()) / "watched";
    fs::create_directory(watched);
    Calls calls;
    DirectoryObserver observer(watched, calls.handler());
    change(watched);
    EXPECT_TRUE(calls.riseWithinASecond()) << name;
  }
}

// That no handler runs after destruction is DirectoryObserverDestructionTest's, under load.
TEST(DirectoryObserverTest, DestructionClosesTheDescriptorAndAnUnwatchablePathHasNone) {
  volumetest::TemporaryDirectory temporary;
  Calls calls;
  const int fd = DirectoryObserver(temporary.path(), calls.handler()).fileDescriptor();
  ASSERT_GE(fd, 0);
  std::error_code closed;
  EXPECT_NE(fs::read_symlink("/proc/self/fd/" + std::to_string(fd), closed), "anon_inode:inotify");
  EXPECT_EQ(DirectoryObserver("/nonexistent/velmora", calls.handler()).fileDescriptor(), -1);
}

TEST(DirectoryObserverTest, AWatchedTmpfsUnmountsAndTheHandlerRuns) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
  volumetest::TemporaryDirectory temporary;
  volumetest::ScopedMount mount(temporary.path() + "/tmpfs");
  Calls calls;
  DirectoryObserver observer(mount.mountPoint(), calls.handler());
  ASSERT_EQ(::umount2(mount.mountPoint().c_str(), 0), 0) << "the observer holds the mount busy";
  EXPECT_TRUE(calls.riseWithinASecond());
}

}  // namespace
