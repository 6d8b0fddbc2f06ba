#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <fstream>
#include <future>
#include <random>
#include <set>
#include <thread>

#include "Platform/Foundation/Defaults.hpp"
#include "Platform/Foundation/FileReplacement.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

extern char** environ;

namespace {

using platform::Defaults;
using volumetest::TemporaryDirectory;
namespace fs = std::filesystem;

constexpr int keysPerWriter = 300;

// This test program started again as another process (see startSelf) does one job on the suite file
// DEFAULTS_TEST_SUITE and exits before main, so no thread of the tests runs in it: it writes keys
// "<DEFAULTS_TEST_PREFIX><i>", or, without a prefix, dies while writing.
[[maybe_unused]] const bool ranAsWriter = [] {
  const char* suite = std::getenv("DEFAULTS_TEST_SUITE");
  const char* prefix = std::getenv("DEFAULTS_TEST_PREFIX");
  if (suite == nullptr) return false;
  if (prefix == nullptr) {
    platform::FileReplacement unfinished(suite);
    ::raise(SIGKILL);
  }
  Defaults writer(suite);
  bool written = true;
  for (int i = 0; i < keysPerWriter; ++i) written &= writer.set(prefix + std::to_string(i), double(i));
  std::_Exit(written ? 0 : 1);
}();

pid_t startSelf(const fs::path& suite, const char* prefix) {
  std::vector<std::string> variables{"DEFAULTS_TEST_SUITE=" + suite.string()};
  if (prefix != nullptr) variables.push_back("DEFAULTS_TEST_PREFIX=" + std::string(prefix));
  std::vector<char*> environment;
  for (auto& variable : variables) environment.push_back(variable.data());
  for (char** variable = environ; *variable != nullptr; ++variable) environment.push_back(*variable);
  environment.push_back(nullptr);
  char program[] = "/proc/self/exe";
  char* arguments[] = {program, nullptr};
  pid_t child = -1;
  EXPECT_EQ(::posix_spawn(&child, program, nullptr, nullptr, arguments, environment.data()), 0);
  return child;
}

int exitStatus(pid_t child) {
  int status = -1;
  ::waitpid(child, &status, 0);
  return status;
}

nlohmann::json fileContent(const fs::path& path) {
  std::ifstream file(path);
  return nlohmann::json::parse(file, nullptr, false);
}

std::set<std::string> namesIn(const fs::path& directory) {
  std::set<std::string> names;
  for (const auto& entry : fs::directory_iterator(directory)) names.insert(entry.path().filename());
  return names;
}

// A writer killed at any moment leaves the old file or a new one, never a mixture.
TEST(DefaultsTest, AWriterKilledAtRandomInAThousandWritesLeavesAFileThatParses) {
  const TemporaryDirectory directory;
  const fs::path path = fs::path(directory.path()) / "com.example.suite.json";
  std::ofstream(path) << R"({"padding": true, "time": 12)";  // malformed: reads as empty
  auto suite = Defaults::suite("com.example.suite", directory.path());
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

TEST(DefaultsTest, TwoProcessesWritingOneSuiteKeepEveryKeyOfBoth) {
  const TemporaryDirectory directory;
  auto suite = Defaults::suite("com.example.shared", directory.path());
  ASSERT_TRUE(suite->set("parent", true));
  const pid_t first = startSelf(suite->path(), "a"), second = startSelf(suite->path(), "b");
  EXPECT_EQ(exitStatus(first), 0);
  EXPECT_EQ(exitStatus(second), 0);
  EXPECT_EQ(fileContent(suite->path()).size(), 2u * keysPerWriter + 1);
  int seen = 0;  // by this process's suite, opened before the others wrote
  for (int i = 0; i < keysPerWriter; ++i)
    for (const char* prefix : {"a", "b"}) seen += suite->doubleForKey(prefix + std::to_string(i)) == i;
  EXPECT_EQ(seen, 2 * keysPerWriter);
  ASSERT_TRUE(suite->set("parent", false));
  EXPECT_EQ(fileContent(suite->path()).size(), 2u * keysPerWriter + 1);
}

TEST(DefaultsTest, ANewSuiteIsPrivateAndAReplacedFileKeepsItsPermissions) {
  const TemporaryDirectory directory;
  auto suite = Defaults::suite("com.example.private", directory.path());
  ASSERT_TRUE(suite->set("first", true));
  const auto mode = [](const fs::path& path) { return unsigned(fs::status(path).permissions()); };
  EXPECT_EQ(mode(suite->path()), 0600u);
  for (const unsigned chosen : {0640u, 0600u}) {
    fs::permissions(suite->path(), fs::perms(chosen));
    ASSERT_TRUE(suite->set("again", 1.0));
    EXPECT_EQ(mode(suite->path()), chosen);
  }
  const fs::path picture = fs::path(directory.path()) / "picture.png";
  std::ofstream(picture) << "old";
  fs::permissions(picture, fs::perms(0600));
  platform::FileReplacement replacement(picture);
  replacement.commit();
  EXPECT_EQ(mode(picture), 0600u);
}

TEST(DefaultsTest, AWriteRemovesTheTemporaryFileOfAKilledWriterAndKeepsThatOfALiveOne) {
  const TemporaryDirectory directory;
  auto suite = Defaults::suite("com.example.abandoned", directory.path());
  ASSERT_TRUE(suite->set("first", true));
  const std::set<std::string> settled = namesIn(directory.path());
  const int status = exitStatus(startSelf(suite->path(), nullptr));
  EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << status;
  const std::set<std::string> abandoned = namesIn(directory.path());
  ASSERT_EQ(abandoned.size(), settled.size() + 1) << "the killed writer left no temporary file";
  platform::FileReplacement live(suite->path());
  std::set<std::string> expected = settled;
  for (const std::string& name : namesIn(directory.path()))
    if (abandoned.count(name) == 0) expected.insert(name);  // the live one's temporary file
  ASSERT_TRUE(suite->set("second", true));
  EXPECT_EQ(namesIn(directory.path()), expected);
}

// Reading a suite (here one that stops in its read until the test writes into it, as a huge file would)
// holds up no other suite.
TEST(DefaultsTest, ASuiteBeingReadHoldsUpNoOtherSuite) {
  const TemporaryDirectory directory;
  const fs::path slow = fs::path(directory.path()) / "com.example.slow.json";
  ASSERT_EQ(::mkfifo(slow.c_str(), 0600), 0);
  auto reader = std::async(std::launch::async, [&] {
    return Defaults::suite("com.example.slow", directory.path())->doubleForKey("size");
  });
  int pipe = -1;  // opens without blocking only once the reader has the pipe open
  for (int tries = 0; pipe < 0 && tries < 10000;
       ++tries, std::this_thread::sleep_for(std::chrono::milliseconds(1)))
    pipe = ::open(slow.c_str(), O_WRONLY | O_NONBLOCK | O_CLOEXEC);
  ASSERT_GE(pipe, 0);
  auto other = std::async(std::launch::async, [&] {
    return Defaults::suite("com.example.other", directory.path())->set("opened", true);
  });
  const bool otherFinished = other.wait_for(std::chrono::seconds(2)) == std::future_status::ready;
  const std::string text = R"({"size": 116})";
  EXPECT_EQ(::write(pipe, text.data(), text.size()), ssize_t(text.size()));
  ::close(pipe);
  EXPECT_TRUE(otherFinished) << "another suite waited for the read";
  EXPECT_TRUE(other.get());
  EXPECT_EQ(reader.get(), 116);
}

}  // namespace
