#include "Draskel/Volume.hpp"

#include <array>
#include <utility>

#include "Bexlan/String.hpp"
#include "Bexlan/SymbolIcons.hpp"
#include "Draskel/Localized.hpp"

namespace Draskel {

namespace {

// The string-table key of each protocol's tag, in case order.
constexpr std::array<const char*, 8> protocolKeys = {"USB", "PCI_EXPRESS", "SD_CARD", "APPLE_FABRIC",
                                                     "PCI", "SATA",        "ATA",     "ATAPI"};

// The display text of a file-system type; names without one are shown as they are. Linux names FAT
// "vfat", so it reads as FAT too.
std::string fileSystemText(const std::string& type) {
  static const std::array<std::pair<std::string_view, std::string_view>, 6> texts{{
      {"apfs", "APFS"},
      {"hfs", "HFS"},
      {"fat", "FAT"},
      {"vfat", "FAT"},
      {"exfat", "ExFAT"},
      {"msdos", "MS-DOS"},
  }};
  for (const auto& [name, text] : texts) {
    if (name == type) return std::string(text);
  }
  return type;
}

}  // namespace

Volume::Volume(std::filesystem::path mountUrl) : Volume(std::move(mountUrl), historyLength) {}

Volume::Volume() : Volume("/", 0) {}

Volume::Volume(std::filesystem::path mountUrl, std::size_t length)
    : readHistory(length, 0.0),
      writeHistory(length, 0.0),
      loadHistory(length, 0.0),
      separator(" " + Bexlan::String::bullet() + " "),
      url(std::move(mountUrl)),
      name(Bexlan::String::empty()),
      rootBsdName(Bexlan::String::empty()),
      bsdName(Bexlan::String::empty()),
      maxReadSpeedString(Bexlan::String::dash()),
      maxWriteSpeedString(Bexlan::String::dash()),
      readSpeed(Bexlan::String::dash()),
      writeSpeed(Bexlan::String::dash()) {}

std::optional<VolumeDeviceProtocol> Volume::deviceProtocolType() const {
  if (!deviceProtocol) return std::nullopt;
  return volumeDeviceProtocol(*deviceProtocol);
}

std::vector<std::string> Volume::tags() const {
  std::vector<std::string> tags;
  tags.push_back(localized(isStartupVolume  ? "STARTUP_DISK"
                           : isSystemVolume ? "SYSTEM_VOLUME"
                                            : "EXTERNAL_VOLUME"));
  if (const std::optional<VolumeDeviceProtocol> protocol = deviceProtocolType()) {
    tags.push_back(localized(protocolKeys[static_cast<std::size_t>(*protocol)]));
  }
  if (fileSystem) tags.push_back(fileSystemText(*fileSystem));
  return tags;
}

std::string Volume::tagText() const {
  const std::vector<std::string> parts = tags();
  std::string text = parts.front();
  for (std::size_t i = 1; i < parts.size(); ++i) text.append(separator).append(parts[i]);
  return text;
}

Bexlan::Icon Volume::symbolImage() const {
  if (deviceProtocol == "Secure Digital") return Bexlan::SymbolIcons::symbol("sdcard");
  return Bexlan::SymbolIcons::symbol(isInternal ? "internaldrive" : "externaldrive");
}

double Volume::usage() const {
  if (totalBytes == 0 || freeBytes > totalBytes) return 0;
  return static_cast<double>(totalBytes - freeBytes) / static_cast<double>(totalBytes);
}

}  // namespace Draskel
