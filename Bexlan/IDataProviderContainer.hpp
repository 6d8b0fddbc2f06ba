#pragma once

#include <cstdint>
#include <memory>
#include <optional>

#include "Bexlan/DataProviderContainerDelegate.hpp"
#include "Bexlan/IDataProvider.hpp"
#include "Bexlan/IDataStore.hpp"
#include "Bexlan/InfoProvider.hpp"

namespace Bexlan {

// Owns a list of providers and one store of its own: each refresh refreshes every provider in the order
// added, merges its store into the container's right after, and then tells the delegate. Reads by key go
// to the container's store.
class IDataProviderContainer : public InfoProvider {
 public:
  // The store that merges go into and reads come from.
  virtual const std::shared_ptr<IDataStore>& store() const = 0;

  virtual std::int64_t historySize() const = 0;
  // Keeps size and sets it on every provider in the list now. Throws std::invalid_argument when size is
  // negative.
  virtual void setHistorySize(std::int64_t size) = 0;

  // Seconds between refreshes; absent means no timer (refreshes only when asked).
  virtual std::optional<double> interval() const = 0;
  // Keeps interval and restarts the timer, also when the value is unchanged. Throws std::invalid_argument
  // for an interval that is not a positive finite number.
  virtual void setInterval(std::optional<double> interval) = 0;

  // The delegate, held weakly: null once it has been released.
  virtual std::shared_ptr<DataProviderContainerDelegate> delegate() const = 0;
  virtual void setDelegate(std::weak_ptr<DataProviderContainerDelegate> delegate) = 0;

  // One refresh of every provider, then the delegate call.
  virtual void refresh() = 0;
  // Appends provider to the list; the same provider may be added twice. Throws std::invalid_argument for a
  // null provider.
  virtual void add(std::shared_ptr<IDataProvider> provider) = 0;
  // Removes every occurrence of this provider object; the others keep their order.
  virtual void remove(const std::shared_ptr<IDataProvider>& provider) = 0;
  // Stops the timer, empties the store of every provider and forgets the providers. The container's store
  // keeps what was merged into it.
  virtual void stop() = 0;
  // Starts the timer when there is none; a running timer is left alone.
  virtual void start() = 0;
};

}  // namespace Bexlan
