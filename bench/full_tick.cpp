// One refresh of the whole suite (processor with process collection, memory, network, volumes) against the
// floor of reading the kernel files it samples once each.
#include <benchmark/benchmark.h>

#include <cctype>
#include <string>

#include "Bexlan/DataProviderContainer.hpp"
#include "Draskel/VolumesController.hpp"
#include "Orvane/MemoryController.hpp"
#include "Orvane/NetworkController.hpp"
#include "Orvane/ProcessorController.hpp"
#include "Platform/System/TextSource.hpp"

namespace {

void FloorReadKernelFilesOnce(benchmark::State& state) {
  const auto& source = *platform::TextSource::live();
  for (auto _ : state) {
    std::size_t bytes = 0;
    for (const char* path : {"/proc/stat", "/proc/meminfo", "/proc/net/dev", "/proc/diskstats"}) {
      bytes += source.read(path).value_or("").size();
    }
    for (const auto& name : source.list("/proc").value_or(std::vector<std::string>{})) {
      if (name.empty() || !std::isdigit(static_cast<unsigned char>(name.front()))) continue;
      bytes += source.read("/proc/" + name + "/stat").value_or("").size();
    }
    benchmark::DoNotOptimize(bytes);
  }
}
BENCHMARK(FloorReadKernelFilesOnce)->Unit(benchmark::kMicrosecond);

void FullTickOfFourProviders(benchmark::State& state) {
  auto container = Bexlan::DataProviderContainer::create(std::nullopt);
  auto processor = std::make_shared<Orvane::ProcessorController>();
  processor->setCollectProcessInformation(true);
  processor->setNormalize(true);
  container->add(processor);
  container->add(std::make_shared<Orvane::MemoryController>());
  container->add(std::make_shared<Orvane::NetworkController>());
  container->add(Draskel::VolumesController::create());
  container->refresh();
  for (auto _ : state) {
    container->refresh();
  }
  container->stop();
}
BENCHMARK(FullTickOfFourProviders)->Unit(benchmark::kMicrosecond);

}  // namespace
