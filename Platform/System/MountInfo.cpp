#include "Platform/System/MountInfo.hpp"

#include <algorithm>

#include "Platform/System/TextFields.hpp"

namespace platform {

namespace {

// The fields of one line, split at single blanks (mountinfo escapes the blanks inside its fields, and an
// empty source shows as two blanks in a row).
std::vector<std::string_view> splitBlanks(std::string_view line) {
  std::vector<std::string_view> fields;
  for (;;) {
    const std::size_t end = line.find(' ');
    fields.push_back(line.substr(0, end));
    if (end == std::string_view::npos) return fields;
    line.remove_prefix(end + 1);
  }
}

std::optional<std::uint32_t> parseDeviceNumber(std::string_view field) {
  const std::optional<std::uint64_t> value = textfields::parseDecimal(field);
  if (!value || *value > UINT32_MAX) return std::nullopt;
  return static_cast<std::uint32_t>(*value);
}

// "id parent major:minor root mountpoint options [optional fields...] - type source superoptions".
std::optional<MountInfoEntry> parseLine(std::string_view line) {
  const std::vector<std::string_view> fields = splitBlanks(line);
  constexpr std::size_t fixedFields = 6;
  const auto separator = std::find(fields.begin() + std::min(fields.size(), fixedFields), fields.end(), "-");
  if (separator == fields.end() || fields.end() - separator < 3) return std::nullopt;

  MountInfoEntry entry;
  const std::optional<std::uint64_t> mountId = textfields::parseDecimal(fields[0]);
  const std::optional<std::uint64_t> parentId = textfields::parseDecimal(fields[1]);
  const std::size_t colon = fields[2].find(':');
  if (!mountId || !parentId || colon == std::string_view::npos) return std::nullopt;
  const std::optional<std::uint32_t> major = parseDeviceNumber(fields[2].substr(0, colon));
  const std::optional<std::uint32_t> minor = parseDeviceNumber(fields[2].substr(colon + 1));
  if (!major || !minor || fields[3].empty() || fields[4].empty() || separator[1].empty()) {
    return std::nullopt;
  }
  entry.mountId = *mountId;
  entry.parentId = *parentId;
  entry.major = *major;
  entry.minor = *minor;
  entry.root = unescapeMountField(fields[3]);
  entry.mountPoint = unescapeMountField(fields[4]);
  entry.mountOptions = std::string(fields[5]);
  entry.fileSystemType = unescapeMountField(separator[1]);
  entry.source = unescapeMountField(separator[2]);
  if (fields.end() - separator > 3) entry.superOptions = unescapeMountField(separator[3]);
  return entry;
}

bool isOctalDigit(char c) { return c >= '0' && c <= '7'; }

}  // namespace

std::string unescapeMountField(std::string_view field) {
  std::string text;
  text.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    // Three octal digits of a byte value: the first is at most 3.
    const bool escape = field[i] == '\\' && i + 3 < field.size() && field[i + 1] >= '0' &&
                        field[i + 1] <= '3' && isOctalDigit(field[i + 2]) && isOctalDigit(field[i + 3]);
    if (escape) {
      const int byte = (field[i + 1] - '0') * 64 + (field[i + 2] - '0') * 8 + (field[i + 3] - '0');
      text.push_back(static_cast<char>(byte));
      i += 3;
    } else {
      text.push_back(field[i]);
    }
  }
  return text;
}

const MountInfoEntry* MountInfo::visibleAt(std::string_view mountPoint) const {
  const auto found = std::find_if(entries.rbegin(), entries.rend(), [&](const MountInfoEntry& entry) {
    return entry.mountPoint == mountPoint;
  });
  return found == entries.rend() ? nullptr : &*found;
}

bool MountInfo::isFirstMountOfDevice(const MountInfoEntry& entry) const {
  for (const MountInfoEntry& earlier : entries) {
    if (&earlier == &entry) return true;
    if (earlier.major == entry.major && earlier.minor == entry.minor) return false;
  }
  return false;
}

MountInfo MountInfo::parse(std::string_view text) {
  MountInfo table;
  for (std::string_view line : textfields::splitLines(text)) {
    if (std::optional<MountInfoEntry> entry = parseLine(line)) table.entries.push_back(std::move(*entry));
  }
  return table;
}

std::optional<MountInfo> MountInfo::read(const TextSource& source) {
  const std::optional<std::string> text = source.read("/proc/self/mountinfo");
  if (!text) return std::nullopt;
  return parse(*text);
}

}  // namespace platform
