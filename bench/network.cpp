#include <benchmark/benchmark.h>

#include "Orvane/ConnectionsController.hpp"
#include "Orvane/NetworkController.hpp"
#include "Platform/System/InterfaceList.hpp"
#include "Platform/System/LinkTable.hpp"
#include "Platform/System/RouteTable.hpp"

namespace {

// One tick of the network monitor on this machine's interfaces: table, primary interface, counters of
// every adapter, Wi-Fi facts and the two rate texts.
void NetworkControllerRefresh(benchmark::State& state) {
  auto controller = std::make_shared<Orvane::NetworkController>();
  controller->refresh(0);
  for (auto _ : state) controller->refresh(1.0);
  state.counters["adapters"] = static_cast<double>(controller->adapters().size());
}
BENCHMARK(NetworkControllerRefresh)->Unit(benchmark::kMicrosecond);

// The sources one refresh reads, each on its own: the floor under the refresh.
void InterfaceListRead(benchmark::State& state) {
  for (auto _ : state) benchmark::DoNotOptimize(platform::InterfaceList::live()->entries());
}
BENCHMARK(InterfaceListRead)->Unit(benchmark::kMicrosecond);

void SystemInterfacesRead(benchmark::State& state) {
  auto system = platform::NetworkPlatform::live();
  for (auto _ : state) benchmark::DoNotOptimize(system->systemInterfaces(false));
}
BENCHMARK(SystemInterfacesRead)->Unit(benchmark::kMicrosecond);

void SystemInterfacesWithKindsRead(benchmark::State& state) {
  auto system = platform::NetworkPlatform::live();
  for (auto _ : state) benchmark::DoNotOptimize(system->systemInterfaces(true));
}
BENCHMARK(SystemInterfacesWithKindsRead)->Unit(benchmark::kMicrosecond);

void PrimaryInterfaceRead(benchmark::State& state) {
  for (auto _ : state)
    benchmark::DoNotOptimize(platform::readPrimaryInterface(*platform::TextSource::live()));
}
BENCHMARK(PrimaryInterfaceRead)->Unit(benchmark::kMicrosecond);

void WirelessInterfacesRead(benchmark::State& state) {
  auto system = platform::NetworkPlatform::live();
  for (auto _ : state) benchmark::DoNotOptimize(system->wirelessInterfaces());
}
BENCHMARK(WirelessInterfacesRead)->Unit(benchmark::kMicrosecond);

// Counting the machine's connections from the four socket tables.
void ConnectionCount(benchmark::State& state) {
  Orvane::ConnectionsController controller;
  for (auto _ : state) benchmark::DoNotOptimize(controller.connectionCount());
}
BENCHMARK(ConnectionCount)->Unit(benchmark::kMicrosecond);

}  // namespace
