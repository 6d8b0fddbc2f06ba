#include <benchmark/benchmark.h>

#include <functional>
#include <memory>
#include <vector>

#include "Platform/Foundation/NotificationCenter.hpp"

namespace {

using platform::Notification;
using platform::NotificationCenter;
using platform::NotificationName;

struct Observer {
  int calls = 0;
};

// One post delivered to ten observers of its name, among observers of ten other names.
void postToTenObservers(benchmark::State& state) {
  NotificationCenter center;
  std::vector<std::shared_ptr<Observer>> observers;
  const auto count = [](void* observer, const Notification&) { ++static_cast<Observer*>(observer)->calls; };
  for (int i = 0; i < 20; ++i) {
    observers.push_back(std::make_shared<Observer>());
    center.addObserver(observers.back(), count,
                       NotificationName(i < 10 ? "RefreshIntervalChanged" : "Other" + std::to_string(i)));
  }
  const NotificationName name("RefreshIntervalChanged");
  for (auto _ : state) center.post(name);
  benchmark::DoNotOptimize(observers.front()->calls);
}
BENCHMARK(postToTenObservers);

// The floor a post cannot beat: the same ten calls straight from a list, without names, lock or weak
// references.
void tenDirectCalls(benchmark::State& state) {
  std::vector<std::shared_ptr<Observer>> observers;
  std::vector<std::function<void(void*, const Notification&)>> handlers;
  for (int i = 0; i < 10; ++i) {
    observers.push_back(std::make_shared<Observer>());
    handlers.emplace_back(
        [](void* observer, const Notification&) { ++static_cast<Observer*>(observer)->calls; });
  }
  const Notification notification{NotificationName("RefreshIntervalChanged"), nullptr};
  for (auto _ : state) {
    for (int i = 0; i < 10; ++i) handlers[i](observers[i].get(), notification);
  }
  benchmark::DoNotOptimize(observers.front()->calls);
}
BENCHMARK(tenDirectCalls);

}  // namespace
