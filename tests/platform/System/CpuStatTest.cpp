#include <gtest/gtest.h>

#include "Platform/System/CpuStat.hpp"

namespace {

TEST(CpuStatTest, MapsTheTenColumnsOntoUserNiceSystemAndIdle) {
  platform::CpuStat stat;
  ASSERT_TRUE(
      platform::parseCpuStat("cpu  1000 20 300 5000 40 6 7 8 900 10\n"
                             "cpu0 600 10 200 2000 30 5 6 7 500 5\n"
                             "cpu2 400 10 100 3000 10 1 1 1 400 5\n"
                             "intr 1948304 0 0 0\n"
                             "ctxt 3154230\n"
                             "btime 1796577155\n"
                             "processes 1388\n",
                             stat));
  // system = system + irq + softirq + steal; idle = idle + iowait; guest columns are inside user and nice.
  EXPECT_EQ(stat.total, (platform::CpuTicks{.user = 1000, .nice = 20, .system = 321, .idle = 5040}));
  ASSERT_EQ(stat.perCpu.size(), 2u);
  EXPECT_EQ(stat.perCpu[0], (platform::ProcessorTicks{0, {600, 10, 218, 2030}}));
  EXPECT_EQ(stat.perCpu[1], (platform::ProcessorTicks{2, {400, 10, 103, 3010}}));
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
  EXPECT_EQ(stat.total.system, UINT64_MAX);
  EXPECT_EQ(stat.total.user, 1u);
  ASSERT_EQ(stat.perCpu.size(), 1u);
  EXPECT_EQ(stat.perCpu[0].number, 1u);
  // The record is reused: a second parse replaces everything.
  ASSERT_TRUE(platform::parseCpuStat("cpu 1 1 1 1\n", stat));
  EXPECT_TRUE(stat.perCpu.empty());
  EXPECT_FALSE(platform::parseCpuStat("cpu0 1 1 1 1\nbtime 5\n", stat));
  EXPECT_FALSE(platform::parseCpuStat("cpu 1 1 1 1", stat));
}

}  // namespace
