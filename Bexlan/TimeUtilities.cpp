#include "Bexlan/TimeUtilities.hpp"

#include "Platform/Foundation/FatalError.hpp"
#include "Platform/Foundation/TextFormat.hpp"

namespace Bexlan {

std::string TimeUtilities::stopwatchString(std::uint64_t nanoseconds) {
  constexpr std::uint64_t second = 1000000000;
  constexpr std::uint64_t minute = 60 * second;
  constexpr std::uint64_t hour = 60 * minute;
  const auto field = [](std::uint64_t value) {
    return platform::formatC("%02llu", static_cast<unsigned long long>(value));
  };
  const std::uint64_t totalMinutes = nanoseconds / minute;
  const std::uint64_t seconds = nanoseconds / second % 60;
  const std::string head =
      nanoseconds < hour ? field(totalMinutes) + ":" + field(seconds)
                         : field(nanoseconds / hour) + ":" + field(totalMinutes % 60) + ":" + field(seconds);
  return head + platform::formatC(".%03llu", static_cast<unsigned long long>(nanoseconds / 1000000 % 1000));
}

std::string TimeUtilities::measurementString(std::uint64_t value, platform::DurationUnit unit,
                                             platform::DurationUnit target) {
  const double converted = platform::MeasurementFormatter::convert(static_cast<double>(value), unit, target);
  return platform::MeasurementFormatter::string(converted, target);
}

std::string TimeUtilities::measurementStringOfSigned(std::int64_t value, platform::DurationUnit unit,
                                                     platform::DurationUnit target) {
  if (value < 0) platform::fatalError("measurementString: the value must not be negative");
  return measurementString(static_cast<std::uint64_t>(value), unit, target);
}

}  // namespace Bexlan
