#include "Platform/System/ProcessStat.hpp"

#include <limits>

#include "Platform/System/FieldCursor.hpp"

namespace platform {

namespace {

constexpr std::uint64_t maxPid = std::numeric_limits<std::int32_t>::max();

std::optional<std::int32_t> pidField(std::optional<std::uint64_t> number) {
  if (!number || *number > maxPid) return std::nullopt;
  return static_cast<std::int32_t>(*number);
}

}  // namespace

std::optional<ProcessStat> parseProcessStat(std::string_view text) {
  std::size_t open = text.find('(');
  std::size_t close = text.rfind(')');
  if (open == std::string_view::npos || close == std::string_view::npos || close < open) return std::nullopt;
  ProcessStat stat;
  FieldCursor head(text.substr(0, open));
  auto pid = pidField(head.unsignedField());
  if (!pid || !head.field().empty()) return std::nullopt;
  stat.pid = *pid;
  stat.name = text.substr(open + 1, close - open - 1);

  // Field 3 (state) onwards; every field after the name is a single token without blanks.
  FieldCursor cursor(text.substr(close + 1));
  std::string_view state = cursor.field();
  if (state.size() != 1) return std::nullopt;
  stat.state = state.front();
  auto ppid = pidField(cursor.unsignedField());
  // Fields 5 to 8: pgrp, session, tty_nr, tpgid; then flags; then four fault counters.
  if (!ppid || !cursor.skipFields(4)) return std::nullopt;
  auto flags = cursor.unsignedField();
  if (!flags || !cursor.skipFields(4)) return std::nullopt;
  stat.ppid = *ppid;
  stat.flags = *flags;
  auto user = cursor.unsignedField();
  auto system = cursor.unsignedField();
  // Fields 16 to 19: cutime, cstime, priority, nice.
  if (!user || !system || !cursor.skipFields(4)) return std::nullopt;
  auto threads = cursor.unsignedField();
  // Field 21 (itrealvalue), then starttime; field 23 (vsize) must follow, or starttime may have been cut
  // short.
  if (!threads || *threads > static_cast<std::uint64_t>(std::numeric_limits<std::int64_t>::max()) ||
      !cursor.skipFields(1)) {
    return std::nullopt;
  }
  auto startTime = cursor.unsignedField();
  if (!startTime || cursor.field().empty()) return std::nullopt;
  stat.startTime = *startTime;
  stat.userTicks = *user;
  stat.systemTicks = *system;
  stat.threads = static_cast<std::int64_t>(*threads);
  return stat;
}

std::optional<std::uint64_t> parseStatmResidentPages(std::string_view text) {
  FieldCursor cursor(text);
  if (!cursor.skipFields(1)) return std::nullopt;
  auto resident = cursor.unsignedField();
  if (!resident || cursor.field().empty()) return std::nullopt;
  return resident;
}

}  // namespace platform
