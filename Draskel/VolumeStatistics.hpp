#pragma once

#include <cstdint>
#include <string_view>

#include "Draskel/PropertyValue.hpp"

namespace Draskel {

// One sample of the I/O counters of a volume's disk, made from the disk's statistics dictionary. Samples
// are shared (std::shared_ptr<const VolumeStatistics>) and never change once made.
class VolumeStatistics {
 public:
  static constexpr std::string_view bytesReadKey = "Bytes (Read)";
  static constexpr std::string_view bytesWrittenKey = "Bytes (Write)";
  static constexpr std::string_view operationsReadKey = "Operations (Read)";
  static constexpr std::string_view operationsWriteKey = "Operations (Write)";
  static constexpr std::string_view latencyTimeReadKey = "Latency Time (Read)";
  static constexpr std::string_view latencyTimeWriteKey = "Latency Time (Write)";
  static constexpr std::string_view errorsReadKey = "Errors (Read)";
  static constexpr std::string_view errorsWriteKey = "Errors (Write)";
  static constexpr std::string_view totalTimeReadKey = "Total Time (Read)";
  static constexpr std::string_view totalTimeWriteKey = "Total Time (Write)";
  static constexpr std::string_view retriesReadKey = "Retries (Read)";
  static constexpr std::string_view retriesWriteKey = "Retries (Write)";

  // Each counter takes the value under its key when that value is a number that converts exactly to an
  // unsigned 64-bit integer (a Boolean, a non-negative integer, a whole finite floating number below 2^64);
  // anything else, and a missing key, leaves 0.
  explicit VolumeStatistics(const PropertyDictionary& dictionary);

  // True when no byte and no operation was counted in either direction; the other eight counters are not
  // looked at.
  bool isEmpty() const;

  std::uint64_t bytesRead = 0;
  std::uint64_t bytesWritten = 0;
  std::uint64_t operationsRead = 0;
  std::uint64_t operationsWrite = 0;
  std::uint64_t latencyTimeRead = 0;
  std::uint64_t latencyTimeWrite = 0;
  std::uint64_t errorsRead = 0;
  std::uint64_t errorsWrite = 0;
  std::uint64_t totalTimeRead = 0;
  std::uint64_t totalTimeWrite = 0;
  std::uint64_t retriesRead = 0;
  std::uint64_t retriesWrite = 0;
};

}  // namespace Draskel
