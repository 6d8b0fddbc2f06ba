#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "Orvane/ProcessorController.hpp"
#include "Platform/System/SystemConstants.hpp"
#include "Platform/System/TextSource.hpp"

namespace systemtest {

// A machine made of /proc and /sys files in memory, for the memory and processor monitors: the files are
// written as the kernel writes them, from the few numbers a test cares about.
class FakeMachine {
 public:
  struct Ticks {
    std::uint64_t user = 0, nice = 0, system = 0, idle = 0;
  };

  FakeMachine() { setOnline("0-1"); }

  std::shared_ptr<platform::MemoryTextSource> source = std::make_shared<platform::MemoryTextSource>();

  static platform::SystemConstants constants(const std::string& machine = "x86_64") {
    return platform::SystemConstants{4096, 100, machine};
  }

  void setMemInfo(std::uint64_t total, std::uint64_t free, std::uint64_t active, std::uint64_t inactive,
                  std::uint64_t unevictable = 0, std::uint64_t zswap = 0) {
    auto kB = [](std::uint64_t size) { return ": " + std::to_string(size) + " kB\n"; };
    source->setFile("/proc/meminfo", "MemTotal" + kB(total) + "MemFree" + kB(free) + "Active" + kB(active) +
                                         "Inactive" + kB(inactive) + "Unevictable" + kB(unevictable) +
                                         "Zswap" + kB(zswap));
  }

  void setOnline(const std::string& list) { source->setFile("/sys/devices/system/cpu/online", list + "\n"); }

  // /proc/stat with the "cpu " line and one "cpu<N>" line per entry of perCpu (numbered from 0, or by
  // `numbers` when given). Each line puts all of system into the system column and all of idle into idle.
  void setStat(const Ticks& total, const std::vector<Ticks>& perCpu = {},
               std::vector<unsigned> numbers = {}) {
    auto line = [](const std::string& name, const Ticks& ticks) {
      return name + " " + std::to_string(ticks.user) + " " + std::to_string(ticks.nice) + " " +
             std::to_string(ticks.system) + " " + std::to_string(ticks.idle) + " 0 0 0 0 0 0\n";
    };
    std::string text = line("cpu ", total);
    for (std::size_t i = 0; i < perCpu.size(); ++i) {
      text += line("cpu" + std::to_string(numbers.empty() ? i : numbers[i]), perCpu[i]);
    }
    source->setFile("/proc/stat", text + "intr 0\nctxt 1\nbtime 1700000000\nprocesses 10\n");
  }

  // A process with its stat and (for a user process that is not a zombie) statm.
  void setProcess(std::int32_t pid, const std::string& name, std::uint64_t ticks,
                  std::uint64_t residentPages = 10, char state = 'S', std::int32_t ppid = 1, int threads = 1,
                  bool kernelThread = false, std::uint64_t startTime = 500) {
    std::string directory = "/proc/" + std::to_string(pid);
    std::uint64_t flags = kernelThread ? 0x00208040 : 0x00400100;
    source->setFile(directory + "/stat", std::to_string(pid) + " (" + name + ") " + state + " " +
                                             std::to_string(ppid) + " 1 1 0 -1 " + std::to_string(flags) +
                                             " 10 0 0 0 " + std::to_string(ticks) + " 0 0 0 20 0 " +
                                             std::to_string(threads) + " 0 " + std::to_string(startTime) +
                                             " 1000 3 18446744073709551615 0\n");
    if (!kernelThread && state != 'Z') {
      source->setFile(directory + "/statm", "1000 " + std::to_string(residentPages) + " 5 1 0 10 0\n");
    }
  }

  void removeProcess(std::int32_t pid) {
    for (const char* file : {"/stat", "/statm"}) source->remove("/proc/" + std::to_string(pid) + file);
  }
};

// Reads through `inner`, which a test may swap between refreshes, and counts the reads of statm files.
class ForwardingSource final : public platform::TextSource {
 public:
  explicit ForwardingSource(std::shared_ptr<const platform::TextSource> source) : inner(std::move(source)) {}
  std::optional<std::string> read(const std::string& path) const override {
    statmReads += path.ends_with("/statm");
    return inner->read(path);
  }
  std::optional<std::vector<std::string>> list(const std::string& directory) const override {
    return inner->list(directory);
  }
  std::optional<std::string> readLink(const std::string& path) const override {
    return inner->readLink(path);
  }

  std::shared_ptr<const platform::TextSource> inner;
  mutable int statmReads = 0;
};

inline std::map<std::int32_t, std::shared_ptr<Orvane::OVProcess>> byPid(
    const Orvane::ProcessorController& controller) {
  std::map<std::int32_t, std::shared_ptr<Orvane::OVProcess>> processes;
  for (const auto& process : controller.processes()) processes[process->pid()] = process;
  return processes;
}

}  // namespace systemtest
