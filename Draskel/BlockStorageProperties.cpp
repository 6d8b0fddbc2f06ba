#include "Draskel/BlockStorageProperties.hpp"

#include <limits>
#include <optional>
#include <string>

#include "Draskel/VolumeCharacteristics.hpp"
#include "Draskel/VolumeStatistics.hpp"

namespace Draskel::BlockStorageProperties {

namespace {

std::uint64_t nanoseconds(std::uint64_t milliseconds) {
  constexpr std::uint64_t perMillisecond = 1'000'000;
  if (milliseconds > std::numeric_limits<std::uint64_t>::max() / perMillisecond) {
    return std::numeric_limits<std::uint64_t>::max();
  }
  return milliseconds * perMillisecond;
}

void putText(PropertyDictionary& dictionary, std::string_view key, const std::optional<std::string>& text) {
  if (text) dictionary.insert_or_assign(std::string(key), *text);
}

}  // namespace

PropertyDictionary statistics(const platform::BlockDeviceStat& stat) {
  using platform::Number;
  return {
      {std::string(VolumeStatistics::bytesReadKey), Number::of(stat.bytesRead())},
      {std::string(VolumeStatistics::bytesWrittenKey), Number::of(stat.bytesWritten())},
      {std::string(VolumeStatistics::operationsReadKey), Number::of(stat.readsCompleted)},
      {std::string(VolumeStatistics::operationsWriteKey), Number::of(stat.writesCompleted)},
      {std::string(VolumeStatistics::totalTimeReadKey), Number::of(nanoseconds(stat.readMilliseconds))},
      {std::string(VolumeStatistics::totalTimeWriteKey), Number::of(nanoseconds(stat.writeMilliseconds))},
  };
}

PropertyDictionary characteristics(const platform::BlockDevice& device) {
  PropertyDictionary dictionary;
  putText(dictionary, VolumeCharacteristics::productNameKey, device.model);
  putText(dictionary, VolumeCharacteristics::vendorNameKey, device.vendor);
  putText(dictionary, VolumeCharacteristics::serialNumberKey, device.serial);
  putText(dictionary, VolumeCharacteristics::productRevisionLevelKey, device.revision);
  if (device.isRotational) {
    dictionary.insert_or_assign(std::string(VolumeCharacteristics::mediumTypeKey),
                                std::string(*device.isRotational ? "Rotational" : "Solid State"));
  }
  return dictionary;
}

}  // namespace Draskel::BlockStorageProperties
