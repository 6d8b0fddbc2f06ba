#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Platform/System/TextSource.hpp"

namespace platform {

// What the kernel tells about one processor beyond its load.
struct CpuDescription {
  unsigned number = 0;
  // Hz: the highest clock of cpufreq (cpuinfo_max_freq), else the "cpu MHz" of /proc/cpuinfo; absent
  // when neither is known. 64 bits wide: clocks above 4.29 GHz do not fit 32.
  std::optional<std::uint64_t> clockFrequency;
  // The device-tree "compatible" property of the processor's node (a list of texts, each ended by a zero
  // byte), on machines that describe their processors in a device tree.
  std::optional<std::string> compatible;
};

// The clock of a cpufreq file such as cpuinfo_max_freq, which holds kHz, in Hz. Absent when the text is
// not a whole number of kHz or the clock does not fit 64 bits in Hz.
std::optional<std::uint64_t> parseKilohertz(std::string_view text);

// The "cpu MHz" of each "processor" block of /proc/cpuinfo, in Hz rounded to the nearest whole number, as
// pairs of processor number and clock. Blocks without a readable clock are left out.
std::vector<std::pair<unsigned, std::uint64_t>> parseCpuInfoClocks(std::string_view text);

// Describes each of `cpus`, in the same order.
std::vector<CpuDescription> readCpuTopology(const TextSource& source, const std::vector<unsigned>& cpus);

}  // namespace platform
