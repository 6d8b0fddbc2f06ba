#include <gtest/gtest.h>

#include <map>
#include <sstream>

#include "Platform/System/HostMemory.hpp"
#include "Platform/System/MemInfo.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

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
  auto info = platform::parseMemInfo(meminfoText);
  ASSERT_TRUE(info.has_value());
  EXPECT_EQ(
      (std::vector{info->total, info->free, info->active, info->inactive, info->unevictable,
                   info->slabUnreclaimable, info->kernelStack, info->pageTables, info->perCpu, info->zswap}),
      (std::vector<std::uint64_t>{16000000 * KiB, 4000000 * KiB, 5000000 * KiB, 3000000 * KiB, 20000 * KiB,
                                  30000 * KiB, 4000 * KiB, 5000 * KiB, 3000 * KiB, 7000 * KiB}));
  EXPECT_EQ(std::tuple(info->inactiveAnon, info->inactiveFile), std::tuple(200000 * KiB, 2800000 * KiB));
  // The four main lines are required, in any order; the others default to zero.
  auto minimal = platform::parseMemInfo("Inactive: 3 kB\nActive: 4 kB\nMemFree: 2 kB\nMemTotal: 1 kB\n");
  ASSERT_TRUE(minimal.has_value());
  EXPECT_EQ(std::tuple(minimal->total, minimal->inactive, minimal->perCpu + minimal->zswap),
            std::tuple(1 * KiB, 3 * KiB, 0u));
  EXPECT_FALSE(minimal->inactiveAnon || minimal->inactiveFile);
  EXPECT_FALSE(platform::parseMemInfo("MemTotal: 1 kB\nMemFree: 2 kB\nActive: 4 kB\n").has_value());
}

TEST(MemInfoTest, DamagedValuesCountAsMissing) {
  const std::string rest = "MemFree: 2 kB\nActive: 4 kB\nInactive: 3 kB\n";
  // Without its unit the number may have been cut short; a value that overflows in bytes is no value.
  for (const char* total : {"MemTotal: 16000\n", "MemTotal: 18014398509481984 kB\n", "MemTotal: -5 kB\n"}) {
    EXPECT_FALSE(platform::parseMemInfo(total + rest).has_value()) << total;
  }
  // The first valid line of a name counts.
  auto repeated = platform::parseMemInfo("MemTotal: x kB\nMemTotal: 8 kB\nMemTotal: 9 kB\n" + rest);
  ASSERT_TRUE(repeated.has_value());
  EXPECT_EQ(repeated->total, 8 * KiB);
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
  auto memory = platform::readHostMemory(source);
  ASSERT_TRUE(memory.has_value());
  // Anonymous inactive memory counts as active; the droppable file cache stays inactive.
  EXPECT_EQ(std::tuple(memory->physical, memory->free, memory->active, memory->inactive, memory->wired,
                       memory->compressed),
            std::tuple(16000000 * KiB, 4000000 * KiB, 5200000 * KiB, 2800000 * KiB,
                       (20000 + 30000 + 4000 + 5000 + 3000) * KiB, 7000 * KiB + 1200000 + 4096));
  EXPECT_EQ(platform::parseZramMemoryUsed("1 2"), std::nullopt);
  EXPECT_EQ(platform::parseZramMemoryUsed("1 2 3"), 3u);
}

// free -b and vmstat -s ran right after the copy of /proc/meminfo; memory moves a little in between.
TEST(HostMemoryTest, RecordedSamplesAgreeWithFreeAndVmstat) {
  for (int sample : {0, 1}) {
    SCOPED_TRACE(sample);
    auto memory = platform::readHostMemory(*systemtest::sampleSource(sample));
    ASSERT_TRUE(memory.has_value());
    EXPECT_EQ(memory->physical,
              systemtest::freeTotal(systemtest::fileText(systemtest::samplePath(sample) / "free.txt")));
    std::map<std::string, std::uint64_t> vmstat;
    std::istringstream lines(systemtest::fileText(systemtest::samplePath(sample) / "vmstat.txt"));
    for (std::string line; std::getline(lines, line);) {
      std::istringstream fields(line);
      std::uint64_t kib = 0;
      std::string unit, name;
      if (fields >> kib >> unit && std::getline(fields >> std::ws, name)) vmstat[name] = kib * KiB;
    }
    EXPECT_EQ(memory->physical, vmstat.at("total memory"));
    // vmstat splits by the kernel's lists; anonymous inactive memory moves from one to the other here.
    const std::uint64_t lists = vmstat.at("active memory") + vmstat.at("inactive memory");
    EXPECT_NEAR(memory->active + memory->inactive, lists, lists * 0.02);
    EXPECT_GE(memory->active, vmstat.at("active memory") * 98 / 100);
    EXPECT_NEAR(memory->free, vmstat.at("free memory"), vmstat.at("free memory") * 0.02);
  }
}

}  // namespace
