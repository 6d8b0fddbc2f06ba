#include <gtest/gtest.h>
#include <pthread.h>
#include <sched.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <iterator>
#include <sstream>
#include <thread>

#include "Orvane/Processor.hpp"
#include "Orvane/ProcessorController.hpp"
#include "Platform/Foundation/Clock.hpp"
#include "Platform/System/CpuList.hpp"
#include "tests/Orvane/FakeMachine.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

namespace {

using Orvane::Processor;

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
  double idle = delta(3) + delta(4);
  double total = user + nice + system + idle;
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

  const auto listed = systemtest::byPid(controller);
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
    // Kernel workers rename themselves after the work queue they serve: only "kworker/N:M" is stable.
    const std::string& name = listed.at(pid)->name();
    if (name.starts_with("kworker/")) {
      EXPECT_EQ(name.substr(0, name.find('-')), row.command.substr(0, row.command.find('-')));
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
  auto resident = [&] { return systemtest::byPid(controller).at(child.pid())->memory().totalBytes; };
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
