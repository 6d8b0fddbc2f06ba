#include <gtest/gtest.h>

#include <cmath>

#include "Orvane/Processor.hpp"
#include "Orvane/ProcessorController.hpp"
#include "tests/Orvane/FakeMachine.hpp"

namespace {

using Orvane::Processor;

struct ProcessorControllerTest : testing::Test {
  systemtest::FakeMachine machine;
  std::unique_ptr<Orvane::ProcessorController> controller;

  void SetUp() override {
    machine.setStat({100, 10, 50, 840});
    machine.setProcess(1, "init", 5, 10, 'S', 0, 1);
    machine.setProcess(2, "kthreadd", 0, 0, 'S', 0, 1, true);
    machine.setProcess(300, "server", 50, 100, 'S', 1, 12);
    machine.setProcess(301, "gone", 0, 0, 'Z', 300, 1);
    machine.setMemInfo(2048, 1, 1, 1);
    controller = std::make_unique<Orvane::ProcessorController>(machine.source, machine.constants());
  }
};

// One monitor through a run of /proc/stat samples (a missing one as nullopt), each refreshed with another
// elapsed time, which plays no part: the first sample and the one after a failed read give the average since
// boot, the others the share of each interval's ticks.
TEST_F(ProcessorControllerTest, LoadsAreSharesOfTheTicksSinceTheLastReadWhateverTheElapsedTime) {
  struct Step {
    std::optional<systemtest::FakeMachine::Ticks> stat;  // user, nice, system, idle
    double elapsed;
    double user, system, nice;
    std::uint64_t ticks;
  };
  const Step steps[] = {
      {{{100, 10, 50, 840}}, 0, 10, 5, 1, 1000},
      {{{100, 10, 50, 840}}, 0.001, 0, 0, 0, 0},  // no tick at all: 0, not a quotient by zero
      {{{100, 60, 50, 840}}, -5, 0, 0, 100, 50},  // niced work only: "CPU_T" stays 0
      // A counter that went down contributes nothing; counters beyond 32 bits count in full.
      {{{90, 60, 4294967346, 860}}, 1e9, 0, 100.0 * 4294967296 / 4294967316, 0, 4294967316},
      {std::nullopt, 0, 0, 0, 0, 0},
      {{{200, 20, 100, 1680}}, 0, 10, 5, 1, 2000},
  };
  for (const Step& step : steps) {
    SCOPED_TRACE(step.ticks);
    step.stat ? machine.setStat(*step.stat) : machine.source->remove("/proc/stat");
    controller->refresh(step.elapsed);
    EXPECT_DOUBLE_EQ(controller->doubleValue(Processor::user()), step.user);
    EXPECT_DOUBLE_EQ(controller->doubleValue(Processor::system()), step.system);
    EXPECT_DOUBLE_EQ(controller->doubleValue(Processor::total()), step.user + step.system);
    EXPECT_EQ(controller->totalCpuTicks(), step.ticks);
    EXPECT_FALSE(std::isnan(controller->cpuIdle()));
    if (!step.stat) {
      EXPECT_EQ(controller->loadPrevious(), Orvane::HostInfo{});
      continue;
    }
    EXPECT_DOUBLE_EQ(controller->cpuUser(), step.user);
    EXPECT_DOUBLE_EQ(controller->cpuSystem(), step.system);
    EXPECT_DOUBLE_EQ(controller->cpuNice(), step.nice);
    if (step.ticks == 1000) {
      EXPECT_EQ(controller->cpuIdle(), 84.0);
      EXPECT_EQ(controller->loadPrevious(), (Orvane::HostInfo{100, 50, 840, 10}));
      EXPECT_EQ(controller->value(Processor::total())->type(), platform::Number::Type::Double);
    }
  }
}

TEST_F(ProcessorControllerTest, TasksCountEveryProcessAndThreadsTheirThreadsAndSurviveAFailedListing) {
  controller->refresh(0);
  EXPECT_EQ(controller->int32Value(Processor::tasks()), 4);  // the zombie and the kernel thread included
  EXPECT_EQ(controller->value(Processor::tasks())->type(), platform::Number::Type::Int32);
  EXPECT_EQ(controller->int32Value(Processor::threads()), 15);

  auto empty = std::make_shared<platform::MemoryTextSource>();
  empty->setFile("/proc/stat", "cpu 1 1 1 1\n");
  Orvane::ProcessorController blind(empty, machine.constants());
  blind.refresh(0);
  EXPECT_EQ(blind.tasks(), 0);
  for (int pid : {1, 2, 300, 301}) machine.removeProcess(pid);
  controller->refresh(0);  // no process can be read
  EXPECT_EQ(controller->int32Value(Processor::tasks()), 4);
  EXPECT_EQ(controller->int32Value(Processor::threads()), 15);
}

}  // namespace
