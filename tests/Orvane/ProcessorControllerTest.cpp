#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cmath>
#include <iterator>
#include <sstream>
#include <thread>
#include <tuple>

#include "Orvane/Processor.hpp"
#include "Orvane/ProcessorController.hpp"
#include "Platform/Foundation/Clock.hpp"
#include "Platform/System/CpuList.hpp"
#include "tests/Orvane/FakeMachine.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

namespace {

using Orvane::Processor;
using systemtest::byPid;
using testing::ElementsAre;
using testing::FloatEq;
using testing::IsNan;

float usageOf(const Orvane::ProcessorController& controller, std::int32_t pid) {
  return byPid(controller).at(pid)->cpu().usage;
}

struct ProcessorControllerTest : testing::Test {
  systemtest::FakeMachine machine;
  std::shared_ptr<systemtest::ForwardingSource> counting =
      std::make_shared<systemtest::ForwardingSource>(machine.source);
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
    controller = std::make_unique<Orvane::ProcessorController>(counting, machine.constants());
    controller->setCollectProcessInformation(true);
  }
  static std::vector<float> usages(const Orvane::ProcessorController& controller) {
    std::vector<float> result;
    for (const auto& core : controller.cores()) result.push_back(core->usage().floatValue());
    return result;
  }
  std::pair<int, int> tasksAndThreads() const {
    return {controller->int32Value(Processor::tasks()), controller->int32Value(Processor::threads())};
  }
};

// One monitor through a run of /proc/stat samples (a missing one as nullopt), each refreshed with another
// elapsed time, which plays no part: the first sample and the one after a failed read give the average since
// boot, the others the share of each interval's ticks.
TEST_F(ProcessorControllerTest, LoadsAreSharesOfTheTicksSinceTheLastReadWhateverTheElapsedTime) {
  struct Step {
    std::optional<systemtest::FakeMachine::Ticks> stat;  // user, nice, system, idle
    double elapsed, user, system, nice;
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

TEST_F(ProcessorControllerTest,
       FirstCollectionListsNamedLiveProcessesWithZeroSharesAndOffReadsNoResidentMemory) {
  controller->refresh(0);
  // Tasks count every process (the zombie, the kernel thread and the nameless one too), threads theirs.
  EXPECT_EQ(tasksAndThreads(), std::pair(7, 10));
  EXPECT_EQ(controller->value(Processor::tasks())->type(), platform::Number::Type::Int32);
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

  // With collection off no resident memory is read, but every task counted.
  counting->statmReads = 0;
  Orvane::ProcessorController off(counting, machine.constants());
  off.refresh(0);
  EXPECT_EQ(counting->statmReads, 0);
  EXPECT_EQ(off.tasks(), 7);
}

TEST_F(ProcessorControllerTest, LaterCollectionsGiveSharesOfTheWallClockInterval) {
  controller->refresh(0);
  auto first = byPid(*controller);
  clock.advance(2.0);
  machine.setProcess(40, "busy", 1000 + 200, 300, 'R', 1, 4);  // 2 s of one processor in 2 s
  machine.setProcess(43, "a) b (c", 3, 40);                    // time went down: a reused pid
  machine.setProcess(50, "newcomer", 400, 10);                 // started in between
  controller->refresh(0);
  auto second = byPid(*controller);
  EXPECT_FLOAT_EQ(second.at(40)->cpu().usage, 100.0f);
  EXPECT_EQ(std::pair(second.at(43)->cpu().usage, second.at(50)->cpu().usage), std::pair(0.0f, 0.0f));
  // Each collection makes new records: the same process gives unequal records.
  EXPECT_NE(*second.at(40), *first.at(40));

  controller->setNormalize(true);
  clock.advance(1.0);
  machine.setProcess(40, "busy", 1200 + 100, 300, 'R', 1, 4);
  controller->refresh(0);
  EXPECT_FLOAT_EQ(usageOf(*controller, 40), 25.0f);  // 100 over 4 online processors
}

TEST_F(ProcessorControllerTest, ResidentMemoryIsReadAgainWhenAProcessRanOrIsNewAndEveryTenSeconds) {
  controller->refresh(0);
  const int everyProcess = counting->statmReads;
  auto memoryOf = [&](std::int32_t pid) { return byPid(*controller).at(pid)->memory().totalBytes; };
  machine.setProcess(40, "busy", 1100, 900, 'R', 1, 4);              // ran and grew
  machine.setProcess(1, "init", 500, 9999, 'S', 0);                  // idle: its last size stands
  machine.setProcess(43, "a) b (c", 20, 77, 'S', 1, 1, false, 600);  // the pid of a new process
  clock.advance(9.0);
  controller->refresh(0);
  EXPECT_EQ(counting->statmReads, everyProcess + 2);
  EXPECT_EQ(std::tuple(memoryOf(40), memoryOf(1), memoryOf(43)),
            std::tuple(900u * 4096, 2500u * 4096, 77u * 4096));
  EXPECT_EQ(usageOf(*controller, 43), 0.0f);  // its time is not the former process's
  clock.advance(1.0);
  controller->refresh(0);
  EXPECT_EQ(memoryOf(1), 9999u * 4096);
}

TEST_F(ProcessorControllerTest, AClockStepBackOrNoProcessorsGiveNoShares) {
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
}

TEST_F(ProcessorControllerTest, AFailedListingKeepsThePreviousTreeAndSwitchingCollectionEmptiesIt) {
  controller->refresh(0);
  auto tree = controller->oldProcessTree();
  for (int pid : {1, 2, 40, 41, 42, 43, 44}) machine.removeProcess(pid);
  controller->refresh(0);
  EXPECT_TRUE(controller->processes().empty());
  EXPECT_EQ(controller->oldProcessTree(), tree);
  EXPECT_EQ(tasksAndThreads(), std::pair(7, 10));  // the counts of the last listing stay
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

TEST_F(ProcessorControllerTest, AnotherThreadReadsOnlyWholeCollections) {
  std::atomic<int> partial = 0;
  std::jthread reader([&](std::stop_token stop) {
    while (!stop.stop_requested()) {
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
  reader = {};  // stopped and joined
  EXPECT_EQ(partial, 0);
  EXPECT_FLOAT_EQ(usageOf(*controller, 40), 100.0f);
}

TEST_F(ProcessorControllerTest, OneCorePerOnlineProcessorWithItsClockAndKind) {
  machine.setOnline("0-2");
  const std::string cpu = "/sys/devices/system/cpu/cpu";
  machine.source->setFile(cpu + "0/cpufreq/cpuinfo_max_freq", "5200000\n");
  machine.source->setFile(cpu + "0/of_node/compatible", std::string("apple,Firestorm\0apple,icestorm\0", 31));
  machine.source->setFile(cpu + "1/of_node/compatible", std::string("apple,icestorm\0", 15));
  machine.source->setFile(cpu + "2/of_node/compatible", "ice\xffstorm");
  Orvane::ProcessorController monitor(machine.source, machine.constants("aarch64"));
  EXPECT_TRUE(monitor.cores().empty());
  monitor.refresh(0);

  const auto& cores = monitor.cores();
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

TEST_F(ProcessorControllerTest, UsageIsTheBusyShareSinceBootThenOfEachIntervalAndZeroWithoutCounters) {
  machine.setOnline("0-2");
  machine.setStat({60, 0, 30, 210}, {{10, 0, 10, 80}, {50, 0, 20, 30}, {0, 0, 0, 100}});
  Orvane::ProcessorController monitor(machine.source, machine.constants());
  monitor.refresh(0);
  auto first = monitor.cores();
  EXPECT_THAT(usages(monitor), ElementsAre(FloatEq(0.2f), FloatEq(0.7f), FloatEq(0.0f)));
  EXPECT_EQ(first[0]->usage().type(), platform::Number::Type::Float);
  // cpu0: 45 busy (nice included) of 100; cpu1: no tick at all (0 / 0); cpu2: its idle counter went down,
  // which counts as no tick either.
  machine.setStat({0, 0, 0, 0}, {{40, 5, 20, 135}, {50, 0, 20, 30}, {0, 0, 0, 90}});
  monitor.refresh(0);
  EXPECT_THAT(usages(monitor), ElementsAre(FloatEq(0.45f), IsNan(), IsNan()));
  for (std::size_t i = 0; i < first.size(); ++i) EXPECT_NE(*monitor.cores()[i], *first[i]);

  // A failed counter read leaves the usage at 0 and keeps the previous sample.
  machine.source->remove("/proc/stat");
  monitor.refresh(0);
  ASSERT_EQ(monitor.cores().size(), 3u);
  EXPECT_EQ(monitor.cores()[0]->usage(), platform::Number::of(0.0));
  machine.setStat({0, 0, 0, 0}, {{60, 5, 20, 155}, {50, 0, 20, 30}, {0, 0, 0, 90}});  // cpu0: 20 of 40
  monitor.refresh(0);
  EXPECT_FLOAT_EQ(usages(monitor)[0], 0.5f);
  machine.source->remove("/sys/devices/system/cpu/online");
  monitor.refresh(0);
  EXPECT_TRUE(monitor.cores().empty());
}

TEST_F(ProcessorControllerTest, PositionsFollowTheOnlineListAndStopAtTheProcessorsOfCreation) {
  // cpu1 offline: /proc/stat has no line for it, and the second core is cpu2.
  machine.setOnline("0,2");
  machine.setStat({0, 0, 0, 0}, {{10, 0, 10, 80}, {0, 0, 0, 100}}, {0, 2});
  Orvane::ProcessorController monitor(machine.source, machine.constants());
  EXPECT_EQ(monitor.numberOfCpus(), 2);
  monitor.refresh(0);
  EXPECT_THAT(usages(monitor), ElementsAre(FloatEq(0.2f), FloatEq(0.0f)));
  // cpu1 comes online: a third core is listed, beyond the two processors the monitor was made with; its
  // first sample is the share since boot.
  machine.setOnline("0-2");
  machine.setStat({0, 0, 0, 0}, {{20, 0, 10, 90}, {5, 0, 5, 10}, {50, 0, 0, 150}});
  monitor.refresh(0);
  EXPECT_THAT(usages(monitor), ElementsAre(FloatEq(0.5f), FloatEq(0.5f), FloatEq(0.0f)));
  EXPECT_EQ(monitor.cores()[2]->usage(), platform::Number::of(0.0));
}

// The first line of a recorded /proc/stat, column by column.
std::vector<double> totalLine(int sample) {
  std::istringstream line(systemtest::fileText(systemtest::samplePath(sample) / "proc/stat"));
  std::string name;
  line >> name;
  std::vector<double> columns(10);
  for (double& column : columns) line >> column;
  return columns;
}

// utime + stime (fields 14 and 15) of a recorded process, or -1 when the sample lacks it.
double recordedTicks(int sample, std::int32_t pid) {
  const std::string stat =
      systemtest::fileText(systemtest::samplePath(sample) / "proc" / std::to_string(pid) / "stat");
  std::istringstream fields(stat.substr(stat.rfind(')') + 1));
  const std::vector<std::string> words{std::istream_iterator<std::string>(fields), {}};
  return words.size() > 12 ? std::stod(words[11]) + std::stod(words[12]) : -1;
}

TEST(ProcessorControllerRecordedTest, LoadAndSharesBetweenTheTwoSamples) {
  auto source = std::make_shared<systemtest::ForwardingSource>(systemtest::sampleSource(0));
  platform::Clock::Override clock(1000, 1);
  Orvane::ProcessorController controller(source, systemtest::sampleConstants(0));
  controller.setCollectProcessInformation(true);
  controller.refresh(0);
  source->inner = systemtest::sampleSource(1);
  clock.advance(1.0);
  controller.refresh(0);

  auto before = totalLine(0), after = totalLine(1);
  auto delta = [&](int column) { return after[column] - before[column]; };
  double user = delta(0), nice = delta(1), system = delta(2) + delta(5) + delta(6) + delta(7);
  double total = user + nice + system + delta(3) + delta(4);  // idle = idle + iowait
  ASSERT_GT(total, 0);
  EXPECT_DOUBLE_EQ(controller.doubleValue(Processor::user()), user / total * 100);
  EXPECT_DOUBLE_EQ(controller.doubleValue(Processor::system()), system / total * 100);
  EXPECT_DOUBLE_EQ(controller.doubleValue(Processor::total()), (user + system) / total * 100);

  // Every process of both samples got the share of its ticks over the one second between them.
  int compared = 0;
  for (const auto& process : controller.processes()) {
    double earlier = recordedTicks(0, process->pid());
    if (earlier < 0 || recordedTicks(1, process->pid()) < earlier) continue;
    double expected = (recordedTicks(1, process->pid()) - earlier) / 100.0 * 100;
    EXPECT_FLOAT_EQ(process->cpu().usage, static_cast<float>(expected)) << process->name();
    compared += expected > 0;
  }
  EXPECT_GT(compared, 0);
}

// Every process that ps listed just before and just after a refresh, under the same name and not as a
// zombie, is in the list with its parent and name.
TEST(ProcessorControllerLiveTest, ProcessListHoldsEveryProcessOfPs) {
  Orvane::ProcessorController controller;
  controller.setCollectProcessInformation(true);
  const std::string ps = "ps -e -o pid=,ppid=,stat=,rss=,comm=";
  const auto before = systemtest::parsePs(systemtest::commandOutput(ps));
  controller.refresh(0);
  const auto after = systemtest::parsePs(systemtest::commandOutput(ps));

  const auto listed = byPid(controller);
  int steady = 0;
  for (const auto& [pid, row] : before) {
    const auto later = after.find(pid);
    if (later == after.end() || later->second.command != row.command) continue;
    if (row.stat.front() == 'Z' || later->second.stat.front() == 'Z') continue;
    ++steady;
    ASSERT_TRUE(listed.contains(pid)) << pid << " " << row.command;
    // A process whose parent ends meanwhile is handed to another parent.
    const auto ppid = listed.at(pid)->ppid();
    EXPECT_TRUE(ppid == row.ppid || ppid == later->second.ppid) << pid << " " << row.command << " " << ppid;
    // Kernel workers rename themselves after the work queue they serve, "-queue" when it last ran and
    // "+queue" while it runs: only "kworker/N:M" is stable.
    const std::string& name = listed.at(pid)->name();
    if (name.starts_with("kworker/")) {
      const auto stable = [](const std::string& worker) {
        return worker.substr(0, worker.find_first_of("-+"));
      };
      EXPECT_EQ(stable(name), stable(row.command));
    } else {
      EXPECT_EQ(name, row.command);
    }
  }
  EXPECT_GT(steady, 10);
  // Tests running beside this one start and end processes between the two listings: the count may move by
  // as many processes as came or went, plus a few that came and went unseen.
  std::size_t churn = 0;
  for (const auto& [pid, row] : before) churn += after.contains(pid) ? 0 : 1;
  for (const auto& [pid, row] : after) churn += before.contains(pid) ? 0 : 1;
  const double fewest = static_cast<double>(std::min(before.size(), after.size()));
  const double most = static_cast<double>(std::max(before.size(), after.size()));
  EXPECT_GE(controller.tasks(), fewest - static_cast<double>(churn) - 10);
  EXPECT_LE(controller.tasks(), most + static_cast<double>(churn) + 10);
}

// A process that allocates memory ran to do it, so the next refresh reads its resident size again.
TEST(ProcessorControllerLiveTest, AChildThatAllocatesShowsItsMemoryAtTheNextRefresh) {
  constexpr std::uint64_t MiB = 1024 * 1024;
  systemtest::IdleChild child;
  Orvane::ProcessorController controller;
  controller.setCollectProcessInformation(true);
  auto resident = [&] { return byPid(controller).at(child.pid())->memory().totalBytes; };
  controller.refresh(0);
  const std::uint64_t before = resident();
  ASSERT_GT(before, 0u);
  ASSERT_TRUE(child.hold(64 * MiB));
  controller.refresh(0);
  EXPECT_GE(resident(), before + 64 * MiB);
}

TEST(ProcessorControllerLiveTest, ABusyThreadPinnedToOneProcessorFillsItsCore) {
  auto online = platform::readOnlineCpus(*platform::TextSource::live()).value();
  unsigned cpu = online.back();
  std::atomic<int> pinning = 0;  // 1 once pinned, -1 when the processor may not be used
  std::jthread busy([&](std::stop_token stop) {
    cpu_set_t set;
    CPU_ZERO(&set);
    CPU_SET(cpu, &set);
    pinning = ::pthread_setaffinity_np(::pthread_self(), sizeof set, &set) == 0 ? 1 : -1;
    volatile std::uint64_t spins = 0;
    while (!stop.stop_requested()) spins = spins + 1;
  });
  while (pinning == 0) std::this_thread::yield();
  ASSERT_EQ(pinning.load(), 1) << "cannot pin a thread to processor " << cpu;

  Orvane::ProcessorController controller;
  controller.refresh(0);
  std::this_thread::sleep_for(std::chrono::seconds(1));
  controller.refresh(0);

  ASSERT_EQ(controller.cores().size(), online.size());
  const auto& core = *controller.cores().back();
  EXPECT_GE(core.usage().floatValue(), 0.9f);
  EXPECT_GE(controller.doubleValue(Processor::total()), 100.0 / online.size() - 3);
}

}  // namespace
