#include <gtest/gtest.h>
#include <sys/ioctl.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <functional>
#include <mutex>
#include <semaphore>
#include <thread>
#include <vector>

#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/Dispatch/FileSystemObjectSource.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

using namespace std::chrono_literals;
using platform::FileSystemObjectSource;
namespace fs = std::filesystem;

namespace {

bool eventually(const std::function<bool()>& condition) {
  const auto deadline = std::chrono::steady_clock::now() + 5s;
  while (!condition() && std::chrono::steady_clock::now() < deadline) std::this_thread::sleep_for(1ms);
  return condition();
}

// The first call is held while the watched folder is written, changed, renamed and removed: all of that
// comes as one more call, whose data holds the kinds of every one of those events.
TEST(FileSystemObjectSourceTest, EventsDuringACallMergeIntoOneNextCallWithTheirKindsOred) {
  volumetest::TemporaryDirectory temporary;
  const fs::path watched = fs::path(temporary.path()) / "watched";
  fs::create_directory(watched);
  FileSystemObjectSource source(watched, FileSystemObjectSource::allEvents,
                                platform::DispatchQueue::global());
  std::binary_semaphore firstStarted{0}, releaseFirst{0};
  std::mutex mutex;
  std::vector<std::uint32_t> calls;  // the data each call read
  source.setEventHandler([&] {
    std::unique_lock lock(mutex);
    calls.push_back(source.data());
    if (calls.size() > 1) return;
    lock.unlock();
    firstStarted.release();
    releaseFirst.acquire();
  });
  source.resume();
  std::ofstream(watched / "first") << "x";
  ASSERT_TRUE(firstStarted.try_acquire_for(5s));

  std::ofstream(watched / "second") << "grows";
  fs::permissions(watched, fs::perms::owner_all);
  fs::rename(watched, watched.string() + "-moved");
  fs::remove_all(watched.string() + "-moved");
  // Every event has been read off the descriptor before the held call returns.
  EXPECT_TRUE(eventually([&] {
    int queued = -1;
    return ::ioctl(source.fileDescriptor(), FIONREAD, &queued) == 0 && queued == 0;
  }));
  releaseFirst.release();
  EXPECT_TRUE(eventually([&] {
    std::lock_guard lock(mutex);
    return calls.size() >= 2;
  }));
  std::this_thread::sleep_for(300ms);
  source.cancel();

  ASSERT_EQ(calls.size(), 2u);
  EXPECT_NE(calls[0] & FileSystemObjectSource::written, 0u);
  EXPECT_EQ(calls[1], FileSystemObjectSource::written | FileSystemObjectSource::extended |
                          FileSystemObjectSource::attributesChanged |
                          FileSystemObjectSource::linkCountChanged | FileSystemObjectSource::renamed |
                          FileSystemObjectSource::deleted);
}

}  // namespace
