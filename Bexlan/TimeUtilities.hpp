#pragma once

#include <cstdint>
#include <string>

#include "Platform/Foundation/MeasurementFormatter.hpp"

namespace Bexlan {

// Stopwatch and measurement texts of amounts of time.
class TimeUtilities {
 public:
  // "mm:ss.mmm", or "hh:mm:ss.mmm" from one hour, of a count of nanoseconds.
  static std::string stopwatchString(std::uint64_t nanoseconds);

  // The localized short text of the value in `unit` shown in `target` (90 seconds in minutes: en_US
  // "1.5 min").
  static std::string measurementString(std::uint64_t value, platform::DurationUnit unit,
                                       platform::DurationUnit target);
  // The same for a signed value, which must not be negative (a programming error that stops the
  // program). Named after its signed value, as an integer literal would fit both forms.
  static std::string measurementStringOfSigned(std::int64_t value, platform::DurationUnit unit,
                                               platform::DurationUnit target);
};

}  // namespace Bexlan
