#include <gtest/gtest.h>

#include <tuple>

#include "Platform/System/ProcessStat.hpp"
#include "Platform/System/ProcessTable.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

namespace {

constexpr std::uint64_t userFlags = 0x00400100;
constexpr std::uint64_t kernelThreadFlags = 0x00208040;

// A stat line as the kernel writes it, with the fields this library reads set from the arguments.
std::string statLine(std::int64_t pid, const std::string& name, char state, int ppid, int utime, int stime,
                     int threads, std::uint64_t flags = userFlags) {
  return std::to_string(pid) + " (" + name + ") " + state + " " + std::to_string(ppid) + " 1 1 0 -1 " +
         std::to_string(flags) + " 100 0 0 0 " + std::to_string(utime) + " " + std::to_string(stime) +
         " 0 0 20 0 " + std::to_string(threads) +
         " 0 145305 6541312 401 18446744073709551615 1 1 0 0 0 0 0 0 0 0 0 0 17 5 0 0 0 0 0\n";
}

TEST(ProcessStatTest, ReadsTheFieldsAfterTheLastParenthesis) {
  const std::string text = statLine(4242, "a) b (c", 'S', 1, 250, 50, 3);
  auto stat = platform::parseProcessStat(text);
  ASSERT_TRUE(stat.has_value());
  EXPECT_EQ(std::tuple(stat->pid, stat->name, stat->state, stat->ppid, stat->userTicks, stat->systemTicks,
                       stat->threads),
            std::tuple(4242, "a) b (c", 'S', 1, 250u, 50u, 3));
  EXPECT_EQ(platform::parseProcessStat(statLine(7, "", 'R', 0, 0, 0, 1))->name, "");
  EXPECT_EQ(platform::parseProcessStat(statLine(7, "two\nlines", 'R', 0, 0, 0, 1))->name, "two\nlines");
  EXPECT_TRUE(platform::parseProcessStat(statLine(9, "gone", 'Z', 1, 0, 0, 1))->isZombie());
  EXPECT_TRUE(platform::parseProcessStat(statLine(9, "gone", 'X', 1, 0, 0, 1))->isZombie());
}

TEST(ProcessStatTest, RejectsCutAndMalformedLines) {
  const std::string text = statLine(4242, "bash", 'S', 1, 250, 50, 3);
  // Cut anywhere up to the field after starttime: starttime could itself be cut short.
  const std::size_t vsize = text.find(" 6541312");
  for (std::size_t length = 0; length <= vsize + 1; ++length) {
    EXPECT_FALSE(platform::parseProcessStat(text.substr(0, length)).has_value()) << length;
  }
  EXPECT_EQ(platform::parseProcessStat(text.substr(0, vsize + 2))->startTime, 145305u);
  // No parentheses, pid beyond 31 bits or negative, negative ppid or utime, a ")" before the "(".
  for (const std::string& line :
       {std::string("4242 bash S 1"), statLine(2147483648, "x", 'S', 1, 0, 0, 1),
        statLine(-1, "x", 'S', 1, 0, 0, 1), statLine(5, "x", 'S', -1, 0, 0, 1),
        statLine(5, "x", 'S', 1, -2, 0, 1),
        std::string("5 x) (y S 1 1 1 0 -1 4194560 100 0 0 0 1 1 0 0 20 0 1 0 1 1 1 1 1")}) {
    EXPECT_FALSE(platform::parseProcessStat(line).has_value()) << line;
  }
  // statm gives its resident column only when it is whole.
  EXPECT_EQ(platform::parseStatmResidentPages("1597 451 423 5 0 123 0\n"), 451u);
  for (const char* statm : {"1597 451", "1597 -451 423", ""}) {
    EXPECT_EQ(platform::parseStatmResidentPages(statm), std::nullopt) << statm;
  }
}

// pid, ppid, state, name, ticks, threads and resident bytes of an entry.
using Row =
    std::tuple<std::int32_t, std::int32_t, char, std::string, std::uint64_t, std::int64_t, std::uint64_t>;

std::vector<Row> rows(const std::vector<platform::ProcessEntry>& entries) {
  std::vector<Row> result;
  for (const auto& e : entries) {
    result.emplace_back(e.pid, e.ppid, e.state, e.name, e.cpuTicks, e.threads, e.residentBytes);
  }
  return result;
}

TEST(ProcessTableTest, ListsEveryReadableProcessAndReusesItsEntries) {
  auto source = std::make_shared<platform::MemoryTextSource>();
  source->setFile("/proc/1/stat", statLine(1, "init", 'S', 0, 100, 20, 1));
  source->setFile("/proc/1/statm", "5000 300 200 1 0 100 0\n");
  source->setFile("/proc/2/stat", statLine(2, "kthreadd", 'S', 0, 7, 0, 1, kernelThreadFlags));
  source->setFile("/proc/17/stat", statLine(17, "worker (x)", 'R', 1, 5, 5, 4));
  source->setFile("/proc/17/statm", "900 10 5 1 0 10 0\n");
  source->setFile("/proc/18/stat", statLine(18, "defunct", 'Z', 1, 0, 0, 1));
  source->setFile("/proc/18/statm", "0 0 0 0 0 0 0\n");
  source->setFile("/proc/19/stat", statLine(20, "liar", 'S', 1, 0, 0, 1));  // names another pid
  source->setFile("/proc/19/statm", "1 1 1 1 1 1 1\n");
  source->setFile("/proc/21/stat", "21 (cut");
  source->setFile("/proc/22/status", "Name: no stat\n");                     // ended before its stat was read
  source->setFile("/proc/23/stat", statLine(23, "ended", 'S', 1, 1, 1, 1));  // ended before its statm
  source->setFile("/proc/meminfo", "MemTotal: 1 kB\n");
  source->setFile("/proc/self/stat", statLine(1, "init", 'S', 0, 100, 20, 1));

  platform::ProcessTable table(source, 4096);
  std::vector<platform::ProcessEntry> entries(6);
  // In the order the source lists /proc: 1, 17, 18, 19, 2, 21, 22, 23.
  ASSERT_TRUE(table.scan(entries, true, 0));
  // The zombie and the kernel thread have no statm to read; 19, 21, 22 and 23 are left out.
  EXPECT_EQ(rows(entries), (std::vector<Row>{{1, 0, 'S', "init", 120, 1, 300 * 4096},
                                             {17, 1, 'R', "worker (x)", 10, 4, 10 * 4096},
                                             {18, 1, 'Z', "defunct", 0, 1, 0},
                                             {2, 0, 'S', "kthreadd", 7, 1, 0}}));

  // Without resident memory no statm is needed: the process whose statm is missing is counted.
  ASSERT_TRUE(table.scan(entries, false, 0));
  ASSERT_EQ(entries.size(), 5u);
  EXPECT_EQ(std::tuple(entries[0].residentBytes, entries[4].pid), std::tuple(0u, 23));

  source->remove("/proc/1/stat");
  source->setFile("/proc/17/stat", statLine(17, "w", 'S', 1, 6, 5, 2));
  const std::string* reused = &entries[0].name;
  ASSERT_TRUE(table.scan(entries, true, 0));
  ASSERT_EQ(entries.size(), 3u);
  EXPECT_EQ(std::tuple(&entries[0].name, entries[0].name, entries[0].cpuTicks), std::tuple(reused, "w", 11u));

  EXPECT_FALSE(
      platform::ProcessTable(std::make_shared<platform::MemoryTextSource>(), 4096).scan(entries, true, 0));
  EXPECT_TRUE(entries.empty());
  ASSERT_TRUE(table.scan(entries, true, 0));
  for (int pid : {2, 17, 18, 19, 21, 23}) source->remove("/proc/" + std::to_string(pid) + "/stat");
  EXPECT_FALSE(table.scan(entries, true, 0));  // /proc/meminfo is left, but no process
  EXPECT_TRUE(entries.empty());
}

// ps ran just before and just after the copy of /proc; a process in both listings was there throughout.
TEST(ProcessTableTest, RecordedSamplesHoldEveryProcessThatPsListedBeforeAndAfter) {
  for (int sample : {0, 1}) {
    SCOPED_TRACE(sample);
    auto constants = systemtest::sampleConstants(sample);
    auto source = systemtest::sampleSource(sample);
    platform::ProcessTable table(source, constants.pageSize);
    std::vector<platform::ProcessEntry> entries;
    ASSERT_TRUE(table.scan(entries, true, 0));
    std::map<std::int32_t, const platform::ProcessEntry*> byPid;
    for (const auto& entry : entries) byPid[entry.pid] = &entry;

    auto before = systemtest::parsePs(systemtest::fileText(systemtest::samplePath(sample) / "ps-before.txt"));
    auto after = systemtest::parsePs(systemtest::fileText(systemtest::samplePath(sample) / "ps.txt"));
    int compared = 0;
    for (const auto& [pid, row] : before) {
      if (!after.contains(pid) || after.at(pid).command != row.command) continue;
      ASSERT_TRUE(byPid.contains(pid)) << pid << " " << row.command;
      const auto& entry = *byPid.at(pid);
      EXPECT_EQ(std::tuple(entry.ppid, entry.name, entry.state),
                std::tuple(row.ppid, row.command, row.stat.front()));
      // The resident size of a process that kept it through both listings is ps's to the page (ps reads the
      // exact counters, as statm does).
      if (row.rssKiB == after.at(pid).rssKiB) {
        EXPECT_EQ(entry.residentBytes, row.rssKiB * 1024) << pid;
      }
      ++compared;
    }
    EXPECT_GT(compared, 50);
  }
}

}  // namespace
