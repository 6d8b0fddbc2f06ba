// The host-wide readers of /proc and /sys: memory, processor load, processor facts and processes.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <map>
#include <sstream>
#include <tuple>

#include "Platform/System/CpuList.hpp"
#include "Platform/System/CpuStat.hpp"
#include "Platform/System/CpuTopology.hpp"
#include "Platform/System/HostMemory.hpp"
#include "Platform/System/MemInfo.hpp"
#include "Platform/System/ProcessStat.hpp"
#include "Platform/System/ProcessTable.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

using testing::ElementsAre;

namespace {

constexpr std::uint64_t KiB = 1024;

const char* const meminfoText =
    "MemTotal:       16000000 kB\n"
    "MemFree:         4000000 kB\n"
    "MemAvailable:    9000000 kB\n"
    "Active:          5000000 kB\n"
    "Inactive:        3000000 kB\n"
    "Active(anon):    1000000 kB\n"
    "Inactive(anon):   200000 kB\n"
    "Inactive(file):  2800000 kB\n"
    "Unevictable:       20000 kB\n"
    "Zswap:              7000 kB\n"
    "SUnreclaim:        30000 kB\n"
    "KernelStack:        4000 kB\n"
    "PageTables:         5000 kB\n"
    "Percpu:             3000 kB\n"
    "HugePages_Total:       0\n";

TEST(MemInfoTest, ReadsTheNamedLinesInBytesAndTheHalvesOfInactive) {
  const auto info = platform::parseMemInfo(meminfoText).value();
  EXPECT_EQ(
      (std::vector{info.total, info.free, info.active, info.inactive, info.unevictable,
                   info.slabUnreclaimable, info.kernelStack, info.pageTables, info.perCpu, info.zswap}),
      (std::vector<std::uint64_t>{16000000 * KiB, 4000000 * KiB, 5000000 * KiB, 3000000 * KiB, 20000 * KiB,
                                  30000 * KiB, 4000 * KiB, 5000 * KiB, 3000 * KiB, 7000 * KiB}));
  EXPECT_EQ(std::tuple(info.inactiveAnon, info.inactiveFile), std::tuple(200000 * KiB, 2800000 * KiB));
  // The four main lines are required, in any order; the others default to zero.
  const auto minimal =
      platform::parseMemInfo("Inactive: 3 kB\nActive: 4 kB\nMemFree: 2 kB\nMemTotal: 1 kB\n").value();
  EXPECT_EQ(std::tuple(minimal.total, minimal.inactive, minimal.perCpu + minimal.zswap),
            std::tuple(1 * KiB, 3 * KiB, 0u));
  EXPECT_FALSE(minimal.inactiveAnon || minimal.inactiveFile);
  EXPECT_FALSE(platform::parseMemInfo("MemTotal: 1 kB\nMemFree: 2 kB\nActive: 4 kB\n").has_value());
}

TEST(MemInfoTest, DamagedValuesCountAsMissing) {
  const std::string rest = "MemFree: 2 kB\nActive: 4 kB\nInactive: 3 kB\n";
  // Without its unit the number may have been cut short; a value that overflows in bytes is no value.
  for (const char* total : {"MemTotal: 16000\n", "MemTotal: 18014398509481984 kB\n", "MemTotal: -5 kB\n"})
    EXPECT_FALSE(platform::parseMemInfo(total + rest).has_value()) << total;
  // The first valid line of a name counts.
  EXPECT_EQ(platform::parseMemInfo("MemTotal: x kB\nMemTotal: 8 kB\nMemTotal: 9 kB\n" + rest).value().total,
            8 * KiB);
}

TEST(HostMemoryTest, WiredSumsUnreclaimableKernelMemoryAndCompressedAddsZswapToEveryZramDevice) {
  // The memory controller's tests cover an unreadable meminfo and one without the halves of Inactive.
  platform::MemoryTextSource source;
  source.setFile("/proc/meminfo", meminfoText);
  source.setFile("/sys/block/zram0/mm_stat",
                 "  4096000  1000000  1200000        0  1500000       10        2    0\n");
  source.setFile("/sys/block/zram1/mm_stat", "  8192  2048  4096 0 4096 0 0 0\n");
  source.setFile("/sys/block/zram2/disksize", "0\n");  // a device without mm_stat counts as nothing
  source.setFile("/sys/block/vda/stat", "1 2 3\n");
  const auto memory = platform::readHostMemory(source).value();
  // Anonymous inactive memory counts as active; the droppable file cache stays inactive.
  EXPECT_EQ(std::tuple(memory.physical, memory.free, memory.active, memory.inactive, memory.wired,
                       memory.compressed),
            std::tuple(16000000 * KiB, 4000000 * KiB, 5200000 * KiB, 2800000 * KiB,
                       (20000 + 30000 + 4000 + 5000 + 3000) * KiB, 7000 * KiB + 1200000 + 4096));
  EXPECT_EQ(platform::parseZramMemoryUsed("1 2"), std::nullopt);
}

// free -b and vmstat -s ran right after the copy of /proc/meminfo; memory moves a little in between.
TEST(HostMemoryTest, RecordedSamplesAgreeWithFreeAndVmstat) {
  for (int sample : {0, 1}) {
    SCOPED_TRACE(sample);
    const auto memory = platform::readHostMemory(*systemtest::sampleSource(sample)).value();
    EXPECT_EQ(memory.physical,
              systemtest::freeTotal(systemtest::fileText(systemtest::samplePath(sample) / "free.txt")));
    std::map<std::string, std::uint64_t> vmstat;
    std::istringstream lines(systemtest::fileText(systemtest::samplePath(sample) / "vmstat.txt"));
    for (std::string line; std::getline(lines, line);) {
      std::istringstream fields(line);
      std::uint64_t kib = 0;
      std::string unit, name;
      if (fields >> kib >> unit && std::getline(fields >> std::ws, name)) vmstat[name] = kib * KiB;
    }
    EXPECT_EQ(memory.physical, vmstat.at("total memory"));
    // vmstat splits by the kernel's lists; anonymous inactive memory moves from one to the other here.
    const std::uint64_t lists = vmstat.at("active memory") + vmstat.at("inactive memory");
    EXPECT_NEAR(memory.active + memory.inactive, lists, lists * 0.02);
    EXPECT_GE(memory.active, vmstat.at("active memory") * 98 / 100);
    EXPECT_NEAR(memory.free, vmstat.at("free memory"), vmstat.at("free memory") * 0.02);
  }
}

TEST(CpuListTest, ReadsRangesAndSinglesInAscendingOrderAndRejectsWhatIsNotAList) {
  EXPECT_THAT(platform::parseCpuList("0-3,6,8-9\n").value(), ElementsAre(0, 1, 2, 3, 6, 8, 9));
  EXPECT_THAT(platform::parseCpuList("7,2-3,3").value(), ElementsAre(2, 3, 7));
  EXPECT_TRUE(platform::parseCpuList("\n").value().empty());
  for (const char* text : {"0-", "-3", "3-1", "a", "0,,1", "1 2", "0-65536", "4294967296", "0-3,"})
    EXPECT_FALSE(platform::parseCpuList(text).has_value()) << text;
  // A hostile text that repeats the widest range cannot make the list grow without bound.
  std::string repeated = "0-65535";
  for (int i = 0; i < 100; ++i) repeated += ",0-65535";
  EXPECT_FALSE(platform::parseCpuList(repeated).has_value());
  EXPECT_EQ(platform::parseCpuList("0-65535").value().size(), 65536u);
}

TEST(CpuTopologyTest, ClockTextsInKilohertzAndMegahertz) {
  EXPECT_EQ(platform::parseKilohertz("18446744073709552\n"), std::nullopt);
  EXPECT_EQ(platform::parseKilohertz("3.5\n"), std::nullopt);

  auto clocks = platform::parseCpuInfoClocks(
      "processor\t: 0\nmodel name\t: AMD EPYC\ncpu MHz\t\t: 2596.1364\n\n"
      "processor\t: 1\ncpu MHz\t\t: -1\n\n"
      "processor\t: 2\ncpu MHz\t\t: 1e3\n\n"
      "cpu MHz\t\t: 800.000\n"
      "processor\t: 3\ncpu MHz\t\t: 1400.25\n");
  EXPECT_THAT(clocks, ElementsAre(std::pair(0u, 2596136400u), std::pair(3u, 1400250000u)));
}

TEST(CpuTopologyTest, CpufreqComesBeforeCpuinfoAndTheDeviceTreeGivesCompatible) {
  platform::MemoryTextSource source;
  source.setFile("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq", "3228000\n");
  source.setFile("/sys/devices/system/cpu/cpu0/of_node/compatible", std::string("apple,icestorm\0", 15));
  source.setFile("/sys/devices/system/cpu/cpu4/cpufreq/cpuinfo_max_freq", "not a clock\n");
  source.setFile("/proc/cpuinfo", "processor : 0\ncpu MHz : 100\n\nprocessor : 4\ncpu MHz : 2000.5\n");

  auto cpus = platform::readCpuTopology(source, {0, 4, 6});
  ASSERT_EQ(cpus.size(), 3u);
  EXPECT_EQ(std::tuple(cpus[0].number, cpus[0].clockFrequency, cpus[0].compatible),
            std::tuple(0u, 3228000000u, std::string("apple,icestorm\0", 15)));
  EXPECT_EQ(std::tuple(cpus[1].clockFrequency, cpus[1].compatible), std::tuple(2000500000u, std::nullopt));
  EXPECT_EQ(std::tuple(cpus[2].number, cpus[2].clockFrequency), std::tuple(6u, std::nullopt));
}

TEST(CpuStatTest, MapsTheTenColumnsOntoUserNiceSystemAndIdle) {
  platform::CpuStat stat;
  ASSERT_TRUE(
      platform::parseCpuStat("cpu  1000 20 300 5000 40 6 7 8 900 10\n"
                             "cpu0 600 10 200 2000 30 5 6 7 500 5\n"
                             "cpu2 400 10 100 3000 10 1 1 1 400 5\n"
                             "intr 1948304 0 0 0\nctxt 3154230\nbtime 1796577155\nprocesses 1388\n",
                             stat));
  // system = system + irq + softirq + steal; idle = idle + iowait; guest columns are inside user and nice.
  EXPECT_EQ(stat.total, (platform::CpuTicks{.user = 1000, .nice = 20, .system = 321, .idle = 5040}));
  ASSERT_EQ(stat.perCpu,
            (std::vector<platform::ProcessorTicks>{{0, {600, 10, 218, 2030}}, {2, {400, 10, 103, 3010}}}));
  EXPECT_EQ(std::tuple(stat.processor(2), stat.processor(1)), std::tuple(&stat.perCpu[1].ticks, nullptr));
  EXPECT_EQ(stat.bootTime, 1796577155);
}

TEST(CpuStatTest, ShortLinesAndHugeCountersAreReadAndDamagedLinesLeftOut) {
  platform::CpuStat stat;
  // Four columns as old kernels write them; a per-processor line needs four too.
  ASSERT_TRUE(platform::parseCpuStat("cpu 4294967296 1 4294967295 8589934592\ncpu0 5 6 7\n", stat));
  EXPECT_EQ(std::tuple(stat.total, stat.perCpu.size(), stat.bootTime),
            std::tuple(platform::CpuTicks{4294967296u, 1, 4294967295u, 8589934592u}, 0u, std::nullopt));

  // The first valid "cpu " line counts and its sums saturate; a last line without its end may be cut.
  ASSERT_TRUE(platform::parseCpuStat(
      "cpu0 1 2 x 4\ncpuX 1 2 3 4\ncpu 1 2 18446744073709551615 4 5 6 7 8\ncpu 9 9 9 9\n"
      "cpu1 1 2 3 4\ncpu3 1 2 3 4",
      stat));
  EXPECT_EQ(std::tuple(stat.total.user, stat.total.system), std::tuple(1u, UINT64_MAX));
  ASSERT_EQ(stat.perCpu.size(), 1u);
  EXPECT_EQ(stat.perCpu[0].number, 1u);
  // The record is reused: a second parse replaces everything.
  ASSERT_TRUE(platform::parseCpuStat("cpu 1 1 1 1\n", stat));
  EXPECT_TRUE(stat.perCpu.empty());
  EXPECT_FALSE(platform::parseCpuStat("cpu0 1 1 1 1\nbtime 5\n", stat));
  EXPECT_FALSE(platform::parseCpuStat("cpu 1 1 1 1", stat));
}

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
  const auto stat = platform::parseProcessStat(text).value();
  EXPECT_EQ(
      std::tuple(stat.pid, stat.name, stat.state, stat.ppid, stat.userTicks, stat.systemTicks, stat.threads),
      std::tuple(4242, "a) b (c", 'S', 1, 250u, 50u, 3));
  for (const std::string name : {"", "two\nlines"})
    EXPECT_EQ(platform::parseProcessStat(statLine(7, name, 'R', 0, 0, 0, 1)).value().name, name);
  for (const char state : {'Z', 'X'})
    EXPECT_TRUE(platform::parseProcessStat(statLine(9, "gone", state, 1, 0, 0, 1)).value().isZombie());
}

TEST(ProcessStatTest, RejectsCutAndMalformedLines) {
  const std::string text = statLine(4242, "bash", 'S', 1, 250, 50, 3);
  // Cut anywhere up to the field after starttime: starttime could itself be cut short.
  const std::size_t vsize = text.find(" 6541312");
  for (std::size_t length = 0; length <= vsize + 1; ++length)
    EXPECT_FALSE(platform::parseProcessStat(text.substr(0, length)).has_value()) << length;
  EXPECT_EQ(platform::parseProcessStat(text.substr(0, vsize + 2)).value().startTime, 145305u);
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
  for (const char* statm : {"1597 451", "1597 -451 423", ""})
    EXPECT_EQ(platform::parseStatmResidentPages(statm), std::nullopt) << statm;
}

// pid, ppid, state, name, ticks, threads and resident bytes of an entry.
using Row =
    std::tuple<std::int32_t, std::int32_t, char, std::string, std::uint64_t, std::int64_t, std::uint64_t>;

std::vector<Row> rows(const std::vector<platform::ProcessEntry>& entries) {
  std::vector<Row> result;
  for (const auto& e : entries)
    result.emplace_back(e.pid, e.ppid, e.state, e.name, e.cpuTicks, e.threads, e.residentBytes);
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
