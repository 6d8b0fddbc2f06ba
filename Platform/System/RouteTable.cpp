#include "Platform/System/RouteTable.hpp"

#include <algorithm>
#include <array>
#include <cstdint>
#include <vector>

#include "Platform/System/HexField.hpp"
#include "Platform/System/TextFields.hpp"

namespace platform {

namespace {

constexpr std::uint64_t routeUp = 0x1;  // RTF_UP

enum Column : size_t { iface, destination, flags, metric, mask, columnCount };
constexpr std::array<std::string_view, columnCount> columnNames = {"Iface", "Destination", "Flags", "Metric",
                                                                   "Mask"};

}  // namespace

std::optional<std::string> parsePrimaryInterface(std::string_view routeTable) {
  std::vector<std::string_view> lines = textfields::splitLines(routeTable);
  if (lines.empty()) return std::nullopt;
  std::vector<std::string_view> header = textfields::splitWhitespace(lines.front());
  std::array<size_t, columnCount> position{};
  for (size_t column = 0; column < columnCount; ++column) {
    auto found = std::find(header.begin(), header.end(), columnNames[column]);
    if (found == header.end()) return std::nullopt;
    position[column] = static_cast<size_t>(found - header.begin());
  }

  std::optional<std::string_view> best;
  std::uint64_t bestMetric = 0;
  for (size_t row = 1; row < lines.size(); ++row) {
    std::vector<std::string_view> fields = textfields::splitWhitespace(lines[row]);
    auto field = [&](Column column) {
      return position[column] < fields.size() ? fields[position[column]] : std::string_view();
    };
    auto destinationValue = parseHexField(field(destination));
    auto maskValue = parseHexField(field(mask));
    auto flagsValue = parseHexField(field(flags));
    auto metricValue = textfields::parseDecimal(field(metric));
    if (!destinationValue || !maskValue || !flagsValue || !metricValue || field(iface).empty()) continue;
    if (*destinationValue != 0 || *maskValue != 0 || (*flagsValue & routeUp) == 0) continue;
    if (!best || *metricValue < bestMetric) {
      best = field(iface);
      bestMetric = *metricValue;
    }
  }
  if (!best) return std::nullopt;
  return std::string(*best);
}

std::optional<std::string> readPrimaryInterface(const TextSource& source) {
  auto text = source.read("/proc/thread-self/net/route");
  if (!text) return std::nullopt;
  return parsePrimaryInterface(*text);
}

}  // namespace platform
