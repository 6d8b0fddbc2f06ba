#include "examples/dashboard/Monitors.hpp"

namespace dashboard {

Monitors Monitors::create(double interval, bool rateInBits) {
  Monitors monitors;
  monitors.container = Bexlan::DataProviderContainer::create(std::nullopt);
  monitors.processor = std::make_shared<Orvane::ProcessorController>();
  monitors.processor->setCollectProcessInformation(true);
  monitors.processor->setNormalize(true);
  monitors.memory = std::make_shared<Orvane::MemoryController>();
  monitors.network = std::make_shared<Orvane::NetworkController>();
  monitors.network->setUseBits(rateInBits);
  monitors.volumes = Draskel::VolumesController::create();
  monitors.container->add(monitors.processor);
  monitors.container->add(monitors.memory);
  monitors.container->add(monitors.network);
  monitors.container->add(monitors.volumes);
  monitors.container->refresh();
  monitors.container->setInterval(interval);
  return monitors;
}

}  // namespace dashboard
