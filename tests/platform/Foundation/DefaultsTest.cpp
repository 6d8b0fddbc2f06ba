#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>

#include <fstream>
#include <future>
#include <random>
#include <set>
#include <thread>

#include "Platform/Foundation/Defaults.hpp"
#include "Platform/Foundation/FileReplacement.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

namespace {

using platform::Defaults;
namespace fs = std::filesystem;

nlohmann::json fileContent(const fs::path& path) {
  std::ifstream file(path);
  return nlohmann::json::parse(file, nullptr, false);
}

class DefaultsTest : public testing::Test {
 protected:
  const volumetest::TemporaryDirectory directory;
  const std::shared_ptr<Defaults> suite = Defaults::suite("com.example.suite", directory.path());
};

// A writer killed at any moment leaves the old file or a new one, never a mixture.
TEST_F(DefaultsTest, AWriterKilledAtRandomInAThousandWritesLeavesAFileThatParses) {
  const fs::path path = suite->path();
  std::ofstream(path) << R"({"padding": true, "time": 12)";  // malformed: reads as empty
  EXPECT_FALSE(suite->boolForKey("padding"));
  for (int key = 0; key < 200; ++key) suite->set("padding" + std::to_string(key), key * 1.5);
  EXPECT_EQ(fileContent(path).size(), 200u);
  std::mt19937 random(std::random_device{}());
  for (int round = 0; round < 5; ++round) {
    const pid_t child = ::fork();
    if (child == 0) {
      Defaults writer(path);
      for (int i = 1; i <= 1000; ++i) writer.set("counter", double(i));
      ::_exit(0);
    }
    std::this_thread::sleep_for(std::chrono::microseconds(std::uniform_int_distribution(0, 50000)(random)));
    ::kill(child, SIGKILL);
    ::waitpid(child, nullptr, 0);
    const nlohmann::json stored = fileContent(path);
    ASSERT_TRUE(stored.is_object()) << "round " << round;
    EXPECT_EQ(stored.size(), stored.contains("counter") ? 201u : 200u);
  }
  for (const char* name : {"", ".", "..", "a/b"})
    EXPECT_EQ(Defaults::suite(name, directory.path()), nullptr) << name;
}

TEST_F(DefaultsTest, TwoProcessesWritingOneSuiteKeepEveryKeyOfBoth) {
  ASSERT_TRUE(suite->set("parent", true));
  const int keys = 300;
  for (const char* prefix : {"a", "b"}) {
    if (::fork() == 0) {
      Defaults own(suite->path());
      for (int i = 0; i < keys; ++i) own.set(prefix + std::to_string(i), double(i));
      ::_exit(0);
    }
  }
  for (int status = 0; ::wait(&status) > 0;) EXPECT_EQ(status, 0);
  EXPECT_EQ(fileContent(suite->path()).size(), 2u * keys + 1);
  int seen = 0;  // by this process's suite, read before the others wrote
  for (int i = 0; i < keys; ++i)
    for (const char* prefix : {"a", "b"}) seen += suite->doubleForKey(prefix + std::to_string(i)) == i;
  EXPECT_EQ(seen, 2 * keys);
}

TEST_F(DefaultsTest, ANewSuiteIsPrivateAReplacedOneKeepsItsModeAndKilledWritersLeaveNoTemporaries) {
  const auto mode = [](const fs::path& path) { return unsigned(fs::status(path).permissions()); };
  ASSERT_TRUE(suite->set("first", true));
  EXPECT_EQ(mode(suite->path()), 0600u);
  for (const unsigned chosen : {0640u, 0600u}) {
    fs::permissions(suite->path(), fs::perms(chosen));
    ASSERT_TRUE(suite->set("again", 1.0));
    EXPECT_EQ(mode(suite->path()), chosen);
  }
  const auto entries = [&] { return std::set<fs::path>{fs::directory_iterator(directory.path()), {}}; };
  const std::set<fs::path> settled = entries();
  if (::fork() == 0) {
    platform::FileReplacement unfinished(suite->path());
    ::raise(SIGKILL);
  }
  ::wait(nullptr);
  ASSERT_EQ(entries().size(), settled.size() + 1) << "the killed writer left no temporary file";
  platform::FileReplacement live(suite->path());
  ASSERT_TRUE(suite->set("second", true));
  live.commit();  // throws when its temporary file was taken
  EXPECT_EQ(entries(), settled);
}

// Reading a suite (one that stops in its read until the test writes into it, as a huge file would) holds
// up no other suite.
TEST_F(DefaultsTest, ASuiteBeingReadHoldsUpNoOtherSuite) {
  const fs::path slow = fs::path(directory.path()) / "com.example.slow.json";
  ASSERT_EQ(::mkfifo(slow.c_str(), 0600), 0);
  auto reader = std::async(std::launch::async, [&] {
    return Defaults::suite("com.example.slow", directory.path())->doubleForKey("size");
  });
  int pipe = -1;  // opens without waiting only once the reader has the pipe open
  for (int tries = 0; pipe < 0 && tries < 10000;
       ++tries, std::this_thread::sleep_for(std::chrono::milliseconds(1)))
    pipe = ::open(slow.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(pipe, 0);
  auto other = std::async(std::launch::async, [&] {
    return Defaults::suite("com.example.other", directory.path())->set("opened", true);
  });
  EXPECT_EQ(other.wait_for(std::chrono::seconds(2)), std::future_status::ready) << "it waited for the read";
  EXPECT_EQ(::write(pipe, R"({"size": 116})", 13), 13);
  ::close(pipe);
  EXPECT_EQ(reader.get(), 116);
}

}  // namespace
