#include "Platform/System/BlockDeviceStat.hpp"

#include <array>
#include <limits>

#include "Platform/System/TextFields.hpp"

namespace platform {

namespace {

constexpr std::size_t counterCount = 11;

std::uint64_t sectorsToBytes(std::uint64_t sectors) {
  constexpr std::uint64_t limit = std::numeric_limits<std::uint64_t>::max() / BlockDeviceStat::sectorSize;
  return sectors > limit ? std::numeric_limits<std::uint64_t>::max() : sectors * BlockDeviceStat::sectorSize;
}

// The counters kept from the eleven of `fields` that start at `first`; absent unless all eleven are numbers.
std::optional<BlockDeviceStat> statFromFields(const std::vector<std::string_view>& fields,
                                              std::size_t first) {
  if (fields.size() < first + counterCount) return std::nullopt;
  std::array<std::uint64_t, counterCount> counters{};
  for (std::size_t i = 0; i < counterCount; ++i) {
    const std::optional<std::uint64_t> value = textfields::parseDecimal(fields[first + i]);
    if (!value) return std::nullopt;
    counters[i] = *value;
  }
  return BlockDeviceStat{counters[0], counters[2], counters[3], counters[4], counters[6], counters[7]};
}

std::optional<std::uint32_t> parseDeviceNumber(std::string_view field) {
  const std::optional<std::uint64_t> value = textfields::parseDecimal(field);
  if (!value || *value > std::numeric_limits<std::uint32_t>::max()) return std::nullopt;
  return static_cast<std::uint32_t>(*value);
}

}  // namespace

std::uint64_t BlockDeviceStat::bytesRead() const { return sectorsToBytes(sectorsRead); }

std::uint64_t BlockDeviceStat::bytesWritten() const { return sectorsToBytes(sectorsWritten); }

std::optional<BlockDeviceStat> BlockDeviceStat::parse(std::string_view text) {
  return statFromFields(textfields::splitWhitespace(text), 0);
}

std::optional<BlockDeviceStat> BlockDeviceStat::read(const TextSource& source, std::string_view name) {
  if (!isPlainDeviceName(name)) return std::nullopt;
  const std::optional<std::string> text = source.read("/sys/class/block/" + std::string(name) + "/stat");
  if (!text) return std::nullopt;
  return parse(*text);
}

std::vector<DiskStatsEntry> parseDiskStats(std::string_view text) {
  std::vector<DiskStatsEntry> entries;
  for (std::string_view line : textfields::splitLines(text)) {
    const std::vector<std::string_view> fields = textfields::splitWhitespace(line);
    if (fields.size() < 3) continue;
    const std::optional<std::uint32_t> major = parseDeviceNumber(fields[0]);
    const std::optional<std::uint32_t> minor = parseDeviceNumber(fields[1]);
    const std::optional<BlockDeviceStat> stat = statFromFields(fields, 3);
    if (major && minor && stat && isPlainDeviceName(fields[2])) {
      entries.push_back({*major, *minor, std::string(fields[2]), *stat});
    }
  }
  return entries;
}

std::optional<std::vector<DiskStatsEntry>> readDiskStats(const TextSource& source) {
  const std::optional<std::string> text = source.read("/proc/diskstats");
  if (!text) return std::nullopt;
  return parseDiskStats(*text);
}

bool isPlainDeviceName(std::string_view name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string_view::npos &&
         name.find('\0') == std::string_view::npos;
}

}  // namespace platform
