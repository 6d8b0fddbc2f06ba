#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <vector>

#include "Bexlan/IDataProviderContainer.hpp"
#include "Bexlan/InfoProvider.hpp"
#include "Platform/Dispatch/Timer.hpp"

namespace Bexlan {

// The provider container, driven by one repeating timer on the main run loop (in the common modes). Each
// provider is handed the seconds since the end of the previous refresh, delegate call included (or since the
// timer was last started, or since creation): a 200 ms refresh in a 1 s timer gives the next one about 0.8 s.
// Elapsed times are monotonic and count suspend, so a step of the wall clock never makes them negative or
// huge; lastRefresh reports the wall-clock time of the same moment.
//
// The scheduled timer holds the container, so a running container stays alive until its timer is
// invalidated (stop, an absent interval, or a new timer replacing it). Use a container from the main
// thread only; its stores are thread-safe.
class DataProviderContainer final : public IDataProviderContainer,
                                    public TypedValueLookups<DataProviderContainer>,
                                    public std::enable_shared_from_this<DataProviderContainer> {
 public:
  using ProviderList = std::vector<std::shared_ptr<IDataProvider>>;
  static constexpr std::int64_t defaultHistorySize = 60;

  // A container with a new empty store and no providers. With an interval its timer runs from now on;
  // without one it refreshes only when asked. Throws std::invalid_argument for an interval that is not a
  // positive finite number.
  static std::shared_ptr<DataProviderContainer> create(std::optional<double> interval);
  ~DataProviderContainer() override;
  DataProviderContainer(const DataProviderContainer&) = delete;
  DataProviderContainer& operator=(const DataProviderContainer&) = delete;

  // The providers, in the order added.
  const ProviderList& providers() const { return *providers_; }
  // The repeating timer; null when there is none.
  const std::shared_ptr<platform::Timer>& timer() const { return timer_; }
  // Wall-clock seconds since 1970 of the end of the last refresh or of the last timer start.
  double lastRefresh() const { return lastRefresh_; }

  const std::shared_ptr<IDataStore>& store() const override { return store_; }
  // Replaces the store that later merges and reads use. Throws std::invalid_argument for a null store.
  void setStore(std::shared_ptr<IDataStore> store);

  std::int64_t historySize() const override { return historySize_; }
  void setHistorySize(std::int64_t size) override;

  std::optional<double> interval() const override { return interval_; }
  void setInterval(std::optional<double> interval) override;

  std::shared_ptr<DataProviderContainerDelegate> delegate() const override { return delegate_.lock(); }
  void setDelegate(std::weak_ptr<DataProviderContainerDelegate> delegate) override {
    delegate_ = std::move(delegate);
  }

  void refresh() override;
  void add(std::shared_ptr<IDataProvider> provider) override;
  void remove(const std::shared_ptr<IDataProvider>& provider) override;
  void stop() override;
  void start() override;
  // Invalidates the timer and, when there is an interval, takes the time anew and schedules a new timer.
  void restartTimer();

  // The store's number of the key: a number entry's current number, else a text entry's raw number.
  std::optional<platform::Number> value(const std::string& key) const override { return store_->value(key); }
  // The store's display text of the key, "-" when it has none.
  std::string string(const std::string& key) const override { return store_->string(key); }

 private:
  explicit DataProviderContainer(std::optional<double> interval);
  void invalidateTimer();
  void takeRefreshTime();

  // Replaced, never changed in place, so a refresh walks the list it started with without copying it.
  std::shared_ptr<const ProviderList> providers_;
  std::shared_ptr<platform::Timer> timer_;
  double lastRefresh_ = 0;
  double lastRefreshMonotonic_ = 0;
  std::optional<double> interval_;
  std::int64_t historySize_ = defaultHistorySize;
  std::shared_ptr<IDataStore> store_;
  std::weak_ptr<DataProviderContainerDelegate> delegate_;
};

}  // namespace Bexlan
