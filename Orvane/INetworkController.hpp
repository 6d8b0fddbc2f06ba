#pragma once

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "Bexlan/IDataProvider.hpp"
#include "Orvane/AdapterMode.hpp"
#include "Orvane/IpType.hpp"
#include "Orvane/NetworkAdapter.hpp"
#include "Orvane/NetworkDelegate.hpp"

namespace Orvane {

// The network monitor as the application holds it.
class INetworkController : public Bexlan::IDataProvider {
 public:
  // The shown adapter; null when none is shown.
  virtual std::shared_ptr<NetworkAdapter> adapter() const = 0;
  // The delegate, held weakly: null once it is gone.
  virtual std::shared_ptr<NetworkDelegate> delegate() const = 0;
  virtual void setDelegate(const std::shared_ptr<NetworkDelegate>& delegate) = 0;
  // The value of autoDetect.
  virtual bool isAutoDetecting() const = 0;
  // Rate texts in bits per second instead of bytes per second, from the next refresh on.
  virtual bool useBits() const = 0;
  virtual void setUseBits(bool useBits) = 0;
  // Every known adapter, sorted by identifier.
  virtual std::vector<std::shared_ptr<NetworkAdapter>> adapters() const = 0;
  // Follow the system's primary interface. Setting either value also forgets the shown adapter, so the
  // next refresh that detects one tells the delegate.
  virtual bool autoDetect() const = 0;
  virtual void setAutoDetect(bool autoDetect) = 0;
  // Which interfaces the table keeps, from the next refresh on.
  virtual AdapterMode mode() const = 0;
  virtual void setMode(AdapterMode mode) = 0;
  // A refresh with an interval of 0: the rates are the raw byte differences.
  virtual void update() = 0;
  // Shows `adapter` (null: none), switches automatic detection off and tells the delegate.
  virtual void select(const std::shared_ptr<NetworkAdapter>& adapter) = 0;
  // A new adapter for the interface, with its kind, display name and addresses; not added to the table.
  virtual std::shared_ptr<NetworkAdapter> makeAdapter(const std::string& name) = 0;
  // The display name of the interface; absent when the system has none.
  virtual std::optional<std::string> displayName(const std::string& name) = 0;
  // The first address of that family of the interface; absent when it has none.
  virtual std::optional<std::string> address(const std::string& name, IpType type) = 0;
};

}  // namespace Orvane
