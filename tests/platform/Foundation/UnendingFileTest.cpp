#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>
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

// What stands where a file is read, made at `path`: a file that never comes or never ends.
const std::pair<const char*, int (*)(const char* path)> unendingFiles[] = {
    {"a FIFO no writer opens", [](const char* path) { return ::mkfifo(path, 0600); }},
    {"a link to /dev/zero", [](const char* path) { return ::symlink("/dev/zero", path); }},
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

// Each call in a child of its own with little memory to spare, all at once: one that hangs is killed at the
// deadline, one that lets an exception out ends its child.
TEST(UnendingFileTest, SuitesStringTablesAndBundleInfoReadAFileThatNeverComesOrNeverEndsAsUnreadable) {
  const volumetest::TemporaryDirectory directory;
  std::vector<std::pair<std::string, pid_t>> children;
  for (const auto& [unending, make] : unendingFiles)
    for (const Reader& reader : readers) {
      const fs::path folder = fs::path(directory.path()) / std::to_string(children.size());
      fs::create_directories((folder / reader.file).parent_path());
      ASSERT_EQ(make((folder / reader.file).c_str()), 0) << unending;
      children.emplace_back(std::string(reader.what) + " with " + unending + " in place",
                            childprocess::forked([&] {
                              childprocess::limitAddressSpace(64 << 20);
                              const Clock::time_point start = Clock::now();
                              if (!reader.answersAsUnreadable(folder)) return 1;
                              return Clock::now() - start > reader.longest ? 2 : 0;
                            }));
    }
  const Clock::time_point deadline = Clock::now() + 10s;
  for (const auto& [what, child] : children) EXPECT_EQ(childprocess::exitCodeOf(child, deadline), 0) << what;
}

}  // namespace
