#pragma once

#include <map>
#include <string>

#include "Platform/System/InterfaceEntry.hpp"
#include "Platform/System/TextFields.hpp"
#include "Platform/System/TextSource.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

namespace networktest {

using systemtest::commandOutput;
using systemtest::forEachMutation;

// A recorded tree under tests/fixtures/network ("host", "laptop").
inline platform::FileTreeTextSource fixture(const std::string& name) {
  return platform::FileTreeTextSource(systemtest::fixtureRoot("network") / name);
}

// /proc/net/dev's counters by interface (of the calling thread's namespace).
inline std::map<std::string, platform::LinkCounters> procNetDev() {
  namespace fields = platform::textfields;
  std::map<std::string, platform::LinkCounters> counters;
  const std::string dev = platform::TextSource::live()->read("/proc/net/dev").value_or("");
  for (auto line : fields::splitLines(dev)) {
    const size_t colon = line.find(':');
    if (colon == std::string_view::npos) continue;
    const auto columns = fields::splitWhitespace(line.substr(colon + 1));
    if (columns.size() < 9) continue;
    counters[std::string(fields::trimmed(line.substr(0, colon)))] = {
        fields::parseDecimal(columns[0]).value_or(0), fields::parseDecimal(columns[8]).value_or(0)};
  }
  return counters;
}

}  // namespace networktest
