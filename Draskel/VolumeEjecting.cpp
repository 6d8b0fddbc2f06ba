// Mounts and ejecting: following mount notifications, dropping volumes that are gone, and unmounting one
// volume or all of them on threads of their own.
#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <system_error>
#include <unordered_set>

#include "Draskel/VolumesController.hpp"

namespace Draskel {

void VolumesController::addObservers() {
  const std::weak_ptr<VolumesController> weak = weak_from_this();
  mountObservation_ = platform_->observeMounts(
      [weak] {
        if (const auto self = weak.lock()) self->didMount();
      },
      [weak] {
        if (const auto self = weak.lock()) self->didUnmount();
      });
}

void VolumesController::removeObservers() { mountObservation_.reset(); }

void VolumesController::handleUnmount() {
  if (const std::optional<std::vector<std::string>> mounted = platform_->mountedVolumePaths()) {
    removeUnmounted(*mounted);
  }
}

void VolumesController::removeUnmounted(const std::vector<std::string>& mounted) {
  const std::unordered_set<std::string_view> mountPoints(mounted.begin(), mounted.end());
  std::vector<std::shared_ptr<Volume>> gone;
  for (const auto& volume : volumes()) {
    const std::string& path = volume->url.native();
    if (!mountPoints.contains(path)) {
      gone.push_back(volume);
    } else if (const auto made = mounts_.find(path); made != mounts_.end()) {
      const std::optional<platform::MountedVolume> mount = platform_->mountedVolume(path);
      // Another mount, or no longer the first of its device seen at its place (an earlier one of the
      // device came to light): the device's volume is at that one.
      if (mount && (mount->identity != made->second || !mount->isFirstMountOfDevice)) {
        gone.push_back(volume);
      } else if (mount) {
        volume->isReadOnly = mount->isReadOnly;
      }
    }
  }
  for (const auto& volume : gone) {
    remove(volume);
    tell([&](VolumesDelegate& delegate) { delegate.volumeRemoved(volume); });
  }
}

void VolumesController::pruneVolumes() {
  std::vector<std::shared_ptr<Volume>> gone;
  for (const auto& volume : volumes()) {
    if (!platform_->fileExists(volume->url.native())) gone.push_back(volume);
  }
  for (const auto& volume : gone) {
    remove(volume);
    tellOnMainQueue([volume](VolumesDelegate& delegate) { delegate.volumeRemoved(volume); });
  }
}

void VolumesController::eject(const std::shared_ptr<Volume>& volume) {
  if (!volume) throw std::invalid_argument("VolumesController::eject: no volume");
  startThread_([self = shared_from_this(), volume] { self->ejectVolume(volume); });
}

void VolumesController::ejectAll(const std::vector<std::string>& excludedBsdNames) {
  startThread_([self = shared_from_this(), excludedBsdNames] { self->ejectVolumes(excludedBsdNames); });
}

void VolumesController::ejectVolumes(const std::vector<std::string>& excludedBsdNames) const {
  for (const auto& volume : volumes()) {
    if (std::find(excludedBsdNames.begin(), excludedBsdNames.end(), volume->bsdName) !=
        excludedBsdNames.end()) {
      continue;
    }
    if (volume->isSystemVolume || volume->isStartupVolume) continue;
    try {
      startThread_([self = shared_from_this(), volume] { self->ejectVolume(volume); });
    } catch (const std::system_error&) {
      // No thread to be had: eject here rather than leave the volume out of the pass.
      ejectVolume(volume);
    }
  }
}

void VolumesController::ejectVolume(const std::shared_ptr<Volume>& volume) const {
  volume->isEjecting = true;
  tell([&](VolumesDelegate& delegate) { delegate.ejectStarted(volume); });
  const std::error_code error = platform_->unmountAndEject(volume->url.native());
  // On success the flag stays set until the unmount notification or a refresh drops the volume.
  if (!error) return;
  volume->isEjecting = false;
  tell([&](VolumesDelegate& delegate) { delegate.ejectFailed(volume, error); });
}

}  // namespace Draskel
