#include "Platform/System/MemInfo.hpp"

#include <array>
#include <utility>

#include "Platform/System/FieldCursor.hpp"

namespace platform {

namespace {

struct Line {
  std::string_view name;  // with its colon
  std::uint64_t MemInfo::*field;
  bool required;
};

struct SplitLine {
  std::string_view name;
  std::optional<std::uint64_t> MemInfo::*field;
};

constexpr std::array<SplitLine, 2> splitLines{{
    {"Inactive(anon):", &MemInfo::inactiveAnon},
    {"Inactive(file):", &MemInfo::inactiveFile},
}};

constexpr std::array<Line, 10> lines{{
    {"MemTotal:", &MemInfo::total, true},
    {"MemFree:", &MemInfo::free, true},
    {"Active:", &MemInfo::active, true},
    {"Inactive:", &MemInfo::inactive, true},
    {"Unevictable:", &MemInfo::unevictable, false},
    {"SUnreclaim:", &MemInfo::slabUnreclaimable, false},
    {"KernelStack:", &MemInfo::kernelStack, false},
    {"PageTables:", &MemInfo::pageTables, false},
    {"Percpu:", &MemInfo::perCpu, false},
    {"Zswap:", &MemInfo::zswap, false},
}};

// The value of a "<number> kB" line in bytes.
std::optional<std::uint64_t> kilobytes(FieldCursor& cursor) {
  auto number = cursor.unsignedField();
  if (!number || cursor.field() != "kB" || !cursor.field().empty()) return std::nullopt;
  return checkedMultiply(*number, 1024);
}

}  // namespace

std::optional<MemInfo> parseMemInfo(std::string_view text) {
  MemInfo info;
  std::array<bool, lines.size()> seen{};
  FieldCursor cursor(text);
  while (!cursor.atEnd()) {
    std::string_view name = cursor.field();
    for (std::size_t i = 0; i < lines.size(); ++i) {
      if (seen[i] || name != lines[i].name) continue;
      if (auto bytes = kilobytes(cursor)) {
        info.*lines[i].field = *bytes;
        seen[i] = true;
      }
      break;
    }
    for (const SplitLine& line : splitLines) {
      if (name == line.name && !(info.*line.field)) info.*line.field = kilobytes(cursor);
    }
    cursor.nextLine();
  }
  for (std::size_t i = 0; i < lines.size(); ++i) {
    if (lines[i].required && !seen[i]) return std::nullopt;
  }
  return info;
}

}  // namespace platform
