#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Platform/System/CpuList.hpp"
#include "Platform/System/CpuStat.hpp"
#include "Platform/System/CpuTopology.hpp"

using testing::ElementsAre;

namespace {

TEST(CpuListTest, ReadsRangesAndSinglesInAscendingOrderAndRejectsWhatIsNotAList) {
  EXPECT_THAT(platform::parseCpuList("0-3,6,8-9\n").value(), ElementsAre(0, 1, 2, 3, 6, 8, 9));
  EXPECT_THAT(platform::parseCpuList("7,2-3,3").value(), ElementsAre(2, 3, 7));
  EXPECT_TRUE(platform::parseCpuList("\n").value().empty());
  for (const char* text : {"0-", "-3", "3-1", "a", "0,,1", "1 2", "0-65536", "4294967296", "0-3,"}) {
    EXPECT_FALSE(platform::parseCpuList(text).has_value()) << text;
  }
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
  EXPECT_EQ(stat.processor(2), &stat.perCpu[1].ticks);
  EXPECT_EQ(stat.processor(1), nullptr);
  EXPECT_EQ(stat.bootTime, 1796577155);
}

TEST(CpuStatTest, ShortLinesAndHugeCountersAreReadAndDamagedLinesLeftOut) {
  platform::CpuStat stat;
  // Four columns as old kernels write them; a per-processor line needs four too.
  ASSERT_TRUE(platform::parseCpuStat("cpu 4294967296 1 4294967295 8589934592\ncpu0 5 6 7\n", stat));
  EXPECT_EQ(stat.total, (platform::CpuTicks{4294967296u, 1, 4294967295u, 8589934592u}));
  EXPECT_TRUE(stat.perCpu.empty());
  EXPECT_FALSE(stat.bootTime.has_value());

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

}  // namespace
