#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Platform/System/CpuList.hpp"
#include "Platform/System/CpuTopology.hpp"

using testing::ElementsAre;

namespace {

TEST(CpuListTest, ReadsRangesAndSinglesInAscendingOrderAndRejectsWhatIsNotAList) {
  EXPECT_THAT(platform::parseCpuList("0-3,6,8-9\n").value(), ElementsAre(0, 1, 2, 3, 6, 8, 9));
  EXPECT_THAT(platform::parseCpuList("5\n").value(), ElementsAre(5));
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
  EXPECT_EQ(platform::parseKilohertz("5200000\n"), 5200000000u);  // above 32 bits
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
  EXPECT_EQ(cpus[0].number, 0u);
  EXPECT_EQ(cpus[0].clockFrequency, 3228000000u);
  EXPECT_EQ(cpus[0].compatible, std::string("apple,icestorm\0", 15));
  EXPECT_EQ(cpus[1].clockFrequency, 2000500000u);
  EXPECT_FALSE(cpus[1].compatible.has_value());
  EXPECT_EQ(cpus[2].number, 6u);
  EXPECT_FALSE(cpus[2].clockFrequency.has_value());
}

}  // namespace
