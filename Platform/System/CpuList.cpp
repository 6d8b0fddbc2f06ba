#include "Platform/System/CpuList.hpp"

#include <algorithm>

#include "Platform/System/FieldCursor.hpp"
#include "Platform/System/TextFields.hpp"

namespace platform {

namespace {

std::optional<unsigned> cpuNumber(std::string_view digits) {
  auto number = textfields::parseDecimal(digits);
  if (!number || *number > maxCpuNumber) return std::nullopt;
  return static_cast<unsigned>(*number);
}

}  // namespace

std::optional<std::vector<unsigned>> parseCpuList(std::string_view text) {
  while (!text.empty() && (text.back() == '\n' || text.back() == ' ')) text.remove_suffix(1);
  std::vector<unsigned> cpus;
  if (text.empty()) return cpus;
  while (true) {
    std::size_t comma = text.find(',');
    std::string_view item = text.substr(0, comma);
    std::size_t dash = item.find('-');
    auto first = cpuNumber(item.substr(0, dash));
    auto last = dash == std::string_view::npos ? first : cpuNumber(item.substr(dash + 1));
    if (!first || !last || *last < *first) return std::nullopt;
    // A kernel list never repeats a processor; a text that would list more than there can be is hostile.
    if (*last - *first >= maxCpuNumber + 1 - cpus.size()) return std::nullopt;
    for (unsigned cpu = *first; cpu <= *last; ++cpu) cpus.push_back(cpu);
    if (comma == std::string_view::npos) break;
    text.remove_prefix(comma + 1);
  }
  std::sort(cpus.begin(), cpus.end());
  cpus.erase(std::unique(cpus.begin(), cpus.end()), cpus.end());
  return cpus;
}

std::optional<std::vector<unsigned>> readOnlineCpus(const TextSource& source) {
  auto text = source.read("/sys/devices/system/cpu/online");
  if (!text) return std::nullopt;
  return parseCpuList(*text);
}

}  // namespace platform
