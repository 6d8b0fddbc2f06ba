#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace Draskel {

// The kinds of connection a volume's device can have, by the protocol text of its disk description. Equal
// and hashed by raw value, which is one to one with the case.
enum class VolumeDeviceProtocol {
  usb,          // "USB"
  pciExpress,   // "PCI-Express"
  sdCard,       // "Secure Digital"
  appleFabric,  // "Apple Fabric"
  pci,          // "PCI"
  sata,         // "SATA"
  ata,          // "ATA"
  atapi,        // "ATAPI"
};

// The case whose raw value equals `rawValue` exactly (case and punctuation count), or absent.
std::optional<VolumeDeviceProtocol> volumeDeviceProtocol(std::string_view rawValue);

// The raw value of a case.
const std::string& rawValue(VolumeDeviceProtocol protocol);

}  // namespace Draskel
