#include "Orvane/ProcessorController.hpp"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <stdexcept>
#include <utility>

#include "Bexlan/NumberIdentifier.hpp"
#include "Bexlan/SymbolIcons.hpp"
#include "Orvane/Machine.hpp"
#include "Orvane/Processor.hpp"
#include "Orvane/Saturating.hpp"
#include "Platform/Foundation/Bundle.hpp"
#include "Platform/Foundation/Clock.hpp"
#include "Platform/Foundation/SaturatingCast.hpp"
#include "Platform/System/CpuList.hpp"
#include "Platform/System/MemInfo.hpp"
#include "Platform/System/Utf8Text.hpp"

namespace Orvane {

namespace {

// part / whole in percent; 0 when the whole is 0.
double percent(double part, double whole) {
  double share = part / whole * 100;
  return std::isnan(share) ? 0 : share;
}

// A counter's growth since the previous sample; 0 when it went down (a reset).
std::uint64_t growth(std::uint64_t current, std::uint64_t previous) {
  return current > previous ? current - previous : 0;
}

std::shared_ptr<const platform::TextSource> requireSource(
    std::shared_ptr<const platform::TextSource> source) {
  if (!source) throw std::invalid_argument("ProcessorController needs a text source");
  return source;
}

}  // namespace

ProcessorController::ProcessorController()
    : ProcessorController(platform::TextSource::live(), platform::SystemConstants::live()) {}

ProcessorController::ProcessorController(std::shared_ptr<const platform::TextSource> source,
                                         platform::SystemConstants constants)
    : StoreBackedProvider(defaultHistorySize),
      source_(requireSource(std::move(source))),
      constants_(std::move(constants)),
      processTable_(source_, constants_.pageSize),
      queue_(platform::DispatchQueue::create("processes", platform::DispatchQueue::Kind::serial)) {
  if (auto online = platform::readOnlineCpus(*source_)) {
    numberOfCpus_ = static_cast<std::int64_t>(online->size());
  }
  readSystemInfo();
  registerIdentifiers();
}

void ProcessorController::registerIdentifiers() {
  auto cpu = Bexlan::SymbolIcons::symbol("cpu");
  auto tasks = Bexlan::SymbolIcons::symbol("square.grid.2x2.fill");
  auto threads = Bexlan::SymbolIcons::symbol("square.grid.3x1.fill.below.line.grid.1x2");
  auto bundle = platform::Bundle::module("Orvane");
  for (const std::string* key : {&Processor::total(), &Processor::system(), &Processor::user()}) {
    store()->add(std::make_shared<Bexlan::NumberIdentifier>(*key, bundle->localizedString(*key, ""),
                                                            Bexlan::IdentifierCategory::percentage, false,
                                                            std::int64_t{2}, cpu));
  }
  for (auto [key, icon] :
       {std::pair(&Processor::tasks(), tasks), std::pair(&Processor::threads(), threads)}) {
    store()->add(std::make_shared<Bexlan::NumberIdentifier>(
        *key, bundle->localizedString(*key, ""), Bexlan::IdentifierCategory::raw, true, std::nullopt, icon));
  }
}

void ProcessorController::readSystemInfo() {
  systemInfo_.cpuCount = saturatingInt32(numberOfCpus_);
  if (auto meminfo = source_->read("/proc/meminfo")) {
    if (auto info = platform::parseMemInfo(*meminfo)) systemInfo_.memSize = info->total;
  }
  systemInfo_.pageSize = static_cast<std::int64_t>(constants_.pageSize);
  platform::CpuStat stat;
  if (platform::readCpuStat(*source_, stat) && stat.bootTime) systemInfo_.booted.seconds = *stat.bootTime;
}

void ProcessorController::setCollectProcessInformation(bool collect) {
  collectProcessInformation_ = collect;
  oldProcessTree_.reset();
  queue_->sync([this] { processes_.clear(); });
}

std::vector<std::shared_ptr<OVProcess>> ProcessorController::processes() const {
  return queue_->sync([this] { return processes_; });
}

void ProcessorController::refresh(double) {
  systemInfo_.timePrevious = systemInfo_.time;
  systemInfo_.time = platform::Clock::wallNow();
  entriesScanned_.reset();
  online_ = platform::readOnlineCpus(*source_);
  updateProcessUsage();
  updateLoad();
  updateTasksAndThreads();
  writeStore();
  updateCores();
  updateCoreUsage();
}

bool ProcessorController::scanProcesses(bool residentMemory) {
  if (!entriesScanned_) {
    entriesScanned_ = processTable_.scan(entries_, residentMemory, platform::Clock::monotonicNow());
  }
  return *entriesScanned_;
}

float ProcessorController::activeProcessorCount() const {
  std::size_t count = online_ ? online_->size() : static_cast<std::size_t>(numberOfCpus_);
  return count < 1 ? 1.0f : static_cast<float>(count);
}

void ProcessorController::updateProcessUsage() {
  if (!collectProcessInformation_) return;
  auto tree = collectProcesses();
  if (!tree) return;
  float divisor = normalize_ ? activeProcessorCount() : 1.0f;
  double elapsed = systemInfo_.time - systemInfo_.timePrevious;
  // Without a previous collection, without processors or when the wall clock did not move forward, every
  // share stays 0.
  if (oldProcessTree_ && systemInfo_.cpuCount >= 1 && elapsed > 0) {
    const auto& old = oldProcessTree_->processes();
    for (std::size_t i = 0; i < collected_.size(); ++i) {
      OVProcess& process = *collected_[i];
      // A pid the previous scan saw with another start time belongs to a new process.
      if (collectedNew_[i]) continue;
      auto previous = old.find(process.pid());
      if (previous == old.end()) continue;
      double before = previous->second->cpu().time;
      double now = process.cpu().time;
      // A process whose time went down is a new process under a reused pid.
      if (!(before >= 0 && before <= now)) continue;
      process.cpu().usage = static_cast<float>((now - before) / elapsed * 100) / divisor;
    }
  }
  queue_->sync([this] { processes_.swap(collected_); });
  collected_.clear();
  oldProcessTree_ = tree;
}

std::shared_ptr<ProcessTree> ProcessorController::collectProcesses() {
  queue_->sync([this] { processes_.clear(); });
  collected_.clear();
  collectedNew_.clear();
  if (!scanProcesses(true)) return nullptr;
  auto tree = std::make_shared<ProcessTree>();
  tree->processes().reserve(entries_.size());
  // Processor time is counted in clock ticks; the records keep seconds.
  double ticksPerSecond = static_cast<double>(constants_.clockTicksPerSecond);
  for (const platform::ProcessEntry& entry : entries_) {
    if (entry.isZombie()) continue;
    std::string name = platform::repairedUtf8(entry.name);
    if (name.empty()) continue;
    auto process = std::make_shared<OVProcess>(entry.pid, entry.ppid);
    process->cpu().time = static_cast<double>(entry.cpuTicks) / ticksPerSecond;
    process->memory().totalBytes = entry.residentBytes;
    process->setName(std::move(name));
    tree->processes()[entry.pid] = process;
    collected_.push_back(std::move(process));
    collectedNew_.push_back(entry.isNew);
  }
  return tree;
}

void ProcessorController::updateLoad() {
  statRead_ = platform::readCpuStat(*source_, stat_);
  HostInfo current;
  if (statRead_) current = {stat_.total.user, stat_.total.system, stat_.total.idle, stat_.total.nice};
  auto user = static_cast<double>(growth(current.user, loadPrevious_.user));
  auto system = static_cast<double>(growth(current.system, loadPrevious_.system));
  auto idle = static_cast<double>(growth(current.idle, loadPrevious_.idle));
  auto nice = static_cast<double>(growth(current.nice, loadPrevious_.nice));
  double total = idle + ((system + user) + nice);
  totalCpuTicks_ = platform::saturatingCast<std::uint64_t>(total);
  cpuSystem_ = percent(system, total);
  cpuUser_ = percent(user, total);
  cpuIdle_ = percent(idle, total);
  cpuNice_ = percent(nice, total);
  totalCpuUsage_ = cpuSystem_ + cpuUser_;
  loadPrevious_ = current;
}

void ProcessorController::updateTasksAndThreads() {
  if (!scanProcesses(false)) return;
  // Each count is capped at the 32-bit range, so the sum over any number of processes fits 64 bits.
  std::int64_t threads = 0;
  for (const platform::ProcessEntry& entry : entries_) threads += saturatingInt32(entry.threads);
  tasks_ = saturatingInt32(static_cast<std::int64_t>(entries_.size()));
  threads_ = saturatingInt32(threads);
}

void ProcessorController::writeStore() {
  store()->setDouble(Processor::total(), totalCpuUsage_);
  store()->setDouble(Processor::system(), cpuSystem_);
  store()->setDouble(Processor::user(), cpuUser_);
  store()->setInt32(Processor::tasks(), tasks_);
  store()->setInt32(Processor::threads(), threads_);
}

void ProcessorController::updateCores() {
  cores_.clear();
  if (!online_) return;
  if (*online_ != topologyCpus_) {
    topology_ = platform::readCpuTopology(*source_, *online_);
    topologyCpus_ = *online_;
  }
  bool arm = isArm64(constants_.machine);
  for (std::size_t index = 0; index < topology_.size(); ++index) {
    const platform::CpuDescription& description = topology_[index];
    auto core = std::make_shared<ProcessorCore>();
    core->cpuId_ = static_cast<std::int64_t>(index);
    core->isAppleSilicon_ = arm;
    if (description.compatible && platform::isValidUtf8(*description.compatible)) {
      std::string compatible = *description.compatible;
      for (char& c : compatible) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
      if (compatible.find("firestorm") != std::string::npos) {
        core->isFirestorm_ = true;
      } else if (compatible.find("icestorm") != std::string::npos) {
        core->isIcestorm_ = true;
      }
    }
    if (description.clockFrequency) core->clockFrequency_ = platform::Number::of(*description.clockFrequency);
    cores_.push_back(std::move(core));
  }
}

void ProcessorController::updateCoreUsage() {
  if (!statRead_) return;
  std::size_t count =
      std::min(cores_.size(), static_cast<std::size_t>(std::max<std::int64_t>(numberOfCpus_, 0)));
  for (std::size_t i = 0; i < count; ++i) {
    unsigned number = topologyCpus_[i];
    const platform::CpuTicks* current = stat_.processor(number);
    if (!current) continue;
    platform::CpuTicks previous;
    if (prevCpuInfo_) {
      for (const platform::ProcessorTicks& entry : *prevCpuInfo_) {
        if (entry.number == number) previous = entry.ticks;
      }
    }
    auto busy = static_cast<float>(growth(current->user, previous.user)) +
                static_cast<float>(growth(current->system, previous.system)) +
                static_cast<float>(growth(current->nice, previous.nice));
    float total = busy + static_cast<float>(growth(current->idle, previous.idle));
    cores_[i]->usage_ = platform::Number::of(busy / total);
  }
  prevCpuInfo_ = stat_.perCpu;
}

}  // namespace Orvane
