#include "Platform/System/ProcessTable.hpp"

#include <algorithm>
#include <limits>
#include <stdexcept>

#include "Platform/System/FieldCursor.hpp"
#include "Platform/System/TextFields.hpp"

namespace platform {

ProcessTable::ProcessTable(std::shared_ptr<const TextSource> source, std::uint64_t pageSize)
    : source_(std::move(source)), pageSize_(pageSize) {
  if (!source_) throw std::invalid_argument("ProcessTable needs a text source");
}

const ProcessTable::Seen* ProcessTable::previous(std::int32_t pid, std::uint64_t startTime) const {
  const auto found = std::lower_bound(previous_.begin(), previous_.end(), pid,
                                      [](const Seen& seen, std::int32_t key) { return seen.pid < key; });
  if (found == previous_.end() || found->pid != pid || found->startTime != startTime) return nullptr;
  return &*found;
}

std::optional<std::uint64_t> ProcessTable::residentBytes(const Seen* before, double now, Seen& seen) {
  // A time that is not a number, or lies ahead, counts as due.
  if (before != nullptr && before->cpuTicks == seen.cpuTicks &&
      now - before->residentReadAt < residentRereadInterval && before->residentReadAt <= now) {
    seen.residentReadAt = before->residentReadAt;
    return before->residentBytes;
  }
  path_.push_back('m');  // from "/proc/<pid>/stat"
  const auto text = source_->readInto(path_, buffer_);
  const auto pages = text ? parseStatmResidentPages(*text) : std::nullopt;
  if (!pages) return std::nullopt;
  seen.residentReadAt = now;
  return checkedMultiply(*pages, pageSize_).value_or(UINT64_MAX);
}

bool ProcessTable::scan(std::vector<ProcessEntry>& entries, bool residentMemory, double now) {
  current_.clear();
  if (!source_->listInto("/proc", names_)) {
    entries.clear();
    return false;
  }
  std::size_t count = 0;
  for (const std::string& name : names_) {
    const auto pid = textfields::parseDecimal(name);
    if (!pid) continue;
    path_.assign("/proc/").append(name).append("/stat");
    const auto text = source_->readInto(path_, buffer_);
    if (!text) continue;
    const auto stat = parseProcessStat(*text);
    if (!stat || static_cast<std::uint64_t>(stat->pid) != *pid) continue;
    Seen seen{stat->pid, stat->startTime, saturatingAdd(stat->userTicks, stat->systemTicks), 0,
              -std::numeric_limits<double>::infinity()};
    // The name points into the buffer that statm is read into: keep it first.
    if (count == entries.size()) entries.emplace_back();
    entries[count].name.assign(stat->name);
    const Seen* before = previous(stat->pid, stat->startTime);
    if (residentMemory && !stat->isKernelThread() && !stat->isZombie()) {
      const auto resident = residentBytes(before, now, seen);
      if (!resident) continue;
      seen.residentBytes = *resident;
    }
    ProcessEntry& entry = entries[count++];
    entry.pid = stat->pid;
    entry.ppid = stat->ppid;
    entry.state = stat->state;
    entry.cpuTicks = seen.cpuTicks;
    entry.threads = stat->threads;
    entry.residentBytes = seen.residentBytes;
    entry.isNew = before == nullptr;
    current_.push_back(seen);
  }
  entries.resize(count);
  if (count == 0) return false;
  if (!std::is_sorted(current_.begin(), current_.end(),
                      [](const Seen& a, const Seen& b) { return a.pid < b.pid; })) {
    std::sort(current_.begin(), current_.end(), [](const Seen& a, const Seen& b) { return a.pid < b.pid; });
  }
  previous_.swap(current_);
  return true;
}

}  // namespace platform
