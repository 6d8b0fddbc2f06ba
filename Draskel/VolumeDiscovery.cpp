// Discovery: from a mount point to a filled volume, and from a volume to its whole disk's counters and
// characteristics.
#include "Bexlan/String.hpp"
#include "Draskel/BlockStorageProperties.hpp"
#include "Draskel/VolumesController.hpp"

namespace Draskel {

std::shared_ptr<Volume> VolumesController::makeVolume(const std::string& url) {
  const std::optional<platform::VolumeResources> resources = platform_->resources(url);
  // A volume without a browsable fact counts as browsable; only a stated "no" rejects it, for good. Facts
  // or a device name still missing (a device that is settling) are asked for again at the next update.
  if (resources && resources->isBrowsable == false) return nullptr;
  const std::optional<std::string> bsdName = resources ? platform_->diskName(url) : std::nullopt;
  if (!bsdName || bsdName->empty()) {
    listAgain_ = true;
    return nullptr;
  }

  auto volume = std::make_shared<Volume>(url);
  volume->bsdName = *bsdName;
  volume->name = resources->name.value_or(Bexlan::String::empty());
  volume->totalBytes = resources->totalCapacity.value_or(0);
  volume->freeBytes = resources->availableCapacity.value_or(0);
  volume->isLocal = resources->isLocal.value_or(false);
  volume->isInternal = resources->isInternal.value_or(false);
  // Linux keeps no icon of its own for a volume: `icon` stays null.
  volume->isReadOnly = resources->isReadOnly.value_or(false);
  volume->isVolume = resources->isVolume.value_or(false);
  volume->isSystemVolume = resources->isRootFileSystem.value_or(false);
  volume->isStartupVolume = resources->isRootFileSystem.value_or(false);
  volume->isEjectable = resources->isEjectable.value_or(false);
  volume->fileSystem = platform_->fileSystemType(url);
  readDiskDescription(*volume);
  readCharacteristics(*volume);
  if (const std::optional<platform::MountedVolume> mount = platform_->mountedVolume(url)) {
    mounts_[url] = mount->identity;
  }

  std::lock_guard lock(volumesMutex_);
  volumes_.push_back(volume);
  return volume;
}

void VolumesController::readDiskDescription(Volume& volume) {
  const std::optional<platform::DiskDescription> description =
      platform_->diskDescription(volume.url.native());
  if (!description) return;
  // Assignments: a fact the description lacks clears an earlier one.
  volume.deviceProtocol = description->deviceProtocol;
  volume.volumeType = description->volumeType;
  volume.volumeKind = description->volumeKind;
  volume.vendor = description->deviceVendor;
  volume.model = description->deviceModel;
  volume.volumeName = description->volumeName;
  volume.mediaBsdName = description->mediaBsdName;
  volume.revision = description->deviceRevision;
  // Linux disks have no lock of their own, so a description never reports one.
  volume.isLocked = false;
  volume.ioDiskPath = description->devicePath;
  if (description->mediaPath) {
    const std::optional<std::string> root = findRootBsdName(*description->mediaPath);
    volume.rootBsdName = root ? *root : volume.bsdName;
  }
}

std::optional<std::string> VolumesController::findRootBsdName(const std::string& mediaPath) const {
  return platform_->wholeDiskName(mediaPath);
}

void VolumesController::readCharacteristics(Volume& volume) {
  if (volume.rootBsdName.empty()) return;
  // Only a disk that counts its reads has characteristics, as only a storage driver with statistics does.
  if (!platform_->diskStatistics(volume.rootBsdName)) return;
  if (const std::optional<platform::BlockDevice> disk = platform_->diskDevice(volume.rootBsdName)) {
    volume.characteristics =
        std::make_shared<VolumeCharacteristics>(BlockStorageProperties::characteristics(*disk));
  }
}

void VolumesController::readStatistics(Volume& volume, double interval) {
  if (volume.rootBsdName.empty()) return;
  if (const std::optional<platform::BlockDeviceStat> counters =
          platform_->diskStatistics(volume.rootBsdName)) {
    volume.update(std::make_shared<const VolumeStatistics>(BlockStorageProperties::statistics(*counters)),
                  interval);
  }
}

}  // namespace Draskel
