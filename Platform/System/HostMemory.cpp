#include "Platform/System/HostMemory.hpp"

#include <sys/sysinfo.h>

#include <string>

#include "Platform/System/FieldCursor.hpp"
#include "Platform/System/MemInfo.hpp"

namespace platform {

std::optional<std::uint64_t> parseZramMemoryUsed(std::string_view mmStat) {
  FieldCursor cursor(mmStat);
  if (!cursor.skipFields(2)) return std::nullopt;
  return cursor.unsignedField();
}

namespace {

std::uint64_t zramMemoryUsed(const TextSource& source) {
  auto devices = source.list("/sys/block");
  if (!devices) return 0;
  std::uint64_t used = 0;
  std::string path;
  for (const std::string& device : *devices) {
    if (!device.starts_with("zram")) continue;
    path.assign("/sys/block/").append(device).append("/mm_stat");
    if (auto text = source.read(path)) used = saturatingAdd(used, parseZramMemoryUsed(*text).value_or(0));
  }
  return used;
}

}  // namespace

std::optional<HostMemory> readHostMemory(const TextSource& source) {
  thread_local std::string buffer;
  auto text = source.readInto("/proc/meminfo", buffer);
  if (!text) return std::nullopt;
  auto info = parseMemInfo(*text);
  if (!info) return std::nullopt;
  HostMemory memory;
  memory.physical = info->total;
  memory.free = info->free;
  if (info->inactiveAnon && info->inactiveFile) {
    memory.active = saturatingAdd(info->active, *info->inactiveAnon);
    memory.inactive = *info->inactiveFile;
  } else {
    memory.active = info->active;
    memory.inactive = info->inactive;
  }
  for (std::uint64_t part :
       {info->unevictable, info->slabUnreclaimable, info->kernelStack, info->pageTables, info->perCpu}) {
    memory.wired = saturatingAdd(memory.wired, part);
  }
  memory.compressed = saturatingAdd(info->zswap, zramMemoryUsed(source));
  return memory;
}

std::uint64_t sysinfoPhysicalMemory() {
  struct sysinfo info {};
  if (::sysinfo(&info) != 0) return 0;
  return checkedMultiply(info.totalram, info.mem_unit).value_or(0);
}

}  // namespace platform
