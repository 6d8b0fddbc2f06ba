#pragma once

#include <cstdint>
#include <string>

namespace Tavrix {

// Texts of the graph axes: month names and data-rate units.
class Utilities {
 public:
  Utilities() = delete;

  // The stand-alone abbreviated month name ("LLL", such as "Mar") of a moment given in seconds since
  // 1970, in the current region's locale and time zone; "-" for a moment that is not finite.
  static std::string monthString(double secondsSince1970);

  // The divisor that brings a data rate into its unit, and that unit's label. In bytes mode the rate is
  // compared with 2^10, 2^20, 2^30 and 2^40; in bits mode the rate times 8 (saturating at the largest
  // count) is compared with 10^3, 10^6, 10^9 and 10^12. The highest step reached (the step itself counts)
  // gives the divisor, read as single precision as the steps always were: 10^12 comes out as 999999995904.
  // Below the first step the divisor is 1. Labels: "b/s", "Kb/s", "Mb/s", "Gb/s", "Tb/s" for bits and
  // "B/s", "KB/s", "MB/s", "GB/s", "TB/s" for bytes.
  static double unitDivisor(std::uint64_t bytes, bool bits);
  static std::string rateUnit(std::uint64_t bytes, bool bits);
};

}  // namespace Tavrix
