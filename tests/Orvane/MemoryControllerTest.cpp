#include <gtest/gtest.h>

#include "Orvane/Memory.hpp"
#include "Orvane/MemoryController.hpp"
#include "Platform/System/MemInfo.hpp"
#include "tests/Orvane/FakeMachine.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

namespace {

using Orvane::Memory;

constexpr std::uint64_t KiB = 1024;

TEST(MemoryControllerTest, UsageAloneBeforeTheFirstRefreshThenBytesNothingFreeBeyondPhysicalZerosUnreadable) {
  systemtest::FakeMachine machine;
  machine.setMemInfo(1000, 100, 300, 200, 50, 7);
  machine.source->setFile("/sys/block/zram0/mm_stat", "100 50 1001 0 2000 0 0 0 0\n");
  Orvane::MemoryController controller(machine.source);
  for (const std::string* key : {&Memory::active(), &Memory::compressed(), &Memory::inactive(),
                                 &Memory::wired(), &Memory::used(), &Memory::free()}) {
    EXPECT_TRUE(controller.store()->contains(*key)) << *key;
    EXPECT_FALSE(controller.value(*key).has_value()) << *key;
    EXPECT_EQ(controller.string(*key), "-");
  }
  EXPECT_EQ(controller.value(Memory::usage()), platform::Number::of(0.0));
  EXPECT_EQ(controller.store()->min(Memory::usage()), platform::Number::of(0.0));
  EXPECT_EQ(controller.store()->max(Memory::usage()), platform::Number::of(1.0));
  auto history = controller.store()->doubleHistory(Memory::usage());
  ASSERT_GE(history.size(), 2u);
  EXPECT_EQ(std::vector(history.end() - 2, history.end()), (std::vector{1.0, 0.0}));
  EXPECT_EQ(controller.physicalMemory(), 1000 * KiB);

  controller.refresh(1.0);
  const double compressed = 7 * KiB + 1001.0;
  EXPECT_EQ((std::vector{controller.value(Memory::active()), controller.value(Memory::inactive()),
                         controller.value(Memory::wired()), controller.value(Memory::compressed())}),
            (std::vector<std::optional<platform::Number>>{
                platform::Number::of(300.0 * KiB), platform::Number::of(200.0 * KiB),
                platform::Number::of(50.0 * KiB), platform::Number::of(compressed)}));
  EXPECT_EQ(controller.value(Memory::active())->type(), platform::Number::Type::Double);
  const std::uint64_t used = (300 + 50 + 7) * KiB + 1001;
  EXPECT_EQ(controller.value(Memory::used())->type(), platform::Number::Type::UInt64);
  EXPECT_EQ(controller.uInt64Value(Memory::used()), used);
  EXPECT_EQ(controller.uInt64Value(Memory::free()), 1000 * KiB - used);
  EXPECT_EQ(controller.doubleValue(Memory::usage()), static_cast<double>(used) / (1000 * KiB));

  // The elapsed time plays no part: the same memory gives the same numbers.
  controller.refresh(1e9);
  EXPECT_EQ(controller.store()->uInt64History(Memory::used()).back(), used);
  EXPECT_EQ(controller.store()->min(Memory::used()), controller.store()->max(Memory::used()));

  // Used beyond physical memory leaves nothing free.
  machine.source->remove("/sys/block/zram0/mm_stat");
  machine.setMemInfo(1000, 0, 900, 0, 200);
  controller.refresh(1);
  EXPECT_EQ(controller.uInt64Value(Memory::used()), 1100 * KiB);
  EXPECT_EQ(controller.uInt64Value(Memory::free()), 0u);
  EXPECT_DOUBLE_EQ(controller.doubleValue(Memory::usage()), 1.1);

  // Unreadable: zeros, and the whole last physical memory free.
  machine.source->remove("/proc/meminfo");
  controller.refresh(1);
  for (const std::string* key : {&Memory::active(), &Memory::compressed(), &Memory::inactive(),
                                 &Memory::wired(), &Memory::used(), &Memory::usage()}) {
    EXPECT_EQ(controller.doubleValue(*key), 0.0) << *key;
  }
  EXPECT_EQ(controller.uInt64Value(Memory::free()), 1000 * KiB);

  // With meminfo never readable, the physical memory is the system's all the same (as free reports it).
  Orvane::MemoryController blind(std::make_shared<platform::MemoryTextSource>());
  blind.refresh(1);
  EXPECT_EQ(blind.doubleValue(Memory::usage()), 0.0);
  EXPECT_EQ(blind.uInt64Value(Memory::free()), systemtest::freeTotal(systemtest::commandOutput("free -b")));
}

// The live machine, compared with free and with /proc/meminfo read by the test right after the refresh.
TEST(MemoryControllerLiveTest, AgreesWithFreeAndMeminfo) {
  Orvane::MemoryController controller;
  controller.refresh(1);
  const auto info = platform::parseMemInfo(platform::TextSource::live()->read("/proc/meminfo").value());
  ASSERT_TRUE(info.has_value());
  const std::uint64_t total = systemtest::freeTotal(systemtest::commandOutput("free -b"));
  ASSERT_GT(total, 0u);
  EXPECT_EQ(controller.physicalMemory(), total);
  EXPECT_EQ(controller.uInt64Value(Memory::used()) + controller.uInt64Value(Memory::free()), total);
  const double wired = static_cast<double>(info->unevictable + info->slabUnreclaimable + info->kernelStack +
                                           info->pageTables + info->perCpu);
  ASSERT_TRUE(info->inactiveAnon && info->inactiveFile);
  const double active = static_cast<double>(info->active + *info->inactiveAnon);
  const double inactive = static_cast<double>(*info->inactiveFile);
  EXPECT_NEAR(controller.doubleValue(Memory::active()), active, active * 0.02);
  EXPECT_NEAR(controller.doubleValue(Memory::inactive()), inactive, inactive * 0.02);
  EXPECT_NEAR(controller.doubleValue(Memory::wired()), wired, wired * 0.02);
}

// A child that holds 1 GiB of touched anonymous memory raises "M_T" by nearly that much at the next
// refresh, wherever the kernel puts the new pages (new anonymous pages may start on the inactive list).
TEST(MemoryControllerLiveTest, AChildHoldingAGibibyteRaisesUsedByIt) {
  constexpr std::uint64_t GiB = 1024 * 1024 * 1024;
  const auto available = platform::parseMemInfo(platform::TextSource::live()->read("/proc/meminfo").value());
  ASSERT_TRUE(available.has_value());
  if (available->free < 2 * GiB) GTEST_SKIP() << "needs 2 GiB of free memory";
  // Other programs on a busy machine free memory at the same time, which can hide part of the rise in one
  // attempt; a mapping that misses the child's pages misses them in every attempt. Memory taken elsewhere
  // could fake a rise, so the child's end must show as a fall of half a gibibyte or more too: a mapping
  // that misses the child's pages shows neither, and noise hardly fakes both in one attempt.
  Orvane::MemoryController controller;
  std::string attempts;
  for (int attempt = 0; attempt < 5; ++attempt) {
    controller.refresh(1);
    const std::uint64_t before = controller.uInt64Value(Memory::used());
    std::uint64_t held = 0;
    {
      systemtest::IdleChild child;
      ASSERT_TRUE(child.hold(GiB));
      controller.refresh(1);
      held = controller.uInt64Value(Memory::used());
    }
    controller.refresh(1);
    const std::uint64_t after = controller.uInt64Value(Memory::used());
    if (held >= before + GiB * 95 / 100 && held >= after + GiB / 2) return;
    attempts +=
        " " + std::to_string(before) + ", " + std::to_string(held) + ", " + std::to_string(after) + ";";
  }
  ADD_FAILURE() << "used did not rise by 0.95 GiB and fall back (before, held, after) in any attempt:"
                << attempts;
}

}  // namespace
