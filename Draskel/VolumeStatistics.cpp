#include "Draskel/VolumeStatistics.hpp"

#include <cmath>
#include <optional>

namespace Draskel {

namespace {

using platform::Number;

// The number as an unsigned 64-bit integer when it is exactly one.
std::optional<std::uint64_t> exactUnsigned(const Number& number) {
  switch (number.type()) {
    case Number::Type::Float:
    case Number::Type::Double: {
      const double value = number.doubleValue();
      if (!(value >= 0 && value < 0x1p64) || std::trunc(value) != value) return std::nullopt;
      return static_cast<std::uint64_t>(value);
    }
    case Number::Type::Int8:
    case Number::Type::Int16:
    case Number::Type::Int32:
    case Number::Type::Int64:
      if (number.longLongValue() < 0) return std::nullopt;
      return number.unsignedLongLongValue();
    default: return number.unsignedLongLongValue();
  }
}

std::uint64_t counter(const PropertyDictionary& dictionary, std::string_view key) {
  const auto found = dictionary.find(key);
  if (found == dictionary.end()) return 0;
  const Number* number = std::get_if<Number>(&found->second);
  if (number == nullptr) return 0;
  return exactUnsigned(*number).value_or(0);
}

}  // namespace

VolumeStatistics::VolumeStatistics(const PropertyDictionary& dictionary)
    : bytesRead(counter(dictionary, bytesReadKey)),
      bytesWritten(counter(dictionary, bytesWrittenKey)),
      operationsRead(counter(dictionary, operationsReadKey)),
      operationsWrite(counter(dictionary, operationsWriteKey)),
      latencyTimeRead(counter(dictionary, latencyTimeReadKey)),
      latencyTimeWrite(counter(dictionary, latencyTimeWriteKey)),
      errorsRead(counter(dictionary, errorsReadKey)),
      errorsWrite(counter(dictionary, errorsWriteKey)),
      totalTimeRead(counter(dictionary, totalTimeReadKey)),
      totalTimeWrite(counter(dictionary, totalTimeWriteKey)),
      retriesRead(counter(dictionary, retriesReadKey)),
      retriesWrite(counter(dictionary, retriesWriteKey)) {}

bool VolumeStatistics::isEmpty() const {
  return bytesRead == 0 && bytesWritten == 0 && operationsRead == 0 && operationsWrite == 0;
}

}  // namespace Draskel
