#pragma once

#include <cstdint>
#include <string>

#include "Bexlan/SizeUnits.hpp"

namespace Bexlan {

// Byte counts and transfer rates as the short texts the widgets show ("1.5 GB", "12.34 MB/s", "96 Mb/s").
// Numbers are written without a locale: the decimal separator is always "." and there is no grouping.
// Nothing here fails or throws; all operations are static and thread-safe.
class DiskUtilities {
 public:
  DiskUtilities() = delete;

  // A size in 1024 steps from "B" to "EB": "0 B", "1023 B", "1.5 KB", "1.1 MB" (one decimal for megabytes),
  // "2 GB". Trailing zeros of the fraction are dropped.
  static std::string bytesString(std::uint64_t bytes);

  // A rate with two decimals from the megabyte step on: "1023 B/s", "1 KB/s", "1.00 MB/s", "1.00 GB/s".
  // With `inBits` the rate is bytes times 8 (saturating) in 1000 steps: "992 b/s", "1 Kb/s", "1.00 Mb/s",
  // "1.00 Gb/s", with no step above gigabits.
  static std::string rateString(std::uint64_t bytesPerSecond, bool inBits);

  // The rate of `bytes` over `interval` seconds, truncated to whole bytes per second; "-" when the interval
  // is zero, negative or NaN, or the rate is not finite or does not fit 64 bits.
  static std::string rateString(std::uint64_t bytes, bool inBits, double interval);

  // As rateString, in whole numbers in every step but gigabytes per second: "3 MB/s", "1.00 GB/s", "1 Gb/s".
  static std::string rateStringVariant(std::uint64_t bytesPerSecond, bool inBits);

  // As the interval form of rateString, with the texts of rateStringVariant.
  static std::string rateStringVariant(std::uint64_t bytes, bool inBits, double interval);
};

}  // namespace Bexlan
