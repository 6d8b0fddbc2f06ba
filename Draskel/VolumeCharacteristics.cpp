#include "Draskel/VolumeCharacteristics.hpp"

namespace Draskel {

std::optional<PropertyValue> VolumeCharacteristics::value(std::string_view key) const {
  const auto found = data.find(key);
  if (found == data.end()) return std::nullopt;
  return found->second;
}

}  // namespace Draskel
