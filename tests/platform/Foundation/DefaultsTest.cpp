#include <fcntl.h>
#include <grp.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <fstream>
#include <functional>
#include <future>
#include <random>
#include <set>
#include <thread>
#include <tuple>
#include <vector>

#include "Platform/Foundation/Defaults.hpp"
#include "Platform/Foundation/FileLock.hpp"
#include "Platform/Foundation/FileReplacement.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

namespace {

using platform::Defaults;
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using Clock = std::chrono::steady_clock;

int exitCodeOf(pid_t child) {
  int status = 0;
  return ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

Clock::duration timeOf(const std::function<void()>& call) {
  const Clock::time_point start = Clock::now();
  call();
  return Clock::now() - start;
}

// A child process that holds the suite's lock as a writer does for `hold`; -1 when it could not take it.
pid_t lockHolder(const fs::path& suite, Clock::duration hold) {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    const platform::FileLock lock(suite, 0600, Clock::now() + 10s);
    const char held = lock.held();
    if (::write(ready[1], &held, 1) == 1) std::this_thread::sleep_for(hold);
    ::_exit(0);
  }
  ::close(ready[1]);
  char held = 0;
  const bool told = ::read(ready[0], &held, 1) == 1;
  ::close(ready[0]);
  return told && held ? child : -1;
}

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
  // Another file's writer, which takes no suite lock, keeps its temporary file.
  const fs::path picture = fs::path(directory.path()) / "picture.png";
  platform::FileReplacement live(picture);
  ASSERT_TRUE(suite->set("second", true));
  live.commit();  // throws when its temporary file was taken
  std::set<fs::path> expected = settled;
  expected.insert(picture);
  EXPECT_EQ(entries(), expected);
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

TEST_F(DefaultsTest, ADirectoryInPlaceOfTheFileReadsAsTheValuesHeldAndTheChangeWaitsUntilItIsGone) {
  ASSERT_TRUE(suite->set("kept", 3.0));
  fs::remove(suite->path());
  fs::create_directory(suite->path());
  EXPECT_EQ(suite->doubleForKey("kept"), 3);
  EXPECT_FALSE(suite->set("late", true));
  EXPECT_TRUE(suite->boolForKey("late"));
  fs::remove(suite->path());
  ASSERT_TRUE(suite->set("after", 1.0));
  EXPECT_EQ(fileContent(suite->path()), (nlohmann::json{{"late", true}, {"after", 1.0}}));
}

TEST_F(DefaultsTest, AnotherProcessHoldingTheLockHoldsUpNoReadAndASetForAboutTwoSecondsAtMost) {
  ASSERT_TRUE(suite->set("before", 1.0));
  const pid_t briefHolder = lockHolder(suite->path(), 1s);
  ASSERT_GT(briefHolder, 0);
  auto waiting = std::async(std::launch::async, [&] { return suite->set("during", 2.0); });
  Clock::duration slowestRead{};
  for (const Clock::time_point until = Clock::now() + 700ms; Clock::now() < until;)
    slowestRead = std::max(slowestRead, timeOf([&] { EXPECT_EQ(suite->doubleForKey("before"), 1); }));
  EXPECT_LT(slowestRead, 50ms);
  EXPECT_TRUE(waiting.get()) << "the set gave up before the lock was released";
  EXPECT_EQ(exitCodeOf(briefHolder), 0);

  const pid_t longHolder = lockHolder(suite->path(), 5s);
  ASSERT_GT(longHolder, 0);
  const Clock::duration refused = timeOf([&] { EXPECT_FALSE(suite->set("refused", 3.0)); });
  EXPECT_LT(refused, 3s);
  ::kill(longHolder, SIGKILL);  // releases the lock
  exitCodeOf(longHolder);
  ASSERT_TRUE(suite->set("next", 4.0));
  EXPECT_EQ(fileContent(suite->path()),
            (nlohmann::json{{"before", 1.0}, {"during", 2.0}, {"refused", 3.0}, {"next", 4.0}}));
  RecordProperty("slowestReadMicroseconds", int(slowestRead / 1us));
  RecordProperty("refusedSetMilliseconds", int(refused / 1ms));
}

// Each child lives 1 s; one that kept the lock of a write it was forked during would hold every set as long.
TEST_F(DefaultsTest, ChildrenForkedDuringWritesHoldUpNoSet) {
  std::atomic<bool> forking = true;
  auto writer = std::async(std::launch::async, [&] {
    Clock::duration slowest{};
    int sets = 0, failed = 0;
    while (forking)
      slowest = std::max(slowest, timeOf([&] { failed += !suite->set("count", double(++sets)); }));
    return std::tuple(slowest, sets, failed);
  });
  std::vector<pid_t> children;
  for (const Clock::time_point until = Clock::now() + 1500ms; Clock::now() < until;) {
    const pid_t child = ::fork();
    if (child == 0) {
      const timespec life{1, 0};
      ::nanosleep(&life, nullptr);
      ::_exit(0);
    }
    children.push_back(child);
    std::this_thread::sleep_for(10ms);
  }
  forking = false;
  const auto [slowest, sets, failed] = writer.get();
  for (const pid_t child : children) exitCodeOf(child);
  EXPECT_EQ(failed, 0);
  EXPECT_LT(slowest, 500ms) << sets << " sets while " << children.size() << " children were forked";
  RecordProperty("setsWithForks", sets);
}

// Every writer outside the namespace has a process id that names no process inside it, or another one.
TEST_F(DefaultsTest, AWriterInItsOwnPidNamespaceTakesNoTemporaryOfAnotherSuite) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to make a PID namespace";
  const fs::path stop = fs::path(directory.path()) / "stop";
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t outer = ::fork();
  if (outer == 0) {
    ::close(ready[0]);
    if (::unshare(CLONE_NEWPID) != 0) ::_exit(2);
    const pid_t inner = ::fork();
    if (inner == 0) {
      const char first = ::getpid() == 1 ? 'y' : 'n';
      if (::write(ready[1], &first, 1) != 1) ::_exit(3);
      Defaults other(fs::path(directory.path()) / "com.example.other.json");
      for (int i = 0; !fs::exists(stop) && i < 100000; ++i) other.set("count", double(i));
      ::_exit(0);
    }
    ::_exit(exitCodeOf(inner));
  }
  ::close(ready[1]);
  char first = 0;
  const bool started = ::read(ready[0], &first, 1) == 1;
  ::close(ready[0]);
  if (!started) {
    exitCodeOf(outer);
    GTEST_SKIP() << "unshare(CLONE_NEWPID) is not permitted here";
  }
  EXPECT_EQ(first, 'y') << "the writer is not process 1 of its namespace";
  const int writes = 1000;
  int failed = 0;
  for (int i = 0; i < writes; ++i) failed += !suite->set("count", double(i));
  EXPECT_TRUE(std::ofstream(stop).good());
  EXPECT_EQ(exitCodeOf(outer), 0);
  EXPECT_EQ(failed, 0) << "of " << writes;
}

TEST_F(DefaultsTest, OtherUsersKeepTheirFilesAndMayChangeASuiteMadeWritableForThem) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  constexpr uid_t nobody = 65534;
  const pid_t gone = ::fork();  // a process id that names no process once reaped
  if (gone == 0) ::_exit(0);
  exitCodeOf(gone);
  const fs::path foreign =
      fs::path(directory.path()) / (".com.example.suite.json." + std::to_string(gone) + ".0.replacing");
  ASSERT_TRUE(std::ofstream(foreign) << "{}");
  ASSERT_EQ(::chown(foreign.c_str(), nobody, nobody), 0);
  ASSERT_TRUE(suite->set("owner", 1.0));
  EXPECT_TRUE(fs::exists(foreign)) << "another user's file was removed";

  fs::permissions(directory.path(), fs::perms::all);
  fs::permissions(suite->path(), fs::perms(0666));
  ASSERT_TRUE(suite->set("owner", 2.0));  // gives the lock file the suite's new bits
  const pid_t guest = ::fork();
  if (guest == 0) {
    const bool asNobody = ::setgroups(0, nullptr) == 0 && ::setgid(nobody) == 0 && ::setuid(nobody) == 0;
    ::_exit(asNobody && Defaults(suite->path()).set("guest", true) ? 0 : 1);
  }
  EXPECT_EQ(exitCodeOf(guest), 0);
  EXPECT_EQ(fileContent(suite->path()), (nlohmann::json{{"owner", 2.0}, {"guest", true}}));
}

}  // namespace
