#include "Platform/System/BlockDeviceProtocol.hpp"

#include <algorithm>
#include <vector>

#include "Platform/System/TextFields.hpp"

namespace platform {

namespace {

std::vector<std::string_view> components(std::string_view path) {
  std::vector<std::string_view> parts;
  while (!path.empty()) {
    const std::size_t slash = path.find('/');
    if (slash != 0) parts.push_back(path.substr(0, slash));
    if (slash == std::string_view::npos) break;
    path.remove_prefix(slash + 1);
  }
  return parts;
}

// "usb1", "ata3", "virtio0": the prefix followed by a decimal number.
bool isNumbered(std::string_view component, std::string_view prefix) {
  return component.size() > prefix.size() && component.starts_with(prefix) &&
         textfields::parseDecimal(component.substr(prefix.size())).has_value();
}

const std::string_view* findNumbered(const std::vector<std::string_view>& parts, std::string_view prefix) {
  const auto found = std::find_if(parts.begin(), parts.end(),
                                  [&](std::string_view part) { return isNumbered(part, prefix); });
  return found == parts.end() ? nullptr : &*found;
}

bool contains(const std::vector<std::string_view>& parts, std::string_view component) {
  return std::find(parts.begin(), parts.end(), component) != parts.end();
}

// Whether the links of ATA port "ata<N>" report a SATA speed: /sys/class/ata_link/link<N> (or
// link<N>.<port> behind a port multiplier) with a sata_spd other than "<unknown>", which parallel ATA
// links report.
bool hasSataLink(const TextSource& source, std::string_view port) {
  const std::string link = "link" + std::string(port.substr(3));
  const std::optional<std::vector<std::string>> links = source.list("/sys/class/ata_link");
  if (!links) return false;
  for (const std::string& name : *links) {
    if (name != link && !name.starts_with(link + ".")) continue;
    const std::optional<std::string> speed = source.read("/sys/class/ata_link/" + name + "/sata_spd");
    const std::string_view text = speed ? textfields::trimmed(*speed) : std::string_view();
    if (!text.empty() && text != "<unknown>") return true;
  }
  return false;
}

}  // namespace

std::optional<std::string> blockDeviceProtocol(const TextSource& source, std::string_view wholeDisk,
                                               std::string_view wholeDiskPath, const UdevData* udev) {
  const std::vector<std::string_view> parts = components(wholeDiskPath);
  // A bridge decides: a SATA disk in a USB enclosure is a USB device.
  if (findNumbered(parts, "usb") != nullptr) return "USB";
  if (contains(parts, "mmc_host")) {
    const std::optional<std::string> type =
        source.read("/sys/class/block/" + std::string(wholeDisk) + "/device/type");
    if (type && textfields::trimmed(*type) == "SD") return "Secure Digital";
    return std::nullopt;
  }
  const auto isNvme = [](std::string_view part) { return part.starts_with("nvme"); };
  if (std::any_of(parts.begin(), parts.end(), isNvme)) return "PCI-Express";
  if (const std::string_view* port = findNumbered(parts, "ata")) {
    if (wholeDisk.starts_with("sr")) return "ATAPI";
    const bool udevSaysSata = udev != nullptr && udev->text("ID_ATA_SATA") == "1";
    return hasSataLink(source, *port) || udevSaysSata ? "SATA" : "ATA";
  }
  if (findNumbered(parts, "virtio") != nullptr) return "Virtual Interface";
  if (wholeDiskPath.starts_with("/sys/devices/virtual/block/loop")) return "Disk Image";
  return std::nullopt;
}

}  // namespace platform
