// The guarded dictionary against the bare hash map it wraps, on the store's typical keys.
#include "Bexlan/BXDictionary.hpp"

#include <benchmark/benchmark.h>

#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

namespace {

const std::vector<std::string>& keys() {
  static const std::vector<std::string> storeKeys = {
      "CPU_T", "CPU_S", "CPU_U", "TASKS", "THREADS", "M_A",    "M_C",      "M_I",
      "M_W",   "M_T",   "M_F",   "M_U",   "N_S_DL",  "N_S_UL", "diskRead", "diskWrite"};
  return storeKeys;
}

std::unordered_map<std::string, std::shared_ptr<double>> filledMap() {
  std::unordered_map<std::string, std::shared_ptr<double>> map;
  for (const auto& key : keys()) map.emplace(key, std::make_shared<double>(1.0));
  return map;
}

void BareHashMapLookup(benchmark::State& state) {
  auto map = filledMap();
  size_t i = 0;
  for (auto _ : state) {
    auto found = map.find(keys()[i++ % keys().size()]);
    std::shared_ptr<double> entry = found == map.end() ? nullptr : found->second;
    benchmark::DoNotOptimize(entry);
  }
}
BENCHMARK(BareHashMapLookup);

void GuardedDictionaryRead(benchmark::State& state) {
  Bexlan::BXDictionary<std::string, std::shared_ptr<double>> dictionary(filledMap());
  size_t i = 0;
  for (auto _ : state) {
    auto entry = dictionary.get(keys()[i++ % keys().size()]);
    benchmark::DoNotOptimize(entry);
  }
}
BENCHMARK(GuardedDictionaryRead);

void GuardedDictionaryIdleWrite(benchmark::State& state) {
  Bexlan::BXDictionary<std::string, std::shared_ptr<double>> dictionary(filledMap());
  auto value = std::make_shared<double>(2.0);
  size_t i = 0;
  for (auto _ : state) {
    dictionary.set(keys()[i++ % keys().size()], value);
  }
}
BENCHMARK(GuardedDictionaryIdleWrite);

}  // namespace
