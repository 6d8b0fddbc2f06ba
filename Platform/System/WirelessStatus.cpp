#include "Platform/System/WirelessStatus.hpp"

#include <charconv>

#include "Platform/System/TextFields.hpp"

namespace platform {

namespace {

constexpr int noLevel = -256;

// "-40." or "-40": a signed decimal with an optional trailing dot.
std::optional<int> parseLevel(std::string_view field) {
  if (!field.empty() && field.back() == '.') field.remove_suffix(1);
  int value = 0;
  const char* end = field.data() + field.size();
  auto [stop, error] = std::from_chars(field.data(), end, value);
  if (field.empty() || error != std::errc() || stop != end) return std::nullopt;
  return value;
}

}  // namespace

std::vector<WirelessStatus> parseWirelessStatus(std::string_view text) {
  std::vector<WirelessStatus> rows;
  for (std::string_view line : textfields::splitLines(text)) {
    // Interface names cannot hold ':', so the first one ends the name; header lines have none.
    size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    std::string_view name = textfields::trimmed(line.substr(0, colon));
    std::vector<std::string_view> fields = textfields::splitWhitespace(line.substr(colon + 1));
    // status, link quality, signal level, noise level, ...
    if (name.empty() || fields.size() < 4) continue;
    std::optional<int> signal = parseLevel(fields[2]);
    std::optional<int> noise = parseLevel(fields[3]);
    if (signal == noLevel) signal.reset();
    if (noise == noLevel || noise == 0) noise.reset();
    rows.push_back({std::string(name), signal, noise});
  }
  return rows;
}

std::optional<std::vector<WirelessStatus>> readWirelessStatus(const TextSource& source) {
  auto text = source.read("/proc/net/wireless");
  if (!text) return std::nullopt;
  return parseWirelessStatus(*text);
}

}  // namespace platform
