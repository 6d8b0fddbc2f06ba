#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Bexlan/InfoProvider.hpp"
#include "Bexlan/StoreBackedProvider.hpp"
#include "Orvane/HostInfo.hpp"
#include "Orvane/IProcessorController.hpp"
#include "Orvane/ProcessTree.hpp"
#include "Orvane/SystemInfo.hpp"
#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/System/CpuStat.hpp"
#include "Platform/System/CpuTopology.hpp"
#include "Platform/System/ProcessTable.hpp"
#include "Platform/System/SystemConstants.hpp"
#include "Platform/System/TextSource.hpp"

namespace Orvane {

// The processor monitor: a refresh writes the machine's processor load into the store, "CPU_T" (total),
// "CPU_S" (system) and "CPU_U" (user) in percent as doubles, and the counts "TASKS" and "THREADS" as signed
// 32-bit integers; it also gives each online core its load and, while collectProcessInformation is on,
// lists the processes with their processor shares. The elapsed time is not used: loads are taken over the
// kernel's tick counters since the previous refresh (the first shows the average since boot), a process's
// share over the wall-clock time between the two refreshes. A /proc/stat that cannot be read gives loads of
// 0 and restarts the counters; a process table that cannot be read keeps the counts and lists no process.
//
// On Linux: the load counters are the /proc/stat "cpu" lines (platform::CpuTicks says how the ten columns
// make four); tasks are the processes of /proc, kernel threads included (as `ps -e` counts them), threads
// the sum of their thread counts; a process's time is its user and system clock ticks in seconds, its
// resident memory statm's; the cores are the online processors.
//
// One refresh reads /proc/stat, the online processors and the process table once each (see
// platform::ProcessTable). Use the monitor from one thread; the process list changes on the serial queue
// "processes", so processes() may be read from any thread: it is emptied when a collection starts and
// filled once the collection is complete, shares included.
class ProcessorController final : public Bexlan::StoreBackedProvider<IProcessorController>,
                                  public Bexlan::TypedValueLookups<ProcessorController> {
 public:
  static constexpr std::int64_t defaultHistorySize = 60;

  // A monitor of the live system.
  ProcessorController();
  // A monitor that reads /proc and /sys through `source`, with the facts of the machine they come from.
  // Throws std::invalid_argument for a null source.
  ProcessorController(std::shared_ptr<const platform::TextSource> source,
                      platform::SystemConstants constants);
  ProcessorController(const ProcessorController&) = delete;
  ProcessorController& operator=(const ProcessorController&) = delete;

  // IDataProvider
  // Adds the five entries: the three loads as percentages with 2 decimals, unsigned, with the "cpu"
  // symbol; tasks and threads as plain signed numbers. Called by the constructor.
  void registerIdentifiers() override;
  void refresh(double interval) override;

  // IProcessorController
  bool collectProcessInformation() const override { return collectProcessInformation_; }
  void setCollectProcessInformation(bool collect) override;
  // A copy of the list, taken on the queue "processes".
  std::vector<std::shared_ptr<OVProcess>> processes() const override;
  const std::vector<std::shared_ptr<ProcessorCore>>& cores() const override { return cores_; }
  bool normalize() const override { return normalize_; }
  void setNormalize(bool normalize) override { normalize_ = normalize; }

  const SystemInfo& systemInfo() const { return systemInfo_; }
  // The pid tree of the previous collection; null before the first and after collection is switched.
  const std::shared_ptr<ProcessTree>& oldProcessTree() const { return oldProcessTree_; }
  // The counters of the previous load sample (zeros after a failed one).
  const HostInfo& loadPrevious() const { return loadPrevious_; }
  // The processors online when the monitor was made: at most this many cores get a load.
  std::int64_t numberOfCpus() const { return numberOfCpus_; }

  // The last refresh's loads, in percent: totalCpuUsage = cpuUser + cpuSystem; niced time counts in the
  // whole but in neither share, and cpuNice gives it.
  double totalCpuUsage() const { return totalCpuUsage_; }
  double cpuUser() const { return cpuUser_; }
  double cpuSystem() const { return cpuSystem_; }
  double cpuNice() const { return cpuNice_; }
  double cpuIdle() const { return cpuIdle_; }
  // The ticks of the last load interval, all four counters together.
  std::uint64_t totalCpuTicks() const { return totalCpuTicks_; }
  std::int32_t tasks() const { return tasks_; }
  std::int32_t threads() const { return threads_; }

 private:
  void readSystemInfo();
  // The refresh steps, in the order refresh runs them.
  void updateProcessUsage();
  // Empties the published list, then reads the process table into a new tree and, in table order, into
  // collected_; absent when the table cannot be read.
  std::shared_ptr<ProcessTree> collectProcesses();
  void updateLoad();
  void updateTasksAndThreads();
  void writeStore();
  void updateCores();
  void updateCoreUsage();
  // The number of online processors of this refresh, else the count at creation, and at least 1.
  float activeProcessorCount() const;
  // The process table of this refresh: scanned once, with resident memory when collecting.
  bool scanProcesses(bool residentMemory);

  std::shared_ptr<const platform::TextSource> source_;
  platform::SystemConstants constants_;
  platform::ProcessTable processTable_;
  std::shared_ptr<platform::DispatchQueue> queue_;
  SystemInfo systemInfo_;
  std::shared_ptr<ProcessTree> oldProcessTree_;
  HostInfo loadPrevious_;
  std::int64_t numberOfCpus_ = 0;
  std::vector<std::shared_ptr<ProcessorCore>> cores_;
  std::vector<std::shared_ptr<OVProcess>> processes_;
  // The records of the collection under way: published as processes_ once their shares are written, so a
  // reader on another thread never sees a share change.
  std::vector<std::shared_ptr<OVProcess>> collected_;
  // Whether each record of collected_ is of a process the previous scan did not see.
  std::vector<bool> collectedNew_;
  double totalCpuUsage_ = 0;
  double cpuUser_ = 0;
  double cpuSystem_ = 0;
  double cpuNice_ = 0;
  double cpuIdle_ = 0;
  std::uint64_t totalCpuTicks_ = 0;
  std::int32_t tasks_ = 0;
  std::int32_t threads_ = 0;
  bool collectProcessInformation_ = false;
  bool normalize_ = false;

  // This refresh's readings, kept between refreshes so that their storage is reused.
  platform::CpuStat stat_;
  bool statRead_ = false;
  std::vector<platform::ProcessEntry> entries_;
  std::optional<bool> entriesScanned_;  // absent: not scanned yet in this refresh; else whether it worked
  // The online processors, read once per refresh.
  std::optional<std::vector<unsigned>> online_;
  // The per-processor counters of the previous successful sample.
  std::optional<std::vector<platform::ProcessorTicks>> prevCpuInfo_;
  // The online processors whose descriptions topology_ holds: read again only when the list changes.
  std::vector<unsigned> topologyCpus_;
  std::vector<platform::CpuDescription> topology_;
};

}  // namespace Orvane
