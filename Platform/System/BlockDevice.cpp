#include "Platform/System/BlockDevice.hpp"

#include <algorithm>
#include <filesystem>
#include <set>
#include <tuple>
#include <vector>

#include "Platform/System/BlockDeviceProtocol.hpp"
#include "Platform/System/BlockDeviceStat.hpp"
#include "Platform/System/TextFields.hpp"

namespace platform {

namespace {

namespace fs = std::filesystem;

// Links followed at most when a chain of them (in /dev) or of stacked devices is resolved; real chains are
// two or three long, and a cycle in hostile text must end.
constexpr int maximumHops = 16;

std::string classPath(std::string_view name) { return "/sys/class/block/" + std::string(name); }

// Where the link at `path` points, as an absolute path without "." or ".." (a relative target counts from
// the link's directory); absent when `path` is no link.
std::optional<std::string> resolveLink(const TextSource& source, const std::string& path) {
  const std::optional<std::string> target = source.readLink(path);
  if (!target || target->empty()) return std::nullopt;
  const fs::path resolved =
      fs::path(*target).is_absolute() ? fs::path(*target) : fs::path(path).parent_path() / *target;
  return resolved.lexically_normal().string();
}

std::string lastComponent(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

// The trimmed text of an attribute file; absent when it cannot be read or is empty.
std::optional<std::string> attribute(const TextSource& source, const std::string& path) {
  const std::optional<std::string> text = source.read(path);
  if (!text) return std::nullopt;
  const std::string_view value = textfields::trimmed(*text);
  if (value.empty()) return std::nullopt;
  return std::string(value);
}

std::optional<bool> flag(const TextSource& source, const std::string& path) {
  const std::optional<std::string> text = attribute(source, path);
  if (text == "1") return true;
  if (text == "0") return false;
  return std::nullopt;
}

// The first attribute of `paths` that has a text.
std::optional<std::string> firstAttribute(const TextSource& source,
                                          std::initializer_list<std::string> paths) {
  for (const std::string& path : paths) {
    if (std::optional<std::string> text = attribute(source, path)) return text;
  }
  return std::nullopt;
}

// The number of the block device `name` from its "dev" attribute ("8:2").
std::optional<std::pair<std::uint32_t, std::uint32_t>> deviceNumber(const TextSource& source,
                                                                    std::string_view name) {
  const std::optional<std::string> text = attribute(source, classPath(name) + "/dev");
  if (!text) return std::nullopt;
  const std::size_t colon = text->find(':');
  if (colon == std::string::npos) return std::nullopt;
  const std::string_view number = *text;
  const std::optional<std::uint64_t> major = textfields::parseDecimal(number.substr(0, colon));
  const std::optional<std::uint64_t> minor = textfields::parseDecimal(number.substr(colon + 1));
  if (!major || !minor || *major > UINT32_MAX || *minor > UINT32_MAX) return std::nullopt;
  return std::pair{static_cast<std::uint32_t>(*major), static_cast<std::uint32_t>(*minor)};
}

bool isBlockDevice(const TextSource& source, std::string_view name) {
  return isPlainDeviceName(name) && deviceNumber(source, name).has_value();
}

// The next device down from `name`: the disk of a partition, else the first member of a stacked device.
std::optional<std::string> deviceBelow(const TextSource& source, const std::string& name) {
  if (source.read(classPath(name) + "/partition")) {
    const std::optional<std::string> path = resolveLink(source, classPath(name));
    if (!path) return std::nullopt;
    std::string disk = lastComponent(fs::path(*path).parent_path().string());
    if (isBlockDevice(source, disk)) return disk;
    return std::nullopt;
  }
  std::optional<std::vector<std::string>> members = source.list(classPath(name) + "/slaves");
  if (!members) return std::nullopt;
  std::sort(members->begin(), members->end());
  for (const std::string& member : *members) {
    if (isBlockDevice(source, member)) return member;
  }
  return std::nullopt;
}

std::string wholeDiskOf(const TextSource& source, const std::string& name) {
  std::string current = name;
  std::set<std::string> visited{current};
  for (int hop = 0; hop < maximumHops; ++hop) {
    std::optional<std::string> below = deviceBelow(source, current);
    if (!below || !visited.insert(*below).second) break;
    current = std::move(*below);
  }
  return current;
}

// Vendor, model, revision and serial: sysfs first, udev for what sysfs lacks.
void readIdentity(const TextSource& source, BlockDevice& device, const UdevData* udev) {
  const std::string disk = classPath(device.wholeDisk);
  // Links inside a linked directory count from its real place.
  const std::optional<std::string> subsystem =
      device.devicePath ? resolveLink(source, *device.devicePath + "/subsystem") : std::nullopt;
  if (subsystem && lastComponent(*subsystem) == "scsi") {
    device.vendor = attribute(source, disk + "/device/vendor");
  }
  device.model = firstAttribute(source, {disk + "/device/model", disk + "/device/name"});
  device.revision =
      firstAttribute(source, {disk + "/device/rev", disk + "/device/firmware_rev", disk + "/device/fwrev"});
  device.serial = firstAttribute(source, {disk + "/device/serial", disk + "/serial"});
  if (udev == nullptr) return;
  if (!device.vendor) device.vendor = udev->text("ID_VENDOR");
  if (!device.model) device.model = udev->text("ID_MODEL");
  if (!device.revision) device.revision = udev->text("ID_REVISION");
  if (!device.serial) device.serial = udev->text("ID_SERIAL_SHORT");
}

}  // namespace

std::optional<BlockDevice> BlockDevice::read(const TextSource& source, std::string_view name,
                                             const UdevDatabase* udev) {
  if (!isPlainDeviceName(name)) return std::nullopt;
  const auto number = deviceNumber(source, name);
  if (!number) return std::nullopt;
  BlockDevice device;
  device.name = std::string(name);
  std::tie(device.major, device.minor) = *number;
  device.wholeDisk = wholeDiskOf(source, device.name);
  device.wholeDiskPath = resolveLink(source, classPath(device.wholeDisk)).value_or(std::string());
  if (!device.wholeDiskPath.empty())
    device.devicePath = resolveLink(source, device.wholeDiskPath + "/device");

  const std::string disk = classPath(device.wholeDisk);
  device.isRemovable = flag(source, disk + "/removable");
  device.isRotational = flag(source, disk + "/queue/rotational");
  std::optional<UdevData> record;
  if (const auto diskNumber = deviceNumber(source, device.wholeDisk); diskNumber && udev != nullptr) {
    record = udev->blockDevice(diskNumber->first, diskNumber->second);
  }
  const UdevData* udevData = record ? &*record : nullptr;
  readIdentity(source, device, udevData);
  device.deviceProtocol = blockDeviceProtocol(source, device.wholeDisk, device.wholeDiskPath, udevData);
  return device;
}

std::optional<std::string> BlockDevice::nameOf(const TextSource& source, std::uint32_t major,
                                               std::uint32_t minor) {
  const std::optional<std::string> path =
      resolveLink(source, "/sys/dev/block/" + std::to_string(major) + ":" + std::to_string(minor));
  if (!path) return std::nullopt;
  std::string name = lastComponent(*path);
  if (!isPlainDeviceName(name) || deviceNumber(source, name) != std::pair{major, minor}) return std::nullopt;
  return name;
}

std::optional<std::string> BlockDevice::nameOfMount(const TextSource& source, const MountInfoEntry& mount) {
  if (mount.major != 0) return nameOf(source, mount.major, mount.minor);
  if (!mount.source.starts_with("/dev/")) return std::nullopt;
  // A node under /dev may be a link ("/dev/mapper/root" -> "../dm-0").
  std::string node = fs::path(mount.source).lexically_normal().string();
  for (int hop = 0; hop < maximumHops; ++hop) {
    std::optional<std::string> target = resolveLink(source, node);
    if (!target) break;
    node = std::move(*target);
  }
  std::string name = lastComponent(node);
  if (!node.starts_with("/dev/") || !isBlockDevice(source, name)) return std::nullopt;
  return name;
}

}  // namespace platform
