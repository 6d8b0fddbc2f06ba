#include "Orvane/NetworkController.hpp"

#include <net/if.h>
#include <sys/socket.h>

#include <algorithm>
#include <stdexcept>
#include <string_view>
#include <unordered_map>
#include <unordered_set>

#include "Bexlan/DiskUtilities.hpp"
#include "Bexlan/String.hpp"
#include "Bexlan/StringIdentifier.hpp"
#include "Bexlan/SymbolIcons.hpp"
#include "Orvane/Network.hpp"
#include "Platform/Foundation/Bundle.hpp"
#include "Platform/System/InterfaceList.hpp"
#include "Platform/System/Utf8Text.hpp"

namespace Orvane {

namespace {

// A value read from the system on first use and kept for the rest of one refresh.
template <class T>
class ReadOnce {
 public:
  template <class Read>
  const T& get(Read&& read) {
    if (!value_) value_.emplace(read());
    return *value_;
  }
  bool has() const { return value_.has_value(); }

 private:
  std::optional<T> value_;
};

int familyOf(IpType type) { return type == IpType::ip4 ? AF_INET : AF_INET6; }

}  // namespace

// What one refresh (or one outside call) reads from the system, each source at most once, and looked up by
// interface name through indexes made once, so that a refresh costs in proportion to the interfaces.
class NetworkController::Reading {
 public:
  explicit Reading(const platform::NetworkPlatform& platform) : platform_(platform) {}

  const std::optional<std::vector<platform::InterfaceEntry>>& interfaces() {
    return interfaces_.get([&] { return platform_.interfaces(); });
  }
  // The system's interfaces with their display names, and with their kinds when `withKinds`. A list read
  // with kinds serves both.
  const std::optional<std::vector<platform::SystemInterface>>& systemInterfaces(bool withKinds) {
    if (withKinds || systemInterfacesWithKinds_.has()) {
      return systemInterfacesWithKinds_.get([&] { return platform_.systemInterfaces(true); });
    }
    return systemInterfaces_.get([&] { return platform_.systemInterfaces(false); });
  }
  // Reads the interface list and the system's interfaces without kinds in one go, for a refresh, which
  // needs both: the live system serves them from one pair of dumps.
  void readInterfacesWithNames() {
    auto both = platform_.interfacesWithNames();
    interfaces_.get([&] { return std::move(both.interfaces); });
    systemInterfaces_.get([&] { return std::move(both.systemInterfaces); });
  }
  const std::optional<std::string>& primaryInterface() {
    return primaryInterface_.get([&] { return platform_.primaryInterface(); });
  }
  // The interface list by name; null when the list cannot be read.
  const platform::InterfaceIndex* interfaceIndex() {
    if (!interfaceIndex_ && interfaces()) interfaceIndex_.emplace(*interfaces());
    return interfaceIndex_ ? &*interfaceIndex_ : nullptr;
  }
  std::optional<std::string> address(const std::string& name, IpType type) {
    const auto* index = interfaceIndex();
    return index ? index->firstAddress(name, familyOf(type)) : std::nullopt;
  }
  // The first display name the system gives the interface `name`; null when it gives none.
  const std::string* displayName(const std::string& name) {
    const auto& names = displayNames_.get([&] {
      std::unordered_map<std::string_view, const std::string*> byName;
      if (const auto& system = systemInterfaces(false)) {
        for (const auto& interface : *system) {
          if (interface.displayName) byName.try_emplace(interface.name, &*interface.displayName);
        }
      }
      return byName;
    });
    const auto found = names.find(name);
    return found == names.end() ? nullptr : found->second;
  }
  // The kind of the interface `name`: that of its first type text that is one of AdapterType's texts.
  std::optional<AdapterType> kind(const std::string& name) {
    const auto& kinds = kinds_.get([&] {
      std::unordered_map<std::string_view, AdapterType> byName;
      if (const auto& system = systemInterfaces(true)) {
        for (const auto& interface : *system) {
          if (!interface.typeText) continue;
          if (auto type = adapterTypeFromRawValue(*interface.typeText))
            byName.try_emplace(interface.name, *type);
        }
      }
      return byName;
    });
    const auto found = kinds.find(name);
    return found == kinds.end() ? std::nullopt : std::optional(found->second);
  }

 private:
  const platform::NetworkPlatform& platform_;
  ReadOnce<std::optional<std::vector<platform::InterfaceEntry>>> interfaces_;
  ReadOnce<std::optional<std::vector<platform::SystemInterface>>> systemInterfaces_;
  ReadOnce<std::optional<std::vector<platform::SystemInterface>>> systemInterfacesWithKinds_;
  ReadOnce<std::optional<std::string>> primaryInterface_;
  std::optional<platform::InterfaceIndex> interfaceIndex_;
  ReadOnce<std::unordered_map<std::string_view, const std::string*>> displayNames_;
  ReadOnce<std::unordered_map<std::string_view, AdapterType>> kinds_;
};

NetworkController::NetworkController() : NetworkController(AdapterMode::all) {}

NetworkController::NetworkController(AdapterMode mode)
    : NetworkController(platform::NetworkPlatform::live(), mode) {}

NetworkController::NetworkController(std::shared_ptr<const platform::NetworkPlatform> platform,
                                     AdapterMode mode)
    : StoreBackedProvider(defaultHistorySize), platform_(std::move(platform)), mode_(mode) {
  if (!platform_) throw std::invalid_argument("NetworkController: the platform must not be null");
  registerIdentifiers();
}

void NetworkController::registerIdentifiers() {
  auto upIcon = Bexlan::SymbolIcons::symbol("chevron.up");
  auto downIcon = Bexlan::SymbolIcons::symbol("chevron.down");
  auto bundle = platform::Bundle::module("Orvane");
  auto entry = [&](const std::string& key, Bexlan::Icon icon) {
    return std::make_shared<Bexlan::StringIdentifier>(key, bundle->localizedString(key, ""),
                                                      Bexlan::String::empty(), std::move(icon));
  };
  store()->add(entry(Network::upload(), std::move(upIcon)));
  store()->add(entry(Network::download(), std::move(downIcon)));
}

void NetworkController::resizeHistories(std::int64_t size) {
  if (adapter_) adapter_->resizeHistory(size);
  for (const auto& known : mAdapters_.values()) known->resizeHistory(size);
}

void NetworkController::refresh(double interval) {
  Reading reading(*platform_);
  reading.readInterfacesWithNames();
  updateAdapters(reading);
  if (autoDetect_) detectPrimaryAdapter(reading);
  removeGoneAdapters(reading);
  if (!currentIdentifier_ || currentIdentifier_->empty()) return;
  const auto& entries = reading.interfaces();
  if (!entries || entries->empty()) return;
  updateCounters(reading, interval);
  if (auto shown = mAdapters_.get(*currentIdentifier_)) publish(**shown);
}

void NetworkController::removeGoneAdapters(Reading& reading) {
  const auto* index = reading.interfaceIndex();
  if (!index || reading.interfaces()->empty()) return;
  for (const auto& adapter : mAdapters_.values()) {
    if (index->link(adapter->identifier)) continue;
    if (adapter->identifier == currentIdentifier_) {
      // The shown adapter stays and moves no bytes until an interface of its name comes, whose counters
      // it takes as a new baseline.
      adapter->restartCounters();
    } else {
      mAdapters_.set(adapter->identifier, std::nullopt);
    }
  }
}

void NetworkController::updateCounters(Reading& reading, double interval) {
  std::unordered_map<std::string_view, const platform::WirelessInterface*> wireless;
  const std::vector<platform::WirelessInterface> wirelessList = platform_->wirelessInterfaces();
  for (const auto& facts : wirelessList) wireless.try_emplace(facts.name, &facts);
  for (const auto& entry : *reading.interfaces()) {
    if (!entry.counters) continue;
    auto known = mAdapters_.get(entry.name);
    if (!known) continue;
    NetworkAdapter& adapter = **known;
    adapter.ipv4 = reading.address(adapter.identifier, IpType::ip4);
    // The kernel's counters are 64-bit and never wrap: one that falls, or an interface index that changed
    // under the name, means the interface was reset or made anew. Its bytes are not this interval's, so
    // the counters become the new baseline and the interval's rate is 0.
    const platform::LinkCounters& counters = *entry.counters;
    const bool madeAnew = adapter.interfaceIndex && *adapter.interfaceIndex != entry.index;
    if (madeAnew || counters.sentBytes < adapter.oldUpload || counters.receivedBytes < adapter.oldDownload) {
      adapter.restartCounters();
    }
    adapter.interfaceIndex = entry.index;
    adapter.updateUpload(counters.sentBytes, interval);
    adapter.updateDownload(counters.receivedBytes, interval);
    const auto facts = wireless.find(entry.name);
    if (facts == wireless.end()) continue;
    adapter.noise = facts->second->noise;
    adapter.transmitRate = facts->second->transmitRate;
    adapter.rssiValue = facts->second->rssi;
    adapter.serviceSetIdentifier = facts->second->networkName;
    adapter.security = facts->second->security;
  }
}

void NetworkController::publish(const NetworkAdapter& shown) {
  std::uint64_t up = shown.uploadBytesDiff;
  std::uint64_t down = shown.downloadBytesDiff;
  store()->setStringWithRaw(Network::upload(), Bexlan::DiskUtilities::rateString(up, useBits_),
                            platform::Number::of(up));
  store()->setStringWithRaw(Network::download(), Bexlan::DiskUtilities::rateString(down, useBits_),
                            platform::Number::of(down));
}

std::vector<std::shared_ptr<NetworkAdapter>> NetworkController::adapters() const {
  std::vector<std::shared_ptr<NetworkAdapter>> all = mAdapters_.values();
  std::stable_sort(all.begin(), all.end(),
                   [](const auto& left, const auto& right) { return left->identifier < right->identifier; });
  return all;
}

void NetworkController::setAutoDetect(bool autoDetect) {
  autoDetect_ = autoDetect;
  adapter_ = nullptr;
  currentIdentifier_.reset();
}

void NetworkController::enableAutoDetect() {
  adapter_ = nullptr;
  currentIdentifier_.reset();
  autoDetect_ = true;
}

void NetworkController::select(const std::shared_ptr<NetworkAdapter>& chosen) {
  autoDetect_ = false;
  currentIdentifier_ = chosen ? std::optional(chosen->identifier) : std::nullopt;
  adapter_ = chosen;
  if (auto listener = delegate_.lock()) listener->adapterChanged(chosen);
}

std::optional<std::string> NetworkController::primaryInterface() const {
  return platform_->primaryInterface();
}

void NetworkController::updateAdapters() {
  Reading reading(*platform_);
  updateAdapters(reading);
}

void NetworkController::updateAdapters(Reading& reading) {
  refreshAdapterNames(reading);
  std::vector<std::string> candidates;
  if (mode_ == AdapterMode::primary) {
    if (const auto& primary = reading.primaryInterface()) candidates.push_back(*primary);
  } else {
    candidates = candidateNames(reading, nullptr);
  }
  for (const auto& adapter : makeAdapters(reading, candidates)) {
    if (!mAdapters_.get(adapter->identifier)) mAdapters_.set(adapter->identifier, adapter);
  }
}

void NetworkController::detectPrimaryAdapter() {
  Reading reading(*platform_);
  detectPrimaryAdapter(reading);
}

void NetworkController::detectPrimaryAdapter(Reading& reading) {
  const std::optional<std::string> primary = reading.primaryInterface();
  if (!primary) {
    if (!currentIdentifier_) return;
  } else {
    if (!adapter_) adapter_ = mAdapters_.get(*primary).value_or(nullptr);
    if (currentIdentifier_ == primary) return;
  }
  // The primary interface has changed.
  if (mode_ == AdapterMode::primary) {
    mAdapters_.removeAll();
    updateAdapters(reading);
  }
  adapter_ = primary ? mAdapters_.get(*primary).value_or(nullptr) : nullptr;
  if (auto listener = delegate_.lock()) listener->adapterChanged(adapter_);
  currentIdentifier_ = primary;
}

void NetworkController::refreshAdapterNames() {
  Reading reading(*platform_);
  refreshAdapterNames(reading);
}

void NetworkController::refreshAdapterNames(Reading& reading) {
  const auto& system = reading.systemInterfaces(false);
  if (!system) return;
  for (const auto& interface : *system) {
    if (interface.displayName && !adapterNames_.get(interface.name)) {
      adapterNames_.set(interface.name, interface.displayName);
    }
  }
}

std::vector<std::string> NetworkController::candidateNames(Reading& reading,
                                                           const std::vector<std::string>* names) const {
  std::vector<std::string> result;
  const auto& entries = reading.interfaces();
  if (!entries) return result;
  std::unordered_set<std::string_view> wanted;
  if (names) wanted.insert(names->begin(), names->end());
  for (const auto& entry : *entries) {
    if (entry.family != AF_PACKET || !platform::isValidUtf8(entry.name)) continue;
    if (names && !wanted.contains(entry.name)) continue;
    if ((entry.flags & IFF_UP) == 0 || (entry.flags & IFF_LOOPBACK) != 0) continue;
    if (mAdapters_.get(entry.name)) continue;
    result.push_back(entry.name);
  }
  return result;
}

std::vector<std::shared_ptr<NetworkAdapter>> NetworkController::newAdapters() {
  Reading reading(*platform_);
  std::vector<std::shared_ptr<NetworkAdapter>> result;
  for (const auto& name : candidateNames(reading, nullptr)) result.push_back(makeAdapter(reading, name));
  return result;
}

std::vector<std::shared_ptr<NetworkAdapter>> NetworkController::makeAdapters(
    const std::vector<std::string>& names) {
  Reading reading(*platform_);
  return makeAdapters(reading, names);
}

std::vector<std::shared_ptr<NetworkAdapter>> NetworkController::makeAdapters(
    Reading& reading, const std::vector<std::string>& names) {
  std::vector<std::shared_ptr<NetworkAdapter>> result;
  for (const auto& name : candidateNames(reading, &names)) result.push_back(makeAdapter(reading, name));
  return result;
}

std::shared_ptr<NetworkAdapter> NetworkController::makeAdapter(const std::string& name) {
  Reading reading(*platform_);
  return makeAdapter(reading, name);
}

std::shared_ptr<NetworkAdapter> NetworkController::makeAdapter(Reading& reading, const std::string& name) {
  auto adapter = std::make_shared<NetworkAdapter>(name, historySize());
  adapter->type = adapterType(reading, name);
  adapter->name = displayName(reading, name);
  adapter->ipv4 = reading.address(name, IpType::ip4);
  adapter->ipv6 = reading.address(name, IpType::ip6);
  return adapter;
}

std::optional<std::string> NetworkController::displayName(const std::string& name) {
  Reading reading(*platform_);
  return displayName(reading, name);
}

std::optional<std::string> NetworkController::displayName(Reading& reading, const std::string& name) {
  if (auto cached = adapterNames_.get(name)) return cached;
  const std::string* found = reading.displayName(name);
  if (!found) return std::nullopt;
  adapterNames_.set(name, *found);
  return *found;
}

std::optional<std::string> NetworkController::address(const std::string& name, IpType type) {
  Reading reading(*platform_);
  return reading.address(name, type);
}

AdapterType NetworkController::adapterType(const std::string& name) {
  Reading reading(*platform_);
  return adapterType(reading, name);
}

AdapterType NetworkController::adapterType(Reading& reading, const std::string& name) const {
  return reading.kind(name).value_or(AdapterType::unknown);
}

}  // namespace Orvane
