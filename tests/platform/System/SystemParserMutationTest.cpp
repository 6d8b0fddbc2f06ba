#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>

#include "Platform/System/CpuList.hpp"
#include "Platform/System/CpuStat.hpp"
#include "Platform/System/CpuTopology.hpp"
#include "Platform/System/HostMemory.hpp"
#include "Platform/System/MemInfo.hpp"
#include "Platform/System/ProcessStat.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

// Every parser of the memory and processor readers over damaged copies of recorded files: none may crash
// or read out of bounds (the sanitizer builds check that), and whatever a parse accepts must still be
// well-formed.
namespace {

std::string recorded(const std::string& path) {
  return systemtest::fileText(systemtest::samplePath(0) / path);
}

TEST(SystemParserMutationTest, Meminfo) {
  std::string text = recorded("proc/meminfo");
  ASSERT_TRUE(platform::parseMemInfo(text).has_value());
  // Every value came from a whole "<n> kB" line.
  systemtest::forEachMutation(text, [](std::string_view damaged) {
    if (auto info = platform::parseMemInfo(damaged)) {
      EXPECT_EQ((info->total | info->active) % 1024, 0u);
    }
  });
}

TEST(SystemParserMutationTest, ProcStat) {
  std::string text = recorded("proc/stat");
  platform::CpuStat stat;
  ASSERT_TRUE(platform::parseCpuStat(text, stat));
  std::size_t processors = stat.perCpu.size();
  systemtest::forEachMutation(text, [&](std::string_view damaged) {
    // A round makes at most four changes, each adding at most one line.
    if (platform::parseCpuStat(damaged, stat)) {
      EXPECT_LE(stat.perCpu.size(), processors + 4);
    }
  });
}

TEST(SystemParserMutationTest, ProcessStatAndStatm) {
  auto proc = systemtest::samplePath(0) / "proc";
  int parsed = 0;
  for (const auto& directory : std::filesystem::directory_iterator(proc)) {
    if (parsed == 4 || !std::filesystem::exists(directory.path() / "statm")) continue;
    ++parsed;
    std::string text = systemtest::fileText(directory.path() / "stat");
    ASSERT_TRUE(platform::parseProcessStat(text).has_value()) << text;
    systemtest::forEachMutation(text, [&](std::string_view damaged) {
      if (auto stat = platform::parseProcessStat(damaged)) {
        // The name is a view inside the text, between its parentheses.
        EXPECT_GE(stat->name.data(), damaged.data() + 1);
        EXPECT_LE(stat->name.data() + stat->name.size(), damaged.data() + damaged.size());
        EXPECT_EQ(stat->name.data()[-1], '(');
        EXPECT_GE(stat->pid, 0);
      }
    });
    systemtest::forEachMutation(systemtest::fileText(directory.path() / "statm"),
                                [](std::string_view damaged) { platform::parseStatmResidentPages(damaged); });
  }
  EXPECT_EQ(parsed, 4);
}

TEST(SystemParserMutationTest, ProcessorListsClocksAndZram) {
  systemtest::forEachMutation("0-3,5,7-11\n", [](std::string_view damaged) {
    if (auto cpus = platform::parseCpuList(damaged)) {
      EXPECT_TRUE(std::is_sorted(cpus->begin(), cpus->end()));
      EXPECT_EQ(std::adjacent_find(cpus->begin(), cpus->end()), cpus->end());
      EXPECT_TRUE(cpus->empty() || cpus->back() <= platform::maxCpuNumber);
    }
  });
  // The first two processor blocks.
  std::string cpuinfo = recorded("proc/cpuinfo");
  cpuinfo.resize(cpuinfo.find("\n\n", cpuinfo.find("\n\n") + 2) + 2);
  ASSERT_FALSE(platform::parseCpuInfoClocks(cpuinfo).empty());
  systemtest::forEachMutation(cpuinfo,
                              [](std::string_view damaged) { platform::parseCpuInfoClocks(damaged); });
  systemtest::forEachMutation("3228000\n",
                              [](std::string_view damaged) { platform::parseKilohertz(damaged); });
  systemtest::forEachMutation("4096000 1000000 1200000 0 1500000 10 2 0 0\n",
                              [](std::string_view damaged) { platform::parseZramMemoryUsed(damaged); });
}

}  // namespace
