#include "Bexlan/DataProviderContainer.hpp"

#include <cmath>
#include <stdexcept>
#include <string>
#include <utility>

#include "Bexlan/DataStore.hpp"
#include "Platform/Dispatch/RunLoop.hpp"
#include "Platform/Foundation/Clock.hpp"

namespace Bexlan {

namespace {

std::optional<double> checkedInterval(std::optional<double> interval) {
  if (interval && !(std::isfinite(*interval) && *interval > 0)) {
    throw std::invalid_argument("DataProviderContainer: the interval must be positive and finite, got " +
                                std::to_string(*interval));
  }
  return interval;
}

}  // namespace

std::shared_ptr<DataProviderContainer> DataProviderContainer::create(std::optional<double> interval) {
  std::shared_ptr<DataProviderContainer> container(new DataProviderContainer(checkedInterval(interval)));
  // The timer's action holds the container, so the timer can only be made once a shared owner exists.
  container->restartTimer();
  return container;
}

DataProviderContainer::DataProviderContainer(std::optional<double> interval)
    : providers_(std::make_shared<const ProviderList>()),
      interval_(interval),
      store_(std::make_shared<DataStore>()) {
  takeRefreshTime();
}

DataProviderContainer::~DataProviderContainer() { invalidateTimer(); }

void DataProviderContainer::setStore(std::shared_ptr<IDataStore> store) {
  if (!store) {
    throw std::invalid_argument("DataProviderContainer: the store must not be null");
  }
  store_ = std::move(store);
}

void DataProviderContainer::setHistorySize(std::int64_t size) {
  if (size < 0) {
    throw std::invalid_argument("DataProviderContainer: historySize must not be negative, got " +
                                std::to_string(size));
  }
  historySize_ = size;
  for (const auto& provider : *providers_) provider->setHistorySize(size);
}

void DataProviderContainer::setInterval(std::optional<double> interval) {
  interval_ = checkedInterval(interval);
  restartTimer();
}

void DataProviderContainer::refresh() {
  const double elapsed = platform::Clock::monotonicNow() - lastRefreshMonotonic_;
  // Providers added or removed during this refresh take part from the next one on.
  const auto providers = providers_;
  for (const auto& provider : *providers) {
    provider->refresh(elapsed);
    store_->merge(*provider->store());
  }
  if (const auto delegate = delegate_.lock()) delegate->containerDidRefresh(elapsed);
  takeRefreshTime();
}

void DataProviderContainer::add(std::shared_ptr<IDataProvider> provider) {
  if (!provider) {
    throw std::invalid_argument("DataProviderContainer: cannot add a null provider");
  }
  auto providers = std::make_shared<ProviderList>(*providers_);
  providers->push_back(std::move(provider));
  providers_ = std::move(providers);
}

void DataProviderContainer::remove(const std::shared_ptr<IDataProvider>& provider) {
  auto providers = std::make_shared<ProviderList>(*providers_);
  if (std::erase(*providers, provider) > 0) providers_ = std::move(providers);
}

void DataProviderContainer::stop() {
  invalidateTimer();
  const auto providers = std::exchange(providers_, std::make_shared<const ProviderList>());
  for (const auto& provider : *providers) provider->store()->removeAll();
}

void DataProviderContainer::start() {
  if (!timer_) restartTimer();
}

void DataProviderContainer::restartTimer() {
  invalidateTimer();
  if (!interval_) return;
  takeRefreshTime();
  timer_ = platform::Timer::make(*interval_, true,
                                 [self = shared_from_this()](platform::Timer&) { self->refresh(); });
  platform::RunLoop::main().add(timer_, platform::RunLoop::Mode::common);
}

void DataProviderContainer::invalidateTimer() {
  // Invalidating releases the timer's action and with it the action's hold on this container.
  if (const auto timer = std::exchange(timer_, nullptr)) timer->invalidate();
}

void DataProviderContainer::takeRefreshTime() {
  lastRefresh_ = platform::Clock::wallNow();
  lastRefreshMonotonic_ = platform::Clock::monotonicNow();
}

}  // namespace Bexlan
