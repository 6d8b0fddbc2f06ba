// A monitor program built outside the tree: the processor total, memory used and the busiest processes.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "Bexlan/DataProviderContainer.hpp"
#include "Orvane/MemoryController.hpp"
#include "Orvane/ProcessorController.hpp"

int main() {
  auto container = Bexlan::DataProviderContainer::create(std::nullopt);
  auto processor = std::make_shared<Orvane::ProcessorController>();
  processor->setCollectProcessInformation(true);
  container->add(processor);
  container->add(std::make_shared<Orvane::MemoryController>());

  container->refresh();
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  container->refresh();

  std::printf("processor total: %s\n", container->string("CPU_T").c_str());
  std::printf("memory used: %s\n", container->string("M_T").c_str());
  auto processes = processor->processes();
  std::sort(processes.begin(), processes.end(),
            [](const auto& a, const auto& b) { return a->cpu().usage > b->cpu().usage; });
  processes.resize(std::min<std::size_t>(processes.size(), 3));
  for (const auto& process : processes) {
    std::printf("  %-16s %.1f %%\n", process->name().c_str(), static_cast<double>(process->cpu().usage));
  }
}
