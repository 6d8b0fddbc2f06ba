#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iostream>
#include <memory>
#include <string>
#include <system_error>
#include <thread>
#include <vector>

#include "Platform/Foundation/BundleInfo.hpp"
#include "Platform/Foundation/Defaults.hpp"
#include "Platform/Foundation/LocalizedStrings.hpp"
#include "tests/platform/Foundation/ChildProcess.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

namespace {

namespace fs = std::filesystem;
using namespace std::chrono_literals;
using childprocess::Clock;
using platform::Defaults;

// Regular files whose reads wait for bytes that never come: the pipes of tracing instances of the test's own
// (so no one else's trace is read, and each pipe has one reader), in a tracefs it mounts. Root only: where
// the mount fails, there are none.
class TracePipes {
 public:
  explicit TracePipes(const std::string& directory) : tracefs_(mounted(directory + "/tracefs")) {}
  ~TracePipes() {
    for (const std::string& instance : instances_) ::rmdir(instance.c_str());
  }
  explicit operator bool() const { return tracefs_ != nullptr; }
  // Links `path` to the pipe of a new instance; 0, or -1 as symlink(2) gives.
  int linkNew(const char* path) {
    const std::string instance = tracefs_->mountPoint() + "/instances/velmora-" + std::to_string(::getpid()) +
                                 "-" + std::to_string(instances_.size());
    if (::mkdir(instance.c_str(), 0700) != 0) return -1;
    instances_.push_back(instance);
    return ::symlink((instance + "/trace_pipe").c_str(), path);
  }

 private:
  // A tracefs at `mountPoint`, or null, and why, when it cannot be mounted there (without root, say).
  static std::unique_ptr<volumetest::ScopedMount> mounted(const std::string& mountPoint) {
    try {
      return std::make_unique<volumetest::ScopedMount>(mountPoint, "nodev", "tracefs", "");
    } catch (const std::system_error& error) {
      std::cout << "[   NOTE   ] no trace pipe (" << error.what() << "): its row is left out\n";
      return nullptr;
    }
  }

  std::unique_ptr<volumetest::ScopedMount> tracefs_;
  std::vector<std::string> instances_;
};

// A call that reads the file `file` of `folder`: whether it answered as for a file that cannot be read, and
// how long it may take.
struct Reader {
  const char* what;
  const char* file;
  Clock::duration longest;
  std::function<bool(const fs::path& folder)> answersAsUnreadable;
};

const Reader readers[] = {
    {"a suite's read", "com.example.suite.json", 1s,
     [](const fs::path& folder) { return !Defaults(folder / "com.example.suite.json").boolForKey("key"); }},
    {"a suite's set, another thread reading meanwhile", "com.example.suite.json", 3s,
     [](const fs::path& folder) {
       Defaults suite(folder / "com.example.suite.json");
       std::thread reader([&] { suite.boolForKey("other"); });
       std::this_thread::sleep_for(50ms);  // the reader is at the file
       const bool refused = !suite.set("key", true);
       reader.join();
       return refused && suite.boolForKey("key");  // the change is kept
     }},
    {"a string table's lookup", "en.lproj/Localizable.json", 1s,
     [](const fs::path& folder) {
       return !platform::LocalizedStrings(folder).lookup("GREETING", {"en"}, "Localizable");
     }},
    {"a bundle's info read", "Info.json", 1s,
     [](const fs::path& folder) { return !platform::BundleInfo::read(folder).name; }},
};

// Each call in a child of its own with little memory to spare, all at once: one that hangs is ended after
// 10 s, one that lets an exception out ends its child.
TEST(UnendingFileTest, SuitesStringTablesAndBundleInfoReadAFileThatNeverComesOrNeverEndsAsUnreadable) {
  const volumetest::TemporaryDirectory directory;
  TracePipes tracePipes(directory.path());
  // What stands where a file is read, made at a path: a file that never comes or never ends.
  std::vector<std::pair<std::string, std::function<int(const char* path)>>> unendingFiles = {
      {"a FIFO no writer opens", [](const char* path) { return ::mkfifo(path, 0600); }},
      {"a link to /dev/zero", [](const char* path) { return ::symlink("/dev/zero", path); }}};
  if (tracePipes)
    unendingFiles.emplace_back("a link to a trace pipe",
                               [&](const char* path) { return tracePipes.linkNew(path); });
  std::vector<std::pair<std::string, pid_t>> children;
  for (const auto& [unending, make] : unendingFiles)
    for (const Reader& reader : readers) {
      const fs::path folder = fs::path(directory.path()) / std::to_string(children.size());
      fs::create_directories((folder / reader.file).parent_path());
      ASSERT_EQ(make((folder / reader.file).c_str()), 0) << unending;
      const auto answer = [&] {
        childprocess::limitAddressSpace(64 << 20);
        const Clock::time_point start = Clock::now();
        if (!reader.answersAsUnreadable(folder)) return 1;
        return Clock::now() - start > reader.longest ? 2 : 0;
      };
      children.emplace_back(std::string(reader.what) + " with " + unending + " in place",
                            childprocess::forked(answer, /*limit=*/10));
    }
  for (const auto& [what, child] : children) EXPECT_EQ(childprocess::exitCodeOf(child), 0) << what;
}

}  // namespace
