#pragma once

#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>
#include <stdexcept>
#include <string>
#include <utility>

#include "Bexlan/DataStore.hpp"
#include "Bexlan/IDataProvider.hpp"
#include "Bexlan/IDataStore.hpp"
#include "Platform/Foundation/Number.hpp"

namespace Bexlan {

// The part every monitor shares, under its own provider interface `Provider`: the store it writes, the
// lookups answered from that store, and a history size passed on to the store. It starts with a new, empty
// DataStore (history size 60) whatever history size the monitor starts with.
template <std::derived_from<IDataProvider> Provider>
class StoreBackedProvider : public Provider {
 public:
  const std::shared_ptr<IDataStore>& store() const final { return store_; }
  // Replaces the store that later refreshes write to; it keeps its own history size. Throws
  // std::invalid_argument for a null store.
  void setStore(std::shared_ptr<IDataStore> store) {
    if (!store) throw std::invalid_argument("a provider needs a store");
    store_ = std::move(store);
  }

  std::int64_t historySize() const final { return historySize_; }
  // Keeps size, resizes the monitor's own histories, then the store's. Throws std::invalid_argument when
  // size is negative, before anything changes.
  void setHistorySize(std::int64_t size) final {
    if (size < 0) throw std::invalid_argument("history size must not be negative");
    historySize_ = size;
    resizeHistories(size);
    store_->setHistorySize(size);
  }

  // InfoProvider: the store's lookups.
  std::optional<platform::Number> value(const std::string& key) const final { return store_->value(key); }
  std::string string(const std::string& key) const final { return store_->string(key); }

 protected:
  explicit StoreBackedProvider(std::int64_t historySize)
      : store_(std::make_shared<DataStore>()), historySize_(historySize) {}
  ~StoreBackedProvider() override = default;

  // Called by setHistorySize with a size that passed its check: a monitor that keeps histories outside
  // its store resizes them here. Does nothing by default.
  virtual void resizeHistories(std::int64_t /*size*/) {}

 private:
  std::shared_ptr<IDataStore> store_;
  std::int64_t historySize_;
};

}  // namespace Bexlan
