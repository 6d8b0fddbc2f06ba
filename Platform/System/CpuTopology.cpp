#include "Platform/System/CpuTopology.hpp"

#include <charconv>
#include <cmath>
#include <limits>
#include <system_error>

#include "Platform/System/FieldCursor.hpp"
#include "Platform/System/TextFields.hpp"

namespace platform {

namespace {

// "2596.136" MHz in Hz; absent for anything but a plain non-negative decimal of a clock below 2^64 Hz.
std::optional<std::uint64_t> megahertz(std::string_view text) {
  if (text.empty() || text.front() < '0' || text.front() > '9') return std::nullopt;
  double value = 0;
  const char* end = text.data() + text.size();
  auto [stop, error] = std::from_chars(text.data(), end, value, std::chars_format::fixed);
  if (error != std::errc() || stop != end) return std::nullopt;
  double hertz = std::round(value * 1e6);
  if (!(hertz < 0x1p64)) return std::nullopt;
  return static_cast<std::uint64_t>(hertz);
}

std::string cpuDirectory(unsigned cpu) { return "/sys/devices/system/cpu/cpu" + std::to_string(cpu); }

}  // namespace

std::optional<std::uint64_t> parseKilohertz(std::string_view text) {
  auto kilohertz = textfields::parseDecimal(textfields::trimmed(text));
  if (!kilohertz) return std::nullopt;
  return checkedMultiply(*kilohertz, 1000);
}

std::vector<std::pair<unsigned, std::uint64_t>> parseCpuInfoClocks(std::string_view text) {
  std::vector<std::pair<unsigned, std::uint64_t>> clocks;
  // The number of the block being read; no clock is taken before a block's "processor" line.
  unsigned processor = 0;
  bool inBlock = false;
  FieldCursor cursor(text);
  while (!cursor.atEnd()) {
    std::string_view line = cursor.restOfLine();
    std::size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view key = textfields::trimmed(line.substr(0, colon));
    std::string_view value = textfields::trimmed(line.substr(colon + 1));
    if (key == "processor") {
      auto number = textfields::parseDecimal(value);
      inBlock = number && *number <= std::numeric_limits<unsigned>::max();
      processor = inBlock ? static_cast<unsigned>(*number) : 0;
    } else if (key == "cpu MHz" && inBlock) {
      if (auto hertz = megahertz(value)) clocks.emplace_back(processor, *hertz);
      inBlock = false;
    }
  }
  return clocks;
}

std::vector<CpuDescription> readCpuTopology(const TextSource& source, const std::vector<unsigned>& cpus) {
  std::vector<CpuDescription> descriptions;
  std::optional<std::vector<std::pair<unsigned, std::uint64_t>>> cpuInfoClocks;
  for (unsigned cpu : cpus) {
    CpuDescription description;
    description.number = cpu;
    std::string directory = cpuDirectory(cpu);
    if (auto text = source.read(directory + "/cpufreq/cpuinfo_max_freq")) {
      description.clockFrequency = parseKilohertz(*text);
    }
    if (!description.clockFrequency) {
      if (!cpuInfoClocks) cpuInfoClocks = parseCpuInfoClocks(source.read("/proc/cpuinfo").value_or(""));
      for (const auto& [number, hertz] : *cpuInfoClocks) {
        if (number == cpu) {
          description.clockFrequency = hertz;
          break;
        }
      }
    }
    description.compatible = source.read(directory + "/of_node/compatible");
    descriptions.push_back(std::move(description));
  }
  return descriptions;
}

}  // namespace platform
