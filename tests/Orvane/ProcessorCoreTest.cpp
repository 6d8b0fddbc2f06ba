#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "Orvane/ProcessorController.hpp"
#include "tests/Orvane/FakeMachine.hpp"

namespace {

using testing::ElementsAre;
using testing::FloatEq;
using testing::IsNan;

struct ProcessorCoreTest : testing::Test {
  systemtest::FakeMachine machine;

  void SetUp() override {
    machine.setOnline("0-2");
    machine.setStat({60, 0, 30, 210}, {{10, 0, 10, 80}, {50, 0, 20, 30}, {0, 0, 0, 100}});
    machine.setProcess(1, "init", 1);
  }

  static std::vector<float> usages(const Orvane::ProcessorController& controller) {
    std::vector<float> result;
    for (const auto& core : controller.cores()) result.push_back(core->usage().floatValue());
    return result;
  }
};

TEST_F(ProcessorCoreTest, OneCorePerOnlineProcessorWithItsClockAndKind) {
  machine.source->setFile("/sys/devices/system/cpu/cpu0/cpufreq/cpuinfo_max_freq", "5200000\n");
  machine.source->setFile("/sys/devices/system/cpu/cpu0/of_node/compatible",
                          std::string("apple,Firestorm\0apple,icestorm\0", 31));
  machine.source->setFile("/sys/devices/system/cpu/cpu1/of_node/compatible",
                          std::string("apple,icestorm\0", 15));
  machine.source->setFile("/sys/devices/system/cpu/cpu2/of_node/compatible", "ice\xffstorm");
  Orvane::ProcessorController controller(machine.source, machine.constants("aarch64"));
  EXPECT_TRUE(controller.cores().empty());
  controller.refresh(0);

  const auto& cores = controller.cores();
  ASSERT_EQ(cores.size(), 3u);
  for (std::size_t i = 0; i < cores.size(); ++i) {
    EXPECT_EQ(cores[i]->cpuId(), static_cast<std::int64_t>(i));
    EXPECT_TRUE(cores[i]->isAppleSilicon());
    EXPECT_FALSE(cores[i]->busFrequency() || cores[i]->timebaseFrequency());
  }
  EXPECT_EQ(cores[0]->clockFrequency(), platform::Number::of(std::uint64_t{5200000000}));
  EXPECT_FALSE(cores[1]->clockFrequency().has_value());
  // Firestorm wins over icestorm in the same text; a text that is not UTF-8 names no kind.
  EXPECT_EQ(cores[0]->isFirestorm(), true);
  EXPECT_FALSE(cores[0]->isIcestorm().has_value() || cores[1]->isFirestorm().has_value());
  EXPECT_EQ(cores[1]->isIcestorm(), true);
  EXPECT_FALSE(cores[2]->isIcestorm().has_value());

  Orvane::ProcessorController intel(machine.source, machine.constants("x86_64"));
  intel.refresh(0);
  EXPECT_FALSE(intel.cores().at(0)->isAppleSilicon());
}

TEST_F(ProcessorCoreTest, UsageIsTheBusyShareSinceBootThenOfEachIntervalAndZeroWithoutCounters) {
  Orvane::ProcessorController controller(machine.source, machine.constants());
  controller.refresh(0);
  auto first = controller.cores();
  EXPECT_THAT(usages(controller), ElementsAre(FloatEq(0.2f), FloatEq(0.7f), FloatEq(0.0f)));
  EXPECT_EQ(first[0]->usage().type(), platform::Number::Type::Float);
  // cpu0: 45 busy (nice included) of 100; cpu1: no tick at all (0 / 0); cpu2: its idle counter went down,
  // which counts as no tick either.
  machine.setStat({0, 0, 0, 0}, {{40, 5, 20, 135}, {50, 0, 20, 30}, {0, 0, 0, 90}});
  controller.refresh(0);
  EXPECT_THAT(usages(controller), ElementsAre(FloatEq(0.45f), IsNan(), IsNan()));
  for (std::size_t i = 0; i < first.size(); ++i) EXPECT_NE(*controller.cores()[i], *first[i]);

  // A failed counter read leaves the usage at 0 and keeps the previous sample.
  machine.source->remove("/proc/stat");
  controller.refresh(0);
  ASSERT_EQ(controller.cores().size(), 3u);
  EXPECT_EQ(controller.cores()[0]->usage(), platform::Number::of(0.0));
  machine.setStat({0, 0, 0, 0}, {{60, 5, 20, 155}, {50, 0, 20, 30}, {0, 0, 0, 90}});  // cpu0: 20 of 40
  controller.refresh(0);
  EXPECT_FLOAT_EQ(usages(controller)[0], 0.5f);
  machine.source->remove("/sys/devices/system/cpu/online");
  controller.refresh(0);
  EXPECT_TRUE(controller.cores().empty());
}

TEST_F(ProcessorCoreTest, PositionsFollowTheOnlineListAndStopAtTheProcessorsOfCreation) {
  // cpu1 offline: /proc/stat has no line for it, and the second core is cpu2.
  machine.setOnline("0,2");
  machine.setStat({0, 0, 0, 0}, {{10, 0, 10, 80}, {0, 0, 0, 100}}, {0, 2});
  Orvane::ProcessorController controller(machine.source, machine.constants());
  EXPECT_EQ(controller.numberOfCpus(), 2);
  controller.refresh(0);
  EXPECT_THAT(usages(controller), ElementsAre(FloatEq(0.2f), FloatEq(0.0f)));
  EXPECT_EQ(controller.cores()[1]->usage().type(), platform::Number::Type::Float);
  // cpu1 comes online: a third core is listed, beyond the two processors the monitor was made with; its
  // first sample is the share since boot.
  machine.setOnline("0-2");
  machine.setStat({0, 0, 0, 0}, {{20, 0, 10, 90}, {5, 0, 5, 10}, {50, 0, 0, 150}});
  controller.refresh(0);
  EXPECT_THAT(usages(controller), ElementsAre(FloatEq(0.5f), FloatEq(0.5f), FloatEq(0.0f)));
  EXPECT_EQ(controller.cores()[2]->usage(), platform::Number::of(0.0));
}

}  // namespace
