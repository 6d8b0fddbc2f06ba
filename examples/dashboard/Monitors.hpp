#pragma once

#include <memory>

#include "Bexlan/DataProviderContainer.hpp"
#include "Draskel/VolumesController.hpp"
#include "Orvane/MemoryController.hpp"
#include "Orvane/NetworkController.hpp"
#include "Orvane/ProcessorController.hpp"

namespace dashboard {

// The container and the four monitors it refreshes, wired as the dashboard application wires them: the
// processor monitor with process collection and normalisation on, then memory, network and volumes, added
// in that order.
struct Monitors {
  std::shared_ptr<Bexlan::DataProviderContainer> container;
  std::shared_ptr<Orvane::ProcessorController> processor;
  std::shared_ptr<Orvane::MemoryController> memory;
  std::shared_ptr<Orvane::NetworkController> network;
  std::shared_ptr<Draskel::VolumesController> volumes;

  // Creates the container with `interval` (its timer runs from now on) and adds the monitors.
  static Monitors create(double interval, bool rateInBits);
};

}  // namespace dashboard
