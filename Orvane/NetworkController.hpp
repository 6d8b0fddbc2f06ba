#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Bexlan/BXDictionary.hpp"
#include "Bexlan/StoreBackedProvider.hpp"
#include "Orvane/INetworkController.hpp"
#include "Platform/System/NetworkPlatform.hpp"

namespace Orvane {

// The network monitor. It keeps a table of the machine's adapters by interface name, decides which one is
// shown (the primary interface while detecting automatically, else the one selected), and on every refresh
// turns the interfaces' byte counters into rates and writes the shown adapter's rates as texts with raw
// numbers under "N_S_UL" and "N_S_DL" of its store. Its history size is that of new adapters (120 at first;
// the store keeps its own, 60 at first); setting it resizes the shown adapter and every adapter of the
// table too.
//
// Use it from one thread (the main thread): the tables are guarded, the adapters and the shown-adapter
// fields are not. One refresh reads each system source at most once, so all its steps see the same
// interfaces, routes and names.
class NetworkController final : public Bexlan::StoreBackedProvider<INetworkController> {
 public:
  // An adapter history of this many rates is given to every new adapter.
  static constexpr std::int64_t defaultHistorySize = 120;

  // A monitor of the live system, keeping every active interface.
  NetworkController();
  explicit NetworkController(AdapterMode mode);
  // A monitor that asks `platform` about the system.
  explicit NetworkController(std::shared_ptr<const platform::NetworkPlatform> platform,
                             AdapterMode mode = AdapterMode::all);
  NetworkController(const NetworkController&) = delete;
  NetworkController& operator=(const NetworkController&) = delete;

  // IDataProvider
  // Adds the upload entry "N_S_UL" and then the download entry "N_S_DL", texts with an empty text. Called
  // by the constructor.
  void registerIdentifiers() override;
  // Brings the adapter table up to date (new interfaces, counters, addresses, Wi-Fi facts), follows the
  // primary interface while detecting automatically, and publishes the rates of the table's adapter under
  // the current identifier. Interfaces that no longer exist leave the table, except the shown one, which
  // stays and continues with the next interface of its name. A counter that falls or an interface made
  // anew under its name (a new index) starts a new baseline: that interval's rate is 0, and the peak and
  // histories are not touched. Nothing is published while no adapter is shown or the interface
  // list cannot be read: the store keeps its texts.
  void refresh(double interval) override;

  // INetworkController
  std::shared_ptr<NetworkAdapter> adapter() const override { return adapter_; }
  // Sets the shown adapter as it is: the current identifier, which decides what is published, and the
  // delegate are left alone (select() changes all three).
  void setAdapter(std::shared_ptr<NetworkAdapter> adapter) { adapter_ = std::move(adapter); }
  std::shared_ptr<NetworkDelegate> delegate() const override { return delegate_.lock(); }
  void setDelegate(const std::shared_ptr<NetworkDelegate>& delegate) override { delegate_ = delegate; }
  bool isAutoDetecting() const override { return autoDetect_; }
  bool useBits() const override { return useBits_; }
  void setUseBits(bool useBits) override { useBits_ = useBits; }
  std::vector<std::shared_ptr<NetworkAdapter>> adapters() const override;
  bool autoDetect() const override { return autoDetect_; }
  void setAutoDetect(bool autoDetect) override;
  AdapterMode mode() const override { return mode_; }
  void setMode(AdapterMode mode) override { mode_ = mode; }
  void update() override { refresh(0); }
  void select(const std::shared_ptr<NetworkAdapter>& adapter) override;
  std::shared_ptr<NetworkAdapter> makeAdapter(const std::string& name) override;
  // Display names are cached by interface name once found; a name the system does not know is asked for
  // again on the next call.
  std::optional<std::string> displayName(const std::string& name) override;
  std::optional<std::string> address(const std::string& name, IpType type) override;

  // The interface name of the shown adapter: the key under which the published rates are looked up.
  const std::optional<std::string>& currentIdentifier() const { return currentIdentifier_; }
  // The interface of the system's default route; absent when there is none.
  std::optional<std::string> primaryInterface() const;
  // The kind of the interface by the system's type text; unknown when it has none of AdapterType's texts.
  AdapterType adapterType(const std::string& name);
  // Forgets the shown adapter and switches automatic detection on.
  void enableAutoDetect();
  // Adds an adapter for each candidate interface that the table lacks: the primary interface in mode
  // primary, every active one in mode all.
  void updateAdapters();
  // Follows the primary interface: when it differs from the current identifier, shows its adapter (in mode
  // primary, a fresh one in an emptied table) and tells the delegate.
  void detectPrimaryAdapter();
  // Caches the display name of every system interface not cached yet that has one.
  void refreshAdapterNames();
  // New adapters for the active interfaces (up, not loopback, link level, named in valid UTF-8) that the
  // table lacks, in interface-list order; makeAdapters keeps only those among `names`.
  std::vector<std::shared_ptr<NetworkAdapter>> newAdapters();
  std::vector<std::shared_ptr<NetworkAdapter>> makeAdapters(const std::vector<std::string>& names);

 private:
  class Reading;

  void resizeHistories(std::int64_t size) override;

  void updateAdapters(Reading& reading);
  void detectPrimaryAdapter(Reading& reading);
  void refreshAdapterNames(Reading& reading);
  std::vector<std::string> candidateNames(Reading& reading, const std::vector<std::string>* names) const;
  std::vector<std::shared_ptr<NetworkAdapter>> makeAdapters(Reading& reading,
                                                            const std::vector<std::string>& names);
  std::shared_ptr<NetworkAdapter> makeAdapter(Reading& reading, const std::string& name);
  std::optional<std::string> displayName(Reading& reading, const std::string& name);
  AdapterType adapterType(Reading& reading, const std::string& name) const;
  // Drops the adapters of interfaces the list no longer has, except the shown one (under the current
  // identifier), which restarts its counters. Nothing is dropped when the list cannot be read or is empty
  // (every network namespace has a loopback interface).
  void removeGoneAdapters(Reading& reading);
  void updateCounters(Reading& reading, double interval);
  void publish(const NetworkAdapter& shown);

  std::shared_ptr<const platform::NetworkPlatform> platform_;
  std::optional<std::string> currentIdentifier_;
  Bexlan::BXDictionary<std::string, std::string> adapterNames_;
  Bexlan::BXDictionary<std::string, std::shared_ptr<NetworkAdapter>> mAdapters_;
  std::shared_ptr<NetworkAdapter> adapter_;
  bool useBits_ = false;
  bool autoDetect_ = true;
  AdapterMode mode_ = AdapterMode::all;
  std::weak_ptr<NetworkDelegate> delegate_;
};

}  // namespace Orvane
