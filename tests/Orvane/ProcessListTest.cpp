#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <map>
#include <thread>
#include <tuple>

#include "Orvane/ProcessorController.hpp"
#include "Platform/Foundation/Clock.hpp"
#include "tests/Orvane/FakeMachine.hpp"

namespace {

// The processes of the list by pid.
std::map<std::int32_t, std::shared_ptr<Orvane::OVProcess>> byPid(
    const Orvane::ProcessorController& controller) {
  std::map<std::int32_t, std::shared_ptr<Orvane::OVProcess>> processes;
  for (const auto& process : controller.processes()) processes[process->pid()] = process;
  return processes;
}

float usageOf(const Orvane::ProcessorController& controller, std::int32_t pid) {
  return byPid(controller).at(pid)->cpu().usage;
}

struct ProcessListTest : testing::Test {
  systemtest::FakeMachine machine;
  platform::Clock::Override clock{1000, 50};
  std::unique_ptr<Orvane::ProcessorController> controller;

  void SetUp() override {
    machine.setOnline("0-3");
    machine.setStat({100, 0, 100, 800});
    machine.setProcess(1, "init", 500, 2500, 'S', 0);
    machine.setProcess(2, "kthreadd", 3, 0, 'S', 0, 1, true);
    machine.setProcess(40, "busy", 1000, 300, 'R', 1, 4);
    machine.setProcess(41, "defunct", 7, 0, 'Z', 40);
    machine.setProcess(42, "", 8, 30);
    machine.setProcess(43, "a) b (c", 9, 40);
    machine.setProcess(44, "bad\xff\xfe", 9, 40);
    controller = std::make_unique<Orvane::ProcessorController>(machine.source, machine.constants());
    controller->setCollectProcessInformation(true);
  }
};

TEST_F(ProcessListTest, FirstCollectionListsNamedLiveProcessesWithZeroSharesAndNoneWhenOff) {
  controller->refresh(0);
  auto processes = byPid(*controller);
  // The zombie and the process without a name are left out; a kernel thread is listed.
  EXPECT_EQ(controller->processes().size(), 5u);
  EXPECT_FALSE(processes.contains(41) || processes.contains(42));
  const auto& busy = *processes.at(40);
  EXPECT_EQ(std::tuple(busy.name(), busy.ppid(), busy.cpu().time, busy.cpu().usage, busy.memoryUsage(),
                       busy.cpuUsage().type(), busy.sent() + busy.received() + busy.traffic()),
            std::tuple("busy", 1, 10.0, 0.0f, platform::Number::of(std::uint64_t{300 * 4096}),
                       platform::Number::Type::Float, 0u));
  EXPECT_EQ(processes.at(2)->memory().totalBytes, 0u);
  EXPECT_EQ(processes.at(43)->name(), "a) b (c");
  EXPECT_EQ(processes.at(44)->name(), "bad\xEF\xBF\xBD\xEF\xBF\xBD");  // each bad byte a U+FFFD
  // The tree holds the very records of the list.
  ASSERT_NE(controller->oldProcessTree(), nullptr);
  EXPECT_EQ(controller->oldProcessTree()->processes().at(40).get(), processes.at(40).get());

  // With collection off nothing is listed and no resident memory read, but every task counted.
  auto counting = std::make_shared<systemtest::ForwardingSource>(machine.source);
  Orvane::ProcessorController off(counting, machine.constants());
  off.refresh(0);
  EXPECT_TRUE(off.processes().empty());
  EXPECT_EQ(off.oldProcessTree(), nullptr);
  EXPECT_EQ(counting->statmReads, 0);
  EXPECT_EQ(off.tasks(), 7);
}

TEST_F(ProcessListTest, LaterCollectionsGiveSharesOfTheWallClockInterval) {
  controller->refresh(0);
  auto first = byPid(*controller);
  clock.advance(2.0);
  machine.setProcess(40, "busy", 1000 + 200, 300, 'R', 1, 4);  // 2 s of one processor in 2 s
  machine.setProcess(1, "init", 510, 2500, 'S', 0);            // 0.1 s
  machine.setProcess(43, "a) b (c", 3, 40);                    // time went down: a reused pid
  machine.setProcess(50, "newcomer", 400, 10);                 // started in between
  controller->refresh(0);
  auto second = byPid(*controller);
  EXPECT_FLOAT_EQ(second.at(40)->cpu().usage, 100.0f);
  EXPECT_FLOAT_EQ(second.at(1)->cpu().usage, 5.0f);
  EXPECT_EQ(std::pair(second.at(43)->cpu().usage, second.at(50)->cpu().usage), std::pair(0.0f, 0.0f));
  // Each collection makes new records: the same process gives unequal records.
  EXPECT_NE(*second.at(40), *first.at(40));

  controller->setNormalize(true);
  clock.advance(1.0);
  machine.setProcess(40, "busy", 1200 + 100, 300, 'R', 1, 4);
  controller->refresh(0);
  EXPECT_FLOAT_EQ(usageOf(*controller, 40), 25.0f);  // 100 over 4 online processors
}

TEST_F(ProcessListTest, ResidentMemoryIsReadAgainWhenAProcessRanOrIsNewAndEveryTenSeconds) {
  auto counting = std::make_shared<systemtest::ForwardingSource>(machine.source);
  Orvane::ProcessorController watched(counting, machine.constants());
  watched.setCollectProcessInformation(true);
  watched.refresh(0);
  const int everyProcess = counting->statmReads;
  auto memoryOf = [&](std::int32_t pid) { return byPid(watched).at(pid)->memory().totalBytes; };
  machine.setProcess(40, "busy", 1100, 900, 'R', 1, 4);              // ran and grew
  machine.setProcess(1, "init", 500, 9999, 'S', 0);                  // idle: its last size stands
  machine.setProcess(43, "a) b (c", 20, 77, 'S', 1, 1, false, 600);  // the pid of a new process
  clock.advance(9.0);
  watched.refresh(0);
  EXPECT_EQ(counting->statmReads, everyProcess + 2);
  EXPECT_EQ(std::tuple(memoryOf(40), memoryOf(1), memoryOf(43)),
            std::tuple(900u * 4096, 2500u * 4096, 77u * 4096));
  EXPECT_EQ(byPid(watched).at(43)->cpu().usage, 0.0f);  // its time is not the former process's
  clock.advance(1.0);
  watched.refresh(0);
  EXPECT_EQ(memoryOf(1), 9999u * 4096);
}

TEST_F(ProcessListTest, AClockStepBackOrNoProcessorsGiveNoShares) {
  controller->refresh(0);
  {
    platform::Clock::Override stepped(990, 60);
    machine.setProcess(40, "busy", 1100, 300, 'R', 1, 4);
    controller->refresh(0);
    EXPECT_EQ(usageOf(*controller, 40), 0.0f);
  }
  machine.source->remove("/sys/devices/system/cpu/online");
  Orvane::ProcessorController blind(machine.source, machine.constants());
  EXPECT_EQ(blind.systemInfo().cpuCount, 0);
  blind.setCollectProcessInformation(true);
  blind.refresh(0);
  clock.advance(1.0);
  machine.setProcess(40, "busy", 1200, 300, 'R', 1, 4);
  blind.refresh(0);
  EXPECT_EQ(usageOf(blind, 40), 0.0f);
  EXPECT_TRUE(blind.cores().empty());
}

TEST_F(ProcessListTest, AFailedListingKeepsThePreviousTreeAndSwitchingCollectionEmptiesIt) {
  controller->refresh(0);
  auto tree = controller->oldProcessTree();
  for (int pid : {1, 2, 40, 41, 42, 43, 44}) machine.removeProcess(pid);
  controller->refresh(0);
  EXPECT_TRUE(controller->processes().empty());
  EXPECT_EQ(controller->oldProcessTree(), tree);
  clock.advance(1.0);
  machine.setProcess(40, "busy", 1050, 300, 'R', 1, 4);
  controller->refresh(0);
  EXPECT_THAT(controller->processes(), testing::SizeIs(1));
  EXPECT_FLOAT_EQ(usageOf(*controller, 40), 50.0f);

  // Switching collection on or off empties the list and the tree, and shares start again.
  controller->setCollectProcessInformation(true);
  EXPECT_TRUE(controller->processes().empty());
  EXPECT_EQ(controller->oldProcessTree(), nullptr);
  clock.advance(1.0);
  machine.setProcess(40, "busy", 1150, 300, 'R', 1, 4);
  controller->refresh(0);
  EXPECT_EQ(usageOf(*controller, 40), 0.0f);
  controller->setCollectProcessInformation(false);
  EXPECT_TRUE(controller->processes().empty());
  controller->refresh(0);
  EXPECT_TRUE(controller->processes().empty());
  EXPECT_EQ(controller->oldProcessTree(), nullptr);
}

TEST_F(ProcessListTest, AnotherThreadReadsOnlyWholeCollections) {
  std::atomic<bool> done = false;
  std::atomic<int> partial = 0;
  std::thread reader([&] {
    while (!done) {
      auto processes = controller->processes();
      float shares = 0;
      for (const auto& process : processes) shares += process->cpu().usage;
      if ((!processes.empty() && processes.size() != 5) || shares < 0) ++partial;
    }
  });
  for (int tick = 0; tick < 200; ++tick) {
    clock.advance(1.0);
    machine.setProcess(40, "busy", 1000 + 100 * static_cast<std::uint64_t>(tick), 300, 'R', 1, 4);
    controller->refresh(0);
  }
  done = true;
  reader.join();
  EXPECT_EQ(partial, 0);
  EXPECT_FLOAT_EQ(usageOf(*controller, 40), 100.0f);
}

}  // namespace
