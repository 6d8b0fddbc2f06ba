#pragma once

#include <string>
#include <string_view>

namespace platform {

// Units of a duration, from hours down to picoseconds.
enum class DurationUnit { hours, minutes, seconds, milliseconds, microseconds, nanoseconds, picoseconds };

// Localized measurement texts through ICU's unit formatter: short unit names (en_US "1.5 min", de_DE
// "1,5 Min."), up to three fraction digits, in the region's locale unless one is named.
class MeasurementFormatter {
 public:
  // The same duration in another unit, by exact factors between the units.
  static double convert(double value, DurationUnit from, DurationUnit to);

  // The text of value in unit; an empty locale id is the region's locale for numbers.
  static std::string string(double value, DurationUnit unit, std::string_view localeId = {});
};

}  // namespace platform
