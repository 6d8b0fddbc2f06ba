#include <benchmark/benchmark.h>

#include "Platform/Dispatch/DispatchQueue.hpp"
#include "Platform/Dispatch/DispatchSemaphore.hpp"

using platform::DispatchQueue;

namespace {

// One wait and one signal on a semaphore that always has a unit: the atomic fast path only.
void semaphoreWaitAndSignal(benchmark::State& state) {
  platform::DispatchSemaphore semaphore(1);
  for (auto _ : state) {
    semaphore.wait();
    semaphore.signal();
  }
}
BENCHMARK(semaphoreWaitAndSignal);

// A barrier write to a concurrent queue that nothing else uses: it runs inline.
void idleBarrierWriteRunsInline(benchmark::State& state) {
  const auto queue = DispatchQueue::create("bench.write", DispatchQueue::Kind::concurrent);
  long value = 0;
  for (auto _ : state) {
    queue->asyncBarrier([&value] { ++value; }, true);
  }
  benchmark::DoNotOptimize(value);
}
BENCHMARK(idleBarrierWriteRunsInline);

// A synchronous read on a concurrent queue that nothing else uses: the shared lock, inline.
void uncontendedSyncRead(benchmark::State& state) {
  const auto queue = DispatchQueue::create("bench.read", DispatchQueue::Kind::concurrent);
  long value = 42;
  for (auto _ : state) {
    benchmark::DoNotOptimize(queue->sync([&value] { return value; }));
  }
}
BENCHMARK(uncontendedSyncRead);

}  // namespace
