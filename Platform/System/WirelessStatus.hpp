#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/System/TextSource.hpp"

namespace platform {

// One row of /proc/net/wireless: a wireless interface and its last signal and noise levels in dBm.
struct WirelessStatus {
  std::string name;
  // Absent when the driver reports none (the kernel writes -256 for a level of 0 in dBm).
  std::optional<int> signalLevel;
  // Absent when the driver reports none (-256) or a plain 0.
  std::optional<int> noiseLevel;

  bool operator==(const WirelessStatus&) const = default;
};

// The rows of /proc/net/wireless in file order. The two header lines and rows without a name or the level
// columns are passed over; a level with the kernel's "updated" mark ("-40.") reads as its number, a level
// that does not parse is absent.
std::vector<WirelessStatus> parseWirelessStatus(std::string_view text);

// The same read from /proc/net/wireless; absent when the file cannot be read (no wireless support).
std::optional<std::vector<WirelessStatus>> readWirelessStatus(const TextSource& source);

}  // namespace platform
