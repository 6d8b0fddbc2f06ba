#include "Draskel/VolumesController.hpp"

#include <unicode/normalizer2.h>
#include <unicode/unistr.h>

#include <algorithm>
#include <cmath>
#include <stdexcept>
#include <thread>
#include <unordered_set>
#include <utility>

#include "Bexlan/StringIdentifier.hpp"
#include "Bexlan/SymbolIcons.hpp"
#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/Foundation/Clock.hpp"

namespace Draskel {

namespace {

// `name` in Unicode canonical composition (NFC) as UTF-8, whose byte order is the order of its code points:
// names that differ only in how accents are encoded compare equal. ASCII is already composed.
std::string canonicalName(const std::string& name) {
  if (std::all_of(name.begin(), name.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; })) {
    return name;
  }
  UErrorCode status = U_ZERO_ERROR;
  const icu::Normalizer2* composition = icu::Normalizer2::getNFCInstance(status);
  if (U_FAILURE(status)) return name;
  const icu::UnicodeString composed = composition->normalize(icu::UnicodeString::fromUTF8(name), status);
  if (U_FAILURE(status)) return name;
  std::string result;
  composed.toUTF8String(result);
  return result;
}

}  // namespace

std::shared_ptr<VolumesController> VolumesController::create() {
  return create(platform::VolumePlatform::live());
}

std::shared_ptr<VolumesController> VolumesController::create(
    std::shared_ptr<const platform::VolumePlatform> platform, ThreadStarter startThread) {
  auto controller =
      std::make_shared<VolumesController>(Passkey{}, std::move(platform), std::move(startThread));
  controller->addObservers();
  controller->registerIdentifiers();
  return controller;
}

void VolumesController::startDetachedThread(std::function<void()> body) {
  std::thread(std::move(body)).detach();
}

VolumesController::VolumesController(Passkey, std::shared_ptr<const platform::VolumePlatform> platform,
                                     ThreadStarter startThread)
    : StoreBackedProvider(defaultHistorySize),
      platform_(std::move(platform)),
      startThread_(std::move(startThread)),
      delegates_(std::make_shared<Delegates>()) {
  if (!platform_) throw std::invalid_argument("VolumesController: no volume platform");
  if (!startThread_) throw std::invalid_argument("VolumesController: no thread starter");
  mountTableChanged_ = platform_->mountTableChanges();
}

VolumesController::~VolumesController() { removeObservers(); }

void VolumesController::registerIdentifiers() {
  const std::string read(diskRead);
  const std::string write(diskWrite);
  store()->add(std::make_shared<Bexlan::StringIdentifier>(read, read, std::nullopt,
                                                          Bexlan::SymbolIcons::symbol("arrowtriangle.up")));
  store()->add(std::make_shared<Bexlan::StringIdentifier>(write, write, std::nullopt,
                                                          Bexlan::SymbolIcons::symbol("arrowtriangle.down")));
}

void VolumesController::refresh(double interval) {
  update(interval);
  // One volumesUpdated waits on the main queue at a time, and tells of every refresh before it runs: a
  // program that refreshes without running a main loop would otherwise queue a block per refresh for ever.
  if (!updatedPending_.exchange(true)) {
    platform::DispatchQueue::main().async([weak = weak_from_this()] {
      if (const auto self = weak.lock()) {
        self->updatedPending_ = false;
        self->tell([](VolumesDelegate& delegate) { delegate.volumesUpdated(); });
      }
    });
  }
  publishStartupSpeeds();
}

void VolumesController::update(double interval) {
  pruneVolumes();
  // Both are asked every time, so that each answers for the time since this listing.
  const bool tableChanged = !mountTableChanged_ || mountTableChanged_();
  const bool notified = mountsChanged_.exchange(false);
  if (tableChanged || notified || listAgain_) listMountedVolumes();
  const std::vector<std::shared_ptr<Volume>> current = volumes();
  if (gatherStatistics_) {
    for (const auto& volume : current) readStatistics(*volume, interval);
  }
  if (gatherUsage_) {
    const double now = platform::Clock::wallNow();
    // A wall clock set back past the last pass would otherwise hold the sizes still until it caught up.
    if (storageInterval_ <= now - lastStorageRefresh_ || now < lastStorageRefresh_) {
      if (!current.empty()) platform_->readMountTable();
      for (const auto& volume : current) updateStorage(*volume);
      lastStorageRefresh_ = platform::Clock::wallNow();
    }
  }
  sortVolumes();
}

void VolumesController::listMountedVolumes() {
  const std::optional<std::vector<std::string>> paths = platform_->mountedVolumePaths();
  listAgain_ = !paths;
  if (!paths) return;
  removeUnmounted(*paths);
  std::unordered_set<std::string> known;
  for (const auto& volume : volumes()) known.insert(volume->url.native());
  for (const std::string& path : *paths) {
    if (known.contains(path)) continue;
    if (const std::shared_ptr<Volume> volume = makeVolume(path)) {
      tell([&](VolumesDelegate& delegate) { delegate.volumeAdded(volume); });
    }
  }
}

void VolumesController::updateStorage(Volume& volume) const {
  const std::optional<platform::VolumeResources> resources = platform_->resources(volume.url.native());
  if (!resources || resources->isBrowsable == false) return;
  volume.totalBytes = resources->totalCapacity.value_or(0);
  volume.freeBytes = resources->availableCapacity.value_or(0);
  volume.isReadOnly = resources->isReadOnly.value_or(volume.isReadOnly);
}

void VolumesController::sortVolumes() {
  std::lock_guard lock(volumesMutex_);
  std::vector<std::pair<std::string, std::shared_ptr<Volume>>> keyed;
  keyed.reserve(volumes_.size());
  for (auto& volume : volumes_) keyed.emplace_back(canonicalName(volume->name), std::move(volume));
  std::stable_sort(keyed.begin(), keyed.end(),
                   [](const auto& a, const auto& b) { return a.first < b.first; });
  for (std::size_t i = 0; i < keyed.size(); ++i) volumes_[i] = std::move(keyed[i].second);
}

void VolumesController::publishStartupSpeeds() {
  for (const auto& volume : volumes()) {
    if (!volume->isStartupVolume) continue;
    store()->setString(std::string(diskRead), volume->readSpeed);
    store()->setString(std::string(diskWrite), volume->writeSpeed);
    return;
  }
}

std::vector<std::shared_ptr<Volume>> VolumesController::volumes() const {
  std::lock_guard lock(volumesMutex_);
  return volumes_;
}

std::int64_t VolumesController::volumeCount() const {
  std::lock_guard lock(volumesMutex_);
  return static_cast<std::int64_t>(volumes_.size());
}

void VolumesController::remove(const std::shared_ptr<Volume>& volume) {
  mounts_.erase(volume->url.native());
  std::lock_guard lock(volumesMutex_);
  std::erase(volumes_, volume);
}

std::shared_ptr<VolumesController::Delegates> VolumesController::delegates() const {
  std::lock_guard lock(delegatesMutex_);
  return delegates_;
}

void VolumesController::setDelegates(std::shared_ptr<Delegates> delegates) {
  if (!delegates) throw std::invalid_argument("VolumesController: null delegates");
  std::lock_guard lock(delegatesMutex_);
  delegates_.swap(delegates);
}

void VolumesController::setStorageInterval(double seconds) {
  if (std::isnan(seconds)) throw std::invalid_argument("VolumesController: storage interval is NaN");
  storageInterval_ = seconds;
}

void VolumesController::tellOnMainQueue(Message message) const {
  platform::DispatchQueue::main().async([weak = weak_from_this(), message = std::move(message)] {
    if (const auto self = weak.lock()) self->tell(message);
  });
}

}  // namespace Draskel
