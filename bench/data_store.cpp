// The store's hot paths against the bare entry they wrap: a typed setter on a registered key (guarded
// lookup plus the entry's set) beside the entry's own set on the same keys, a read by key, and one
// container refresh of four providers with ten entries each (refresh, setters, merge).
#include <benchmark/benchmark.h>

#include <cstddef>
#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Bexlan/DataProviderContainer.hpp"
#include "Bexlan/DataStore.hpp"
#include "Bexlan/IDataProvider.hpp"
#include "Bexlan/NumberIdentifier.hpp"

namespace {

using Bexlan::DataStore;
using Bexlan::NumberIdentifier;

const std::vector<std::string>& keys() {
  static const std::vector<std::string> storeKeys = {
      "CPU_T", "CPU_S", "CPU_U", "TASKS", "THREADS", "M_A",    "M_C",      "M_I",
      "M_W",   "M_T",   "M_F",   "M_U",   "N_S_DL",  "N_S_UL", "diskRead", "diskWrite"};
  return storeKeys;
}

void BareNumberIdentifierSet(benchmark::State& state) {
  std::vector<std::shared_ptr<NumberIdentifier>> entries;
  for (const auto& key : keys()) entries.push_back(std::make_shared<NumberIdentifier>(key));
  std::size_t i = 0;
  double sample = 0;
  for (auto _ : state) {
    entries[i++ % entries.size()]->setDouble(sample);
    sample += 0.25;
  }
}
BENCHMARK(BareNumberIdentifierSet);

void StoreTypedSetterOnRegisteredKey(benchmark::State& state) {
  DataStore store;
  for (const auto& key : keys()) store.add(std::make_shared<NumberIdentifier>(key));
  std::size_t i = 0;
  double sample = 0;
  for (auto _ : state) {
    store.setDouble(keys()[i++ % keys().size()], sample);
    sample += 0.25;
  }
}
BENCHMARK(StoreTypedSetterOnRegisteredKey);

void StoreValueByKey(benchmark::State& state) {
  DataStore store;
  for (const auto& key : keys()) {
    store.add(std::make_shared<NumberIdentifier>(key));
    store.setDouble(key, 1.5);
  }
  std::size_t i = 0;
  for (auto _ : state) benchmark::DoNotOptimize(store.value(keys()[i++ % keys().size()]));
}
BENCHMARK(StoreValueByKey);

// A monitor with ten number entries that writes each of them on every refresh.
class TenEntryProvider final : public Bexlan::IDataProvider {
 public:
  explicit TenEntryProvider(int index) {
    for (int entry = 0; entry < 10; ++entry) {
      keys_.push_back("P" + std::to_string(index) + "_" + std::to_string(entry));
    }
    registerIdentifiers();
  }

  const std::shared_ptr<Bexlan::IDataStore>& store() const override { return store_; }
  std::int64_t historySize() const override { return store_->historySize(); }
  void setHistorySize(std::int64_t size) override { store_->setHistorySize(size); }
  void registerIdentifiers() override {
    for (const auto& key : keys_) store_->add(std::make_shared<NumberIdentifier>(key));
  }
  void refresh(double interval) override {
    for (const auto& key : keys_) store_->setDouble(key, sample_ += interval + 1);
  }
  std::optional<platform::Number> value(const std::string& key) const override { return store_->value(key); }
  std::string string(const std::string& key) const override { return store_->string(key); }

 private:
  std::shared_ptr<Bexlan::IDataStore> store_ = std::make_shared<DataStore>();
  std::vector<std::string> keys_;
  double sample_ = 0;
};

void ContainerRefreshOfFourProviders(benchmark::State& state) {
  const auto container = Bexlan::DataProviderContainer::create(std::nullopt);
  for (int index = 0; index < 4; ++index) container->add(std::make_shared<TenEntryProvider>(index));
  for (auto _ : state) container->refresh();
  benchmark::DoNotOptimize(container->doubleValue("P3_9"));
}
BENCHMARK(ContainerRefreshOfFourProviders);

}  // namespace
