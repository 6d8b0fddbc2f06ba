// One refresh of the whole suite (processor with process collection and normalising, memory, network,
// volumes), and of the processor monitor alone, each against its floor: what a C program spends to read
// the same kernel files once (open, one read into a fixed buffer, close). Every benchmark takes the number
// of idle child processes to run beside the machine's own (0, 1,000, 4,000) and reports CPU time of the
// whole process. Compare contenders of one run, with their rounds interleaved:
//   bench_full_tick --benchmark_repetitions=5 --benchmark_enable_random_interleaving=true
//                   --benchmark_report_aggregates_only=true --benchmark_filter=-Paced
// PacedFloor is the floor at the dashboard's pace (300 ticks, 0.1 s apart), to set beside the dashboard's
// CPU time over `--interval 0.1 --ticks 300`.
#include <benchmark/benchmark.h>
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/prctl.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <memory>
#include <stdexcept>
#include <thread>
#include <vector>

#include "Bexlan/DataProviderContainer.hpp"
#include "Draskel/VolumesController.hpp"
#include "Orvane/MemoryController.hpp"
#include "Orvane/NetworkController.hpp"
#include "Orvane/ProcessorController.hpp"

namespace {

// Child processes that only wait, ended by pid when there are to be fewer and at exit. A child also ends
// when this process does (PR_SET_PDEATHSIG), however it ends.
class IdleChildren {
 public:
  static IdleChildren& instance() {
    static IdleChildren children;
    return children;
  }
  ~IdleChildren() { resize(0); }

  void resize(std::size_t count) {
    if (count > pids_.size()) raiseProcessLimit(count);
    while (pids_.size() < count) {
      const pid_t pid = ::fork();
      if (pid < 0) throw std::runtime_error("fork failed with " + std::to_string(pids_.size()) + " children");
      if (pid == 0) {
        ::prctl(PR_SET_PDEATHSIG, SIGKILL);
        for (;;) ::pause();
      }
      pids_.push_back(pid);
    }
    while (pids_.size() > count) {
      ::kill(pids_.back(), SIGKILL);
      ::waitpid(pids_.back(), nullptr, 0);
      pids_.pop_back();
    }
  }

 private:
  static void raiseProcessLimit(std::size_t count) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NPROC, &limit) != 0 || limit.rlim_cur >= count + 4096) return;
    limit.rlim_cur = limit.rlim_max;
    ::setrlimit(RLIMIT_NPROC, &limit);
  }

  std::vector<pid_t> pids_;
};

// Opens the file, reads once into the buffer, closes it: what any reader has to spend at least.
std::size_t readOnce(const char* path) {
  static char buffer[65536];
  const int fd = ::open(path, O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  const ssize_t count = ::read(fd, buffer, sizeof buffer);
  ::close(fd);
  return count > 0 ? static_cast<std::size_t>(count) : 0;
}

// The floor: the given system files, then every /proc/[pid]/stat; the number of processes.
std::size_t readFloor(std::initializer_list<const char*> systemFiles) {
  std::size_t bytes = 0;
  for (const char* path : systemFiles) bytes += readOnce(path);
  std::size_t processes = 0;
  DIR* proc = ::opendir("/proc");
  while (const dirent* entry = ::readdir(proc)) {
    if (entry->d_name[0] < '0' || entry->d_name[0] > '9') continue;
    char path[sizeof entry->d_name + 16];
    std::snprintf(path, sizeof path, "/proc/%s/stat", entry->d_name);
    bytes += readOnce(path);
    ++processes;
  }
  ::closedir(proc);
  benchmark::DoNotOptimize(bytes);
  return processes;
}

std::size_t fullFloor() {
  return readFloor({"/proc/stat", "/proc/meminfo", "/proc/net/dev", "/proc/diskstats"});
}

std::size_t processorFloor() { return readFloor({"/proc/stat"}); }

std::shared_ptr<Orvane::ProcessorController> collectingProcessor() {
  auto processor = std::make_shared<Orvane::ProcessorController>();
  processor->setCollectProcessInformation(true);
  processor->setNormalize(true);
  return processor;
}

void Floor(benchmark::State& state) {
  IdleChildren::instance().resize(static_cast<std::size_t>(state.range(0)));
  std::size_t processes = 0;
  for (auto _ : state) processes = fullFloor();
  state.counters["processes"] = static_cast<double>(processes);
}

void FullTick(benchmark::State& state) {
  IdleChildren::instance().resize(static_cast<std::size_t>(state.range(0)));
  auto container = Bexlan::DataProviderContainer::create(std::nullopt);
  auto processor = collectingProcessor();
  container->add(processor);
  container->add(std::make_shared<Orvane::MemoryController>());
  container->add(std::make_shared<Orvane::NetworkController>());
  container->add(Draskel::VolumesController::create());
  container->refresh();
  for (auto _ : state) container->refresh();
  container->stop();
  state.counters["processes"] = static_cast<double>(processor->tasks());
}

void ProcessorFloor(benchmark::State& state) {
  IdleChildren::instance().resize(static_cast<std::size_t>(state.range(0)));
  std::size_t processes = 0;
  for (auto _ : state) processes = processorFloor();
  state.counters["processes"] = static_cast<double>(processes);
}

void Processor(benchmark::State& state) {
  IdleChildren::instance().resize(static_cast<std::size_t>(state.range(0)));
  auto processor = collectingProcessor();
  processor->refresh(0);
  for (auto _ : state) processor->refresh(1);
  state.counters["processes"] = static_cast<double>(processor->tasks());
}

// The full floor 300 times, 0.1 s apart, as the dashboard ticks at `--interval 0.1`.
void PacedFloor(benchmark::State& state) {
  IdleChildren::instance().resize(0);
  for (auto _ : state) {
    fullFloor();
    state.PauseTiming();
    std::this_thread::sleep_for(std::chrono::milliseconds(100));
    state.ResumeTiming();
  }
}

void childCounts(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(0)->Arg(1000)->Arg(4000)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);
}

BENCHMARK(Floor)->Apply(childCounts);
BENCHMARK(FullTick)->Apply(childCounts);
BENCHMARK(ProcessorFloor)->Apply(childCounts);
BENCHMARK(Processor)->Apply(childCounts);
BENCHMARK(PacedFloor)->Iterations(300)->MeasureProcessCPUTime()->Unit(benchmark::kMillisecond);

}  // namespace
