#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "Bexlan/StoreBackedProvider.hpp"
#include "Draskel/IVolumesController.hpp"
#include "Platform/System/VolumePlatform.hpp"

namespace Draskel {

// The store keys of the startup volume's read and write speed texts.
inline constexpr std::string_view diskRead = "diskRead";
inline constexpr std::string_view diskWrite = "diskWrite";

// The provider of mounted disk volumes: one Volume per mounted, browsable volume on a block device, sorted
// by name, with its disk's I/O rates and its free and total space; the startup volume's speed texts are
// published under "diskRead" and "diskWrite". Each refresh asks the platform, on its own thread, whether
// the mount table changed, and lists the mounts again when it did, so that volumes come and go without a
// main run loop; unmount notifications drop volumes too. A mount table that cannot be read adds and drops
// nothing. The history size reaches the store only: the volumes keep their own.
//
// Refresh and handle notifications on one thread (the main thread); the volume list and the listeners are
// guarded, so eject threads and readers on other threads may use them meanwhile. A volume's fields belong
// to the refreshing thread, but for `isEjecting`, which eject threads set.
class VolumesController final : public Bexlan::StoreBackedProvider<IVolumesController>,
                                public std::enable_shared_from_this<VolumesController> {
  struct Passkey {};

 public:
  // Starts a thread for `body`; the controller's eject threads are started through one.
  using ThreadStarter = std::function<void(std::function<void()>)>;

  static constexpr double defaultStorageInterval = 10;
  static constexpr std::int64_t defaultHistorySize = 60;

  // A controller of the live system's volumes.
  static std::shared_ptr<VolumesController> create();
  // A controller that asks `platform` about volumes and starts its threads with `startThread`. It follows
  // mounts from now on and has registered its two store entries; it reads no volume before the first
  // refresh. Throws std::invalid_argument for a null platform or an empty starter, and what the platform
  // throws when mounts cannot be followed.
  static std::shared_ptr<VolumesController> create(std::shared_ptr<const platform::VolumePlatform> platform,
                                                   ThreadStarter startThread = startDetachedThread);
  // A detached std::thread running `body`.
  static void startDetachedThread(std::function<void()> body);

  VolumesController(Passkey, std::shared_ptr<const platform::VolumePlatform> platform,
                    ThreadStarter startThread);
  // Stops following mounts.
  ~VolumesController() override;
  VolumesController(const VolumesController&) = delete;
  VolumesController& operator=(const VolumesController&) = delete;

  // IDataProvider
  // Adds the text entries "diskRead" (the up-arrow symbol) and then "diskWrite" (the down-arrow symbol),
  // without text. Called by create.
  void registerIdentifiers() override;
  // Brings the list up to date (update), tells the listeners volumesUpdated on the main queue and writes
  // the speed texts of the first startup volume, if any, into the store.
  void refresh(double interval) override;
  void refresh() override { refresh(0.0); }

  // IVolumesController
  std::vector<std::shared_ptr<Volume>> volumes() const override;
  std::int64_t volumeCount() const override;
  bool gatherStatistics() const override { return gatherStatistics_; }
  void setGatherStatistics(bool gather) override { gatherStatistics_ = gather; }
  bool gatherUsage() const override { return gatherUsage_; }
  void setGatherUsage(bool gather) override { gatherUsage_ = gather; }
  std::shared_ptr<Delegates> delegates() const override;
  void setDelegates(std::shared_ptr<Delegates> delegates) override;
  void eject(const std::shared_ptr<Volume>& volume) override;
  void ejectAll() override { ejectAll({}); }
  void ejectAll(const std::vector<std::string>& excludedBsdNames) override;

  // Seconds between two passes over the volumes' sizes (10 at first); a pass also runs when the wall clock
  // has gone back past the last one. Throws std::invalid_argument for NaN.
  double storageInterval() const { return storageInterval_; }
  void setStorageInterval(double seconds);
  // Seconds since 1970 at the end of the last size pass; 0 before the first.
  double lastStorageRefresh() const { return lastStorageRefresh_; }

  // Drops the volumes whose mount point is gone, lists the mounts when they may have changed, hands every
  // volume its disk's counters over `interval`, re-reads the sizes when a storage interval has passed, and
  // sorts by name. A listing is the whole truth: it drops the volumes no longer mounted (volumeRemoved for
  // each, on this thread) and adds the new ones (volumeAdded for each, on this thread). A volume is for one
  // mount: where its path shows another one now (another device, a mount over it), it is dropped and a new
  // volume made; a known mount that was made read-only or writable since shows in isReadOnly. A device is
  // one volume, at its first mount seen at its own place: when an earlier mount of its device comes to
  // light (a mount over it left), the volume moves there (dropped and made anew). The size pass takes the
  // read-only state too (a file system the kernel made read-only after an error). A listing reads the mount
  // table once, and a size pass once. The table is listed only when it may have changed: at first, when the
  // platform's change check or a mount notification says so, after a failed read, and while a path was
  // refused at the last listing for want of facts or a device name (such a path is asked again).
  void update(double interval);
  // Drops the volumes whose mount point no longer exists; listeners hear of each on the main queue.
  void pruneVolumes();
  // Drops the volumes whose mount point is no longer among the mounted ones, shows another mount, or is
  // no longer the first of its device, and tells the listeners at once, on this thread. Nothing happens when
  // the mounted list cannot be read.
  void handleUnmount();
  // Follows mount and unmount notifications (didMount, didUnmount); removeObservers stops that.
  void addObservers();
  void removeObservers();
  void didMount() {
    mountsChanged_ = true;
    refresh(0.0);
  }
  void didUnmount() {
    mountsChanged_ = true;
    handleUnmount();
  }

  // Discovery: a new volume for the browsable mount at `url` on a named block device, filled, appended to
  // the list and returned; null for any other path. A path refused because its facts or its device name
  // could not be had (not for being unbrowsable) makes the next update list the mounts again.
  std::shared_ptr<Volume> makeVolume(const std::string& url);
  // Fills the disk description and the whole disk (`rootBsdName`); nothing changes when there is none.
  void readDiskDescription(Volume& volume);
  // Sets the characteristics of the volume's whole disk, when its counters and facts can be read.
  void readCharacteristics(Volume& volume);
  // Hands the volume the counters of its whole disk with the interval, when they can be read.
  void readStatistics(Volume& volume, double interval);
  // The whole disk under the device at `mediaPath`; absent when the device is a whole disk itself.
  std::optional<std::string> findRootBsdName(const std::string& mediaPath) const;

 private:
  // Lists the mounts: drops the volumes no longer mounted and adds those not known yet, telling the
  // listeners of each at once.
  void listMountedVolumes();
  // Drops the volumes whose mount point is not among `mounted`, shows another mount than the one the
  // volume was made for, or is no longer the first of its device seen at its place, telling the listeners
  // of each at once; the others take their mount's read-only state.
  void removeUnmounted(const std::vector<std::string>& mounted);
  void remove(const std::shared_ptr<Volume>& volume);
  void updateStorage(Volume& volume) const;
  void sortVolumes();
  void publishStartupSpeeds();
  using Message = std::function<void(VolumesDelegate&)>;
  // Calls `message` on every listener, on this thread.
  void tell(const Message& message) const { delegates()->invoke(message); }
  // Posts to the main queue a block that calls `message` on every listener of this controller, if the
  // controller is still alive then.
  void tellOnMainQueue(Message message) const;
  void ejectVolume(const std::shared_ptr<Volume>& volume) const;
  void ejectVolumes(const std::vector<std::string>& excludedBsdNames) const;

  const std::shared_ptr<const platform::VolumePlatform> platform_;
  const ThreadStarter startThread_;
  double lastStorageRefresh_ = 0;
  bool gatherStatistics_ = true;
  bool gatherUsage_ = true;
  double storageInterval_ = defaultStorageInterval;
  mutable std::mutex volumesMutex_;
  std::vector<std::shared_ptr<Volume>> volumes_;
  mutable std::mutex delegatesMutex_;
  std::shared_ptr<Delegates> delegates_;
  std::shared_ptr<void> mountObservation_;
  // Asked on the refreshing thread at every update.
  platform::VolumePlatform::ChangeCheck mountTableChanged_;
  // Set by the notifications (main thread) and cleared by a listing (the refreshing thread).
  std::atomic<bool> mountsChanged_ = false;
  // A volumesUpdated block is queued on the main queue and has not started.
  std::atomic<bool> updatedPending_ = false;
  // The refreshing thread's: the mount each volume was made for, by its path, where the platform tells it.
  std::map<std::string, platform::MountIdentity> mounts_;
  // The refreshing thread's: no listing yet, or the last one failed or refused a path that may yet come.
  bool listAgain_ = true;
};

}  // namespace Draskel
