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
#include <optional>
#include <random>
#include <ranges>
#include <set>
#include <thread>
#include <vector>

#include "Platform/Foundation/Defaults.hpp"
#include "Platform/Foundation/FileLock.hpp"
#include "Platform/Foundation/FileReplacement.hpp"
#include "tests/platform/Foundation/ChildProcess.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

namespace {

using platform::Defaults;
namespace fs = std::filesystem;
using namespace std::chrono_literals;
using childprocess::Clock;
using childprocess::exitCodeOf;
using childprocess::forked;
constexpr uid_t nobody = 65534;

Clock::duration timeOf(const std::function<void()>& call) {
  const Clock::time_point start = Clock::now();
  call();
  return Clock::now() - start;
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
  for (const std::string& name : std::vector<std::string>{"", ".", "..", "a/b", std::string(250, 'n')})
    EXPECT_EQ(Defaults::suite(name, directory.path()), nullptr) << name;
  std::string longest(255, 'n');  // the longest name that gives a suite, whose lock and temporaries fit too
  while (!Defaults::suite(longest, directory.path())) longest.pop_back();
  EXPECT_TRUE(Defaults::suite(longest, directory.path())->set("long", true)) << longest.size();
}

// JSON text is UTF-8: another key would be written in place of one that is not ("caf\uFFFD" for both).
TEST_F(DefaultsTest, AKeyThatIsNotUtf8IsRefusedAndNotKept) {
  EXPECT_FALSE(suite->set("caf\xe9", 1.0));
  EXPECT_FALSE(suite->set("caf\xe8", true));
  EXPECT_EQ(suite->doubleForKey("caf\xe9"), 0);
  EXPECT_TRUE(suite->set("caf\u00e9", 3.0));
  EXPECT_EQ(fileContent(suite->path()), (nlohmann::json{{"caf\u00e9", 3.0}}));
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
  std::set<fs::path> settled = entries();
  if (::fork() == 0) {
    platform::FileReplacement unfinished(suite->path());
    ::raise(SIGKILL);
  }
  ::wait(nullptr);
  ASSERT_EQ(entries().size(), settled.size() + 1) << "the killed writer left no temporary file";
  const fs::path picture = fs::path(directory.path()) / "picture.png";
  platform::FileReplacement live(picture);  // another file's writer takes no suite lock: its temporary stays
  ASSERT_TRUE(suite->set("second", true));
  live.commit();  // throws when its temporary file was taken
  settled.insert(picture);
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

// A set kept out by a directory in the file's place, or by another process's lock for ~2 s, gives false.
TEST_F(DefaultsTest, ASetThatCannotWriteGivesFalseAndItsChangeGoesWithTheNextOne) {
  ASSERT_TRUE(suite->set("kept", 3.0));
  fs::remove(suite->path());
  fs::create_directory(suite->path());
  EXPECT_EQ(suite->doubleForKey("kept"), 3);
  EXPECT_FALSE(suite->set("late", true));
  fs::remove(suite->path());
  const pid_t holder = forked([&] {  // holds the lock as a writer does, for 5 s
    const platform::FileLock lock(suite->path(), 0600, Clock::now() + 10s);
    return std::this_thread::sleep_for(5s), 0;
  });
  for (int tries = 0; tries < 5000 && platform::FileLock(suite->path(), 0600, Clock::now()).held(); ++tries)
    std::this_thread::sleep_for(1ms);  // until the holder has it
  auto refused = std::async(std::launch::async,
                            [&] { return timeOf([&] { EXPECT_FALSE(suite->set("refused", 2.0)); }); });
  // No read waits for the lock, held 5 s.
  for (const Clock::time_point until = Clock::now() + 700ms; Clock::now() < until;)
    EXPECT_LT(timeOf([&] { EXPECT_TRUE(suite->boolForKey("late")); }), 500ms);
  const Clock::duration waited = refused.get();
  EXPECT_TRUE(waited > 1s && waited < 3s) << "the set waited " << waited / 1ms << " ms";
  auto next = std::async(std::launch::async, [&] { return suite->set("next", 3.0); });
  std::this_thread::sleep_for(500ms);  // the set waits for the lock meanwhile
  ::kill(holder, SIGKILL);             // releases the lock
  exitCodeOf(holder);
  ASSERT_TRUE(next.get()) << "a set waiting for the lock failed once it was released";
  EXPECT_EQ(fileContent(suite->path()), (nlohmann::json{{"late", true}, {"refused", 2.0}, {"next", 3.0}}));
}

// Each child lives 1 s; one that kept the lock of a write it was forked during would hold every set as long.
TEST_F(DefaultsTest, ChildrenForkedDuringWritesHoldUpNoSet) {
  auto sets = std::async(std::launch::async, [&] {
    const Clock::time_point until = Clock::now() + 1500ms;
    for (int i = 0; Clock::now() < until; ++i)
      EXPECT_LT(timeOf([&] { EXPECT_TRUE(suite->set("count", double(i))); }), 500ms);
  });
  std::vector<pid_t> children;  // one each 10 ms while the sets go on
  while (sets.wait_for(10ms) == std::future_status::timeout)
    children.push_back(forked([] { return std::this_thread::sleep_for(1s), 0; }));
  for (const pid_t child : children) EXPECT_EQ(exitCodeOf(child), 0);
}

// Every writer outside the namespace has a process id that names no process inside it, or another one.
TEST_F(DefaultsTest, AWriterInItsOwnPidNamespaceTakesNoTemporaryOfAnotherSuite) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to make a PID namespace";
  const pid_t outer = forked([&] {
    if (::unshare(CLONE_NEWPID) != 0) return 2;
    return exitCodeOf(forked([&] {
      Defaults other(fs::path(directory.path()) / "com.example.other.json");
      for (int i = 0; i < 1000; ++i) other.set("count", double(i));
      return 0;
    }));
  });
  int status = 0, failed = 0;
  for (int i = 0; ::waitpid(outer, &status, WNOHANG) == 0; ++i)  // writes for as long as the other writer
    failed += !suite->set("count", double(i));
  if (WIFEXITED(status) && WEXITSTATUS(status) == 2) GTEST_SKIP() << "unshare(CLONE_NEWPID) is not permitted";
  EXPECT_EQ(status, 0);
  EXPECT_EQ(failed, 0);
}

TEST_F(DefaultsTest, OtherUsersKeepTheirFilesAndMayChangeASuiteMadeWritableForThem) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as another user";
  // Named as a temporary of the suite left by a process id no process can have.
  const fs::path foreign = fs::path(directory.path()) / ".com.example.suite.json.2147483647.0.replacing";
  ASSERT_TRUE(std::ofstream(foreign) << "{}");
  ASSERT_EQ(::chown(foreign.c_str(), nobody, nobody), 0);
  ASSERT_TRUE(suite->set("owner", 1.0));
  EXPECT_TRUE(fs::exists(foreign)) << "another user's file was removed";
  fs::permissions(directory.path(), fs::perms::all);
  fs::permissions(suite->path(), fs::perms(0666));
  ASSERT_TRUE(suite->set("owner", 2.0));  // gives the lock file the suite's new bits
  const pid_t guest = forked([&] {        // exits 0 once it changed the suite as that user
    return ::setgroups(0, nullptr) || ::setgid(nobody) || ::setuid(nobody) ||
           !Defaults(suite->path()).set("guest", true);
  });
  EXPECT_EQ(exitCodeOf(guest), 0);
  EXPECT_EQ(fileContent(suite->path()), (nlohmann::json{{"owner", 2.0}, {"guest", true}}));
}

// Eight threads on the suite spelled three ways and on objects of their own spelled two more: not one set
// that gave true is lost.
TEST_F(DefaultsTest, EverySpellingOfAFolderIsOneSuiteAndNoSetThatGaveTrueIsLost) {
  const fs::path real = fs::path(directory.path()) / "settings", link = fs::path(directory.path()) / "link";
  fs::create_directory(real);
  fs::create_directory_symlink(real, link);
  const std::string name = "com.example.shared";
  EXPECT_EQ(Defaults::suite(name, link), Defaults::suite(name, real / "."));
  const std::shared_ptr<Defaults> spellings[] = {Defaults::suite(name, real), Defaults::suite(name, link),
                                                 std::make_shared<Defaults>(link / "." / (name + ".json")),
                                                 std::make_shared<Defaults>(real / (name + ".json"))};
  std::vector<std::string> setTrue[8];
  std::vector<std::thread> writers;
  for (int thread = 0; thread < 8; ++thread)
    writers.emplace_back([&, thread] {
      for (int i = 0; i < 50; ++i)
        if (const std::string key = std::to_string(thread * 100 + i); spellings[thread % 4]->set(key, true))
          setTrue[thread].push_back(key);
    });
  for (std::thread& writer : writers) writer.join();
  const nlohmann::json stored = fileContent(real / (name + ".json"));
  std::size_t kept = 0, lost = 0;
  for (const auto& keys : setTrue)
    for (const std::string& key : keys) ++(stored.contains(key) ? kept : lost);
  EXPECT_EQ(lost, 0u) << kept << " kept";
  EXPECT_GT(kept, 360u) << "sets gave false";
}

// Eight threads set keys while the suite's folder is renamed away and made anew, 40 times or once (as a
// user resetting their settings does): every key whose set gave true is in one of the folders' files, and
// each one set after the last move in the file now at the path.
TEST_F(DefaultsTest, NoSetThatGaveTrueIsLostWhileTheFolderIsReplaced) {
  std::size_t sets = 0, refused = 0;
  for (int run = 0; run < 6; ++run) {
    const int moves = run % 2 ? 1 : 40;
    const fs::path base = fs::path(directory.path()) / std::to_string(run), folder = base / "cfg";
    const std::shared_ptr<Defaults> moved = Defaults::suite("com.example.moved", folder);
    std::atomic<int> done = 0;  // moves done, one more once the writers are to stop
    std::vector<std::tuple<std::string, bool, bool>> setsOf[8];  // key, set after the last move, gave true
    std::vector<std::thread> writers;
    for (int thread = 0; thread < 8; ++thread)
      writers.emplace_back([&, thread] {
        for (int i = 0; done <= moves; ++i) {
          const bool after = done == moves;
          const std::string key = std::to_string(thread * 100'000 + i);
          setsOf[thread].emplace_back(key, after, moved->set(key, true));
        }
      });
    for (std::error_code ignored; done <= moves; ++done) {  // the writers make the folder anew
      std::this_thread::sleep_for(5ms);
      if (done < moves) fs::rename(folder, base / std::to_string(done), ignored);
    }
    for (std::thread& writer : writers) writer.join();
    std::set<std::string> stored, current;  // in the folders moved away, and in the one at the path
    for (const fs::path& entry : fs::directory_iterator(base))
      if (const nlohmann::json found = fileContent(entry / "com.example.moved.json"); found.is_object())
        for (const auto& [key, value] : found.items()) (entry == folder ? current : stored).insert(key);
    for (const auto& [key, after, written] : setsOf | std::views::join) {
      ++sets, refused += !written;
      EXPECT_TRUE(!written || current.contains(key) || (!after && stored.contains(key))) << key << " " << run;
    }
  }
  EXPECT_LT(refused * 20, sets) << "sets gave false";
}

// In a folder every user may write to (not sticky), another user swaps the lock file's name between a file
// of theirs, a hard link to the owner's lock file and a symbolic link to a private file of the owner's while
// the owner sets: no mode changes through the name, and a set once the folder is sane again writes.
TEST_F(DefaultsTest, ALockFileNameSwappedByAnotherUserChangesNoOtherFilesMode) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as the suite's owner and as another user";
  const fs::path shared = fs::path(directory.path()) / "shared", secret = fs::path(directory.path()) / "key";
  fs::create_directory(shared);
  for (const fs::path& open : {fs::path(directory.path()), shared}) fs::permissions(open, fs::perms::all);
  std::ofstream(secret) << "private";
  ASSERT_EQ(::chown(secret.c_str(), nobody, nobody) | ::chmod(secret.c_str(), 0600), 0);
  const fs::path path = shared / "com.example.shared.json",
                 lockFile = shared / ".com.example.shared.json.lock";
  const auto asOwner = [](const std::function<bool()>& body) {  // exits 0 when the body gives true
    return forked([&] { return ::setgroups(0, nullptr) || ::setgid(nobody) || ::setuid(nobody) || !body(); });
  };
  ASSERT_EQ(
      exitCodeOf(asOwner([&] { return Defaults(path).set("a", true) && !::chmod(path.c_str(), 0666); })), 0);
  const fs::path kept = shared / "kept", link = shared / "link";  // the owner's lock file, a link to the key
  fs::rename(lockFile, kept);
  fs::create_symlink(secret, link);
  std::ofstream(lockFile).put('\n');  // the other user's: the owner cannot open it
  const pid_t owner = asOwner([&] {
    Defaults own(path);
    for (const Clock::time_point until = Clock::now() + 3s; Clock::now() < until;) own.set("count", 1.0);
    return true;
  });
  // Swapping with each in turn, the name holds the other user's file, the owner's lock file, the link, ...
  for (int i = 0, status = 0; ::waitpid(owner, &status, WNOHANG) == 0; ++i)
    ::renameat2(AT_FDCWD, (i % 2 ? link : kept).c_str(), AT_FDCWD, lockFile.c_str(), RENAME_EXCHANGE);
  EXPECT_EQ(unsigned(fs::status(secret).permissions()), 0600u);
  for (const fs::path& entry : {lockFile, kept, link}) fs::remove(entry);
  EXPECT_EQ(exitCodeOf(asOwner([&] { return Defaults(path).set("after", true); })), 0);
}

// As an ordinary user: the suite made unreadable, then read-only, then open again, and a lock file an
// earlier mode closed to its owner. The lock file's owner keeps reading and writing it, so each next set
// writes every change kept meanwhile.
TEST_F(DefaultsTest, ASuiteMadeUnreadableOrReadOnlyIsWrittenWholeOnceItIsNotAgain) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to act as an ordinary user";
  const fs::path folder = fs::path(directory.path()) / "user";
  fs::create_directory(folder);
  ASSERT_EQ(::chown(folder.c_str(), nobody, nobody), 0);
  fs::permissions(directory.path(), fs::perms::all);
  const fs::path path = folder / "com.example.user.json", lockFile = folder / ".com.example.user.json.lock";
  const std::tuple<mode_t, mode_t, std::string> modes[] = {{0000, 0600, "unreadable"},
                                                           {0444, 0644, "read-only"}};
  const pid_t user = forked([&] {  // exits with the number of the set that failed, 0 when none did
    if (::setgroups(0, nullptr) || ::setgid(nobody) || ::setuid(nobody)) return 100;
    Defaults users(path);
    if (!users.set("first", true)) return 1;
    int step = 1;
    for (const auto& [shut, open, what] : modes) {
      ++step;
      ::chmod(path.c_str(), shut);
      users.set("while " + what, true);  // false when it cannot read the suite
      ::chmod(path.c_str(), open);
      if (!users.set("after " + what, true)) return step;
    }
    ::chmod(lockFile.c_str(), 0444);
    return Defaults(path).set("fresh", true) ? 0 : 4;  // a new object, as in a new process
  });
  EXPECT_EQ(exitCodeOf(user), 0);
  nlohmann::json expected = {{"first", true}, {"fresh", true}};
  for (const auto& [shut, open, what] : modes) expected["while " + what] = expected["after " + what] = true;
  EXPECT_EQ(fileContent(path), expected);
  EXPECT_EQ(fs::status(lockFile).permissions(), fs::perms(0644));
}

// A value nested thousands deep makes a malformed file: it reads as empty and is replaced whole, neither
// ending the process nor growing the file by an indentation per level. A shallow one is kept, brackets in
// its texts not counted.
TEST_F(DefaultsTest, ASuiteNestedThousandsDeepIsMalformedAndReplacedWhole) {
  const std::string text = nlohmann::json(R"(\")" + std::string(1000, '[')).dump();
  for (const std::size_t depth : {100u, 10'000u, 300'000u}) {
    std::ofstream(suite->path()) << R"({"kept": true, "text": )" << text << R"(, "deep": )"
                                 << std::string(depth, '[') << std::string(depth, ']') << "}";
    const bool malformed = depth > 100;
    const auto readAndSet = [&] {
      childprocess::limitAddressSpace(256 << 20);
      Defaults own(suite->path());
      const bool kept = own.boolForKey("kept");
      return !own.set("after", true) ? 2 : kept == malformed ? 1 : 0;
    };
    EXPECT_EQ(exitCodeOf(forked(readAndSet)), 0) << depth;
    const nlohmann::json stored = fileContent(suite->path());
    EXPECT_EQ(stored.size(), malformed ? 1u : 4u) << depth;
    EXPECT_TRUE(stored.value("after", false)) << depth;
  }
}

// With no memory left, no call lets std::bad_alloc out: a set gives false, a read the values held, a lookup
// null. With memory back, the suite writes again (no lock was left held).
TEST_F(DefaultsTest, NoCallLetsAnAllocationFailureOut) {
  if (!childprocess::addressSpaceCanBeLimited)
    GTEST_SKIP() << "no address-space limit holds under a sanitizer";
  ASSERT_TRUE(suite->set("held", 2.0));
  const std::string other = "com.example.other";  // the arguments made while there is memory
  const fs::path folder = directory.path();
  const auto withoutMemory = [&] {
    childprocess::limitAddressSpace(4 << 20);
    std::optional<childprocess::AllMemory> taken(std::in_place);
    if (suite->set("refused", true) || !suite->boolForKey("held") || suite->doubleForKey("held") != 2 ||
        Defaults::suite(other, folder))
      return 1;
    taken.reset();
    return suite->set("after", true) ? 0 : 2;
  };
  EXPECT_EQ(exitCodeOf(forked(withoutMemory)), 0);
  const nlohmann::json stored = fileContent(suite->path());
  EXPECT_EQ(stored.value("held", 0.0), 2);
  EXPECT_TRUE(stored.value("after", false));
}

TEST_F(DefaultsTest, AFolderSpelledThroughALinkThenDotDotIsTheOneTheSystemResolves) {
  const fs::path base = directory.path();
  fs::create_directories(base / "a" / "b");
  fs::create_directory_symlink(base / "a" / "b", base / "link");
  ASSERT_TRUE(Defaults::suite("com.example.suite", base / "link" / ".." / "cfg")->set("where", true));
  std::ofstream(base / "file").put('\n');  // open(2) refuses a path through it
  EXPECT_FALSE(Defaults::suite("com.example.suite", base / "file" / ".." / "a" / "cfg")->set("where", false));
  EXPECT_EQ(fileContent(base / "a" / "cfg" / "com.example.suite.json"), (nlohmann::json{{"where", true}}));
  EXPECT_FALSE(fs::exists(base / "cfg"));
}

// A suite of 116 MB, as some hold, is read and written; one past the size bound (sparse: it takes no disk)
// is not read at all, even under an address-space limit: it reads as the values held, and a set gives false.
TEST_F(DefaultsTest, ASuiteIsReadUpToItsSizeBoundAndNoFurther) {
  if (!childprocess::addressSpaceCanBeLimited)
    GTEST_SKIP() << "no address-space limit holds under a sanitizer";
  std::ofstream(suite->path()) << nlohmann::json{{"large", std::string(116 << 20, 'x')}, {"count", 1}};
  const auto readAndSet = [&] {
    childprocess::limitAddressSpace(std::size_t(1) << 30);
    Defaults own(suite->path());
    if (own.doubleForKey("count") != 1 || !own.set("count", 2.0)) return 1;
    fs::resize_file(suite->path(), std::uintmax_t(4) << 30);
    return own.set("count", 3.0) || own.doubleForKey("count") != 3 ? 2 : 0;
  };
  EXPECT_EQ(exitCodeOf(forked(readAndSet)), 0);
  EXPECT_EQ(fs::file_size(suite->path()), std::uintmax_t(4) << 30) << "the file was replaced";
}

}  // namespace
