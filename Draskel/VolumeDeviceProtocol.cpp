#include "Draskel/VolumeDeviceProtocol.hpp"

#include <array>
#include <utility>

namespace Draskel {

namespace {

// Every case with its raw value, in declaration order.
const std::array<std::pair<VolumeDeviceProtocol, std::string>, 8>& rawValues() {
  static const std::array<std::pair<VolumeDeviceProtocol, std::string>, 8> table{{
      {VolumeDeviceProtocol::usb, "USB"},
      {VolumeDeviceProtocol::pciExpress, "PCI-Express"},
      {VolumeDeviceProtocol::sdCard, "Secure Digital"},
      {VolumeDeviceProtocol::appleFabric, "Apple Fabric"},
      {VolumeDeviceProtocol::pci, "PCI"},
      {VolumeDeviceProtocol::sata, "SATA"},
      {VolumeDeviceProtocol::ata, "ATA"},
      {VolumeDeviceProtocol::atapi, "ATAPI"},
  }};
  return table;
}

}  // namespace

std::optional<VolumeDeviceProtocol> volumeDeviceProtocol(std::string_view rawValue) {
  for (const auto& [protocol, text] : rawValues()) {
    if (text == rawValue) return protocol;
  }
  return std::nullopt;
}

const std::string& rawValue(VolumeDeviceProtocol protocol) {
  return rawValues()[static_cast<std::size_t>(protocol)].second;
}

}  // namespace Draskel
