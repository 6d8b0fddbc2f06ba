#pragma once

#include <optional>
#include <string_view>

#include "Draskel/PropertyValue.hpp"

namespace Draskel {

// The characteristics dictionary of the storage device behind a volume, as discovery found it, with named
// lookups into it. The lookups hand back the stored value unchanged, whatever its type.
class VolumeCharacteristics {
 public:
  static constexpr std::string_view productNameKey = "Product Name";
  static constexpr std::string_view vendorNameKey = "Vendor Name";
  static constexpr std::string_view serialNumberKey = "Serial Number";
  static constexpr std::string_view productRevisionLevelKey = "Product Revision Level";
  static constexpr std::string_view mediumTypeKey = "Medium Type";

  explicit VolumeCharacteristics(PropertyDictionary properties) : data(std::move(properties)) {}

  std::optional<PropertyValue> productName() const { return value(productNameKey); }
  std::optional<PropertyValue> vendorName() const { return value(vendorNameKey); }
  std::optional<PropertyValue> serialNumber() const { return value(serialNumberKey); }
  std::optional<PropertyValue> productRevisionLevel() const { return value(productRevisionLevelKey); }
  std::optional<PropertyValue> mediumType() const { return value(mediumTypeKey); }

  PropertyDictionary data;

 private:
  // The value under `key`, or absent.
  std::optional<PropertyValue> value(std::string_view key) const;
};

}  // namespace Draskel
