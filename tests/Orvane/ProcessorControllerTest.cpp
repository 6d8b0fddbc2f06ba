#include <gtest/gtest.h>

#include <cmath>
#include <tuple>

#include "Bexlan/NumberIdentifier.hpp"
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

TEST_F(ProcessorControllerTest, RegistersFiveEntriesThatHoldNoNumberBeforeTheFirstRefresh) {
  auto entry = [&](const std::string& key) {
    return controller->store()->identifierAs<Bexlan::NumberIdentifier>(key);
  };
  for (const std::string* key : {&Processor::total(), &Processor::system(), &Processor::user(),
                                 &Processor::tasks(), &Processor::threads()}) {
    ASSERT_NE(entry(*key), nullptr) << *key;
    EXPECT_FALSE(controller->value(*key).has_value());
    EXPECT_EQ(controller->string(*key), "-");
    EXPECT_NE(entry(*key)->icon(), nullptr);
  }
  // Loads are unsigned percentages with two decimals; counts are raw signed integers.
  const auto& total = entry(Processor::total())->mValue();
  const auto& tasks = entry(Processor::tasks())->mValue();
  EXPECT_EQ(std::tuple(total.category(), total.decimals(), total.isSigned()),
            std::tuple(Bexlan::IdentifierCategory::percentage, std::optional(2), false));
  EXPECT_EQ(std::tuple(tasks.category(), tasks.decimals(), tasks.isSigned()),
            std::tuple(Bexlan::IdentifierCategory::raw, std::optional<int>(), true));

  const Orvane::SystemInfo& info = controller->systemInfo();
  EXPECT_EQ(std::tuple(info.cpuCount, info.memSize, info.pageSize, info.booted.seconds),
            std::tuple(2, 2048u * 1024, 4096, 1700000000));
}

TEST_F(ProcessorControllerTest, FirstRefreshShowsTheAverageSinceBootAndLaterOnesTheInterval) {
  controller->refresh(0);
  EXPECT_EQ(std::tuple(controller->cpuUser(), controller->cpuSystem(), controller->cpuNice(),
                       controller->cpuIdle()),
            std::tuple(10.0, 5.0, 1.0, 84.0));
  EXPECT_DOUBLE_EQ(controller->doubleValue(Processor::total()), 15);
  EXPECT_EQ(controller->value(Processor::total())->type(), platform::Number::Type::Double);
  EXPECT_EQ(controller->totalCpuTicks(), 1000u);
  EXPECT_EQ(controller->loadPrevious(), (Orvane::HostInfo{100, 50, 840, 10}));

  // 200 ticks: 60 user, 20 system, 20 nice, 100 idle.
  machine.setStat({160, 30, 70, 940});
  controller->refresh(5);
  EXPECT_EQ(
      std::tuple(controller->doubleValue(Processor::user()), controller->doubleValue(Processor::system()),
                 controller->doubleValue(Processor::total()), controller->cpuNice(),
                 controller->totalCpuTicks()),
      std::tuple(30.0, 10.0, 40.0, 10.0, 200u));
  EXPECT_EQ(controller->string(Processor::total()).find("40"), 0u);
}

TEST_F(ProcessorControllerTest, IdleNiceAndDecreasingIntervals) {
  controller->refresh(0);
  // No tick at all: 0, not a quotient by zero.
  controller->refresh(0);
  EXPECT_EQ(controller->doubleValue(Processor::total()), 0.0);
  EXPECT_EQ(controller->doubleValue(Processor::user()), 0.0);
  EXPECT_FALSE(std::isnan(controller->cpuIdle()));
  // Niced work only: the whole grows, "CPU_T" stays 0.
  machine.setStat({100, 60, 50, 840});
  controller->refresh(0);
  EXPECT_EQ(controller->doubleValue(Processor::total()), 0.0);
  EXPECT_DOUBLE_EQ(controller->cpuNice(), 100);
  // A counter that went down contributes nothing; counters beyond 32 bits count in full.
  machine.setStat({90, 60, 4294967346, 860});
  controller->refresh(0);
  EXPECT_EQ(controller->totalCpuTicks(), 4294967296u + 20);
  EXPECT_DOUBLE_EQ(controller->cpuUser(), 0);
  EXPECT_NEAR(controller->cpuSystem(), 100.0 * 4294967296 / 4294967316, 1e-9);
}

TEST_F(ProcessorControllerTest, FailedLoadReadGivesZerosAndTheNextReadTheAverageSinceBoot) {
  controller->refresh(0);
  machine.source->remove("/proc/stat");
  controller->refresh(0);
  EXPECT_EQ(controller->doubleValue(Processor::total()), 0.0);
  EXPECT_EQ(controller->totalCpuTicks(), 0u);
  EXPECT_EQ(controller->loadPrevious(), Orvane::HostInfo{});
  machine.setStat({200, 20, 100, 1680});
  controller->refresh(0);
  EXPECT_DOUBLE_EQ(controller->doubleValue(Processor::user()), 10);
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

TEST_F(ProcessorControllerTest, ElapsedTimeHasNoEffect) {
  Orvane::ProcessorController other(machine.source, machine.constants());
  controller->refresh(0);
  other.refresh(1e9);
  machine.setStat({160, 30, 70, 940});
  controller->refresh(0.001);
  other.refresh(-5);
  for (const std::string* key : {&Processor::total(), &Processor::system(), &Processor::user()}) {
    EXPECT_EQ(controller->value(*key), other.value(*key));
  }
  EXPECT_DOUBLE_EQ(other.doubleValue(Processor::total()), 40);
}

}  // namespace
