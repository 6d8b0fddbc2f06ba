#pragma once

#include <cstdint>
#include <memory>

#include "Bexlan/IDataStore.hpp"
#include "Bexlan/InfoProvider.hpp"

namespace Bexlan {

// A monitor that owns a data store and, when asked to refresh, samples its source and writes the new
// values into that store. Providers are held through std::shared_ptr.
class IDataProvider : public InfoProvider {
 public:
  // The provider's own store, the same object on every call.
  virtual const std::shared_ptr<IDataStore>& store() const = 0;
  virtual std::int64_t historySize() const = 0;
  // Keeps size and passes it on to the provider's store, which restarts its entries' histories.
  virtual void setHistorySize(std::int64_t size) = 0;
  // Creates the provider's entries and adds them to its store. Called once by the provider itself when it
  // is made (after construction: a base constructor cannot dispatch to it).
  virtual void registerIdentifiers() = 0;
  // Samples and writes the new values into the store. interval is the seconds since the container's
  // previous refresh.
  virtual void refresh(double interval) = 0;
};

}  // namespace Bexlan
