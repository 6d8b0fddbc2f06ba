#include "Platform/System/ProcessTable.hpp"

#include <stdexcept>

#include "Platform/System/FieldCursor.hpp"
#include "Platform/System/TextFields.hpp"
#include "Platform/System/ProcessStat.hpp"

namespace platform {

ProcessTable::ProcessTable(std::shared_ptr<const TextSource> source, std::uint64_t pageSize)
    : source_(std::move(source)), pageSize_(pageSize) {
  if (!source_) throw std::invalid_argument("ProcessTable needs a text source");
}

bool ProcessTable::scan(std::vector<ProcessEntry>& entries, bool residentMemory) {
  auto names = source_->list("/proc");
  if (!names) {
    entries.clear();
    return false;
  }
  std::size_t count = 0;
  for (const std::string& name : *names) {
    auto pid = textfields::parseDecimal(name);
    if (!pid) continue;
    path_.assign("/proc/").append(name).append("/stat");
    auto text = source_->read(path_);
    if (!text) continue;
    auto stat = parseProcessStat(*text);
    if (!stat || static_cast<std::uint64_t>(stat->pid) != *pid) continue;
    std::uint64_t residentPages = 0;
    if (residentMemory && !stat->isKernelThread() && !stat->isZombie()) {
      path_.push_back('m');
      auto statm = source_->read(path_);
      auto pages = statm ? parseStatmResidentPages(*statm) : std::nullopt;
      if (!pages) continue;
      residentPages = *pages;
    }
    if (count == entries.size()) entries.emplace_back();
    ProcessEntry& entry = entries[count++];
    entry.pid = stat->pid;
    entry.ppid = stat->ppid;
    entry.state = stat->state;
    entry.name.assign(stat->name);
    entry.cpuTicks = saturatingAdd(stat->userTicks, stat->systemTicks);
    entry.threads = stat->threads;
    entry.residentBytes = checkedMultiply(residentPages, pageSize_).value_or(UINT64_MAX);
  }
  entries.resize(count);
  return count > 0;
}

}  // namespace platform
