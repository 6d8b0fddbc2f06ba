#include "Platform/System/CpuStat.hpp"

#include <array>
#include <limits>

#include "Platform/System/FieldCursor.hpp"
#include "Platform/System/TextFields.hpp"

namespace platform {

namespace {

// The columns of a "cpu" line after its name: user nice system idle iowait irq softirq steal guest
// guest_nice. Reads what the line has (at least four columns); absent when it has fewer or a column is not
// a number.
std::optional<CpuTicks> readTicks(FieldCursor& cursor) {
  std::array<std::uint64_t, 8> column{};
  std::size_t count = 0;
  for (std::string_view field = cursor.field(); !field.empty() && count < column.size();
       field = cursor.field()) {
    auto number = textfields::parseDecimal(field);
    if (!number) return std::nullopt;
    column[count++] = *number;
  }
  if (count < 4) return std::nullopt;
  CpuTicks ticks;
  ticks.user = column[0];
  ticks.nice = column[1];
  ticks.system = saturatingAdd(saturatingAdd(column[2], column[5]), saturatingAdd(column[6], column[7]));
  ticks.idle = saturatingAdd(column[3], column[4]);
  return ticks;
}

}  // namespace

const CpuTicks* CpuStat::processor(unsigned number) const noexcept {
  for (const ProcessorTicks& entry : perCpu) {
    if (entry.number == number) return &entry.ticks;
  }
  return nullptr;
}

bool parseCpuStat(std::string_view text, CpuStat& stat) {
  stat.perCpu.clear();
  stat.bootTime.reset();
  bool hasTotal = false;
  // Only whole lines count: a last line without its line end may have been cut inside a number.
  for (std::size_t end = text.find('\n'); end != std::string_view::npos; end = text.find('\n')) {
    FieldCursor cursor(text.substr(0, end));
    text.remove_prefix(end + 1);
    std::string_view name = cursor.field();
    if (name == "cpu") {
      if (auto ticks = readTicks(cursor); ticks && !hasTotal) {
        stat.total = *ticks;
        hasTotal = true;
      }
    } else if (name.starts_with("cpu")) {
      auto number = textfields::parseDecimal(name.substr(3));
      if (number && *number <= std::numeric_limits<unsigned>::max()) {
        if (auto ticks = readTicks(cursor)) stat.perCpu.push_back({static_cast<unsigned>(*number), *ticks});
      }
    } else if (name == "btime") {
      auto seconds = cursor.unsignedField();
      if (seconds && *seconds <= static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max())) {
        stat.bootTime = static_cast<std::int64_t>(*seconds);
      }
    }
  }
  return hasTotal;
}

bool readCpuStat(const TextSource& source, CpuStat& stat) {
  thread_local std::string buffer;
  auto text = source.readInto("/proc/stat", buffer);
  return text && parseCpuStat(*text, stat);
}

}  // namespace platform
