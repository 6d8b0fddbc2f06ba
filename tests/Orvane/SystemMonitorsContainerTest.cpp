#include <gtest/gtest.h>

#include "Bexlan/DataProviderContainer.hpp"
#include "Orvane/Memory.hpp"
#include "Orvane/MemoryController.hpp"
#include "Orvane/Processor.hpp"
#include "Orvane/ProcessorController.hpp"
#include "tests/Orvane/FakeMachine.hpp"

namespace {

// The processor and memory monitors as the application adds them: each tick's values reach the container.
TEST(SystemMonitorsContainerTest, EveryTickPublishesMemoryAndLoadThroughTheContainer) {
  systemtest::FakeMachine machine;
  machine.setStat({100, 0, 100, 800});
  machine.setProcess(1, "init", 5);
  machine.source->setFile("/proc/meminfo",
                          "MemTotal: 1000 kB\nMemFree: 600 kB\nActive: 300 kB\nInactive: 100 kB\n");
  auto processor = std::make_shared<Orvane::ProcessorController>(machine.source, machine.constants());
  auto memory = std::make_shared<Orvane::MemoryController>(machine.source);
  processor->setCollectProcessInformation(true);
  processor->setNormalize(true);

  auto container = Bexlan::DataProviderContainer::create(std::nullopt);
  container->add(processor);
  container->add(memory);
  container->refresh();
  EXPECT_DOUBLE_EQ(container->doubleValue(Orvane::Processor::total()), 20);
  EXPECT_EQ(container->int32Value(Orvane::Processor::tasks()), 1);
  EXPECT_EQ(container->uInt64Value(Orvane::Memory::used()), 300u * 1024);
  EXPECT_EQ(container->uInt64Value(Orvane::Memory::free()), 700u * 1024);
  EXPECT_EQ(processor->processes().size(), 1u);

  machine.setStat({150, 0, 150, 900});
  container->refresh();
  EXPECT_DOUBLE_EQ(container->doubleValue(Orvane::Processor::total()), 50);
  EXPECT_EQ(container->store()->doubleHistory(Orvane::Processor::total()).back(), 50);

  container->setHistorySize(10);
  EXPECT_EQ(processor->store()->history(Orvane::Processor::total())->size(), 10u);
  EXPECT_EQ(memory->store()->history(Orvane::Memory::used())->size(), 10u);
}

}  // namespace
