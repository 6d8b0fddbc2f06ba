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

  // Creates the container, adds the monitors and takes a first reading of every monitor before the
  // container's timer starts with `interval`, so that each refresh of the timer gives the load over its own
  // interval: the processor's first reading is its average since boot, and the network and disk rates have
  // no earlier counters to compare with. That reading writes one sample to every history, older than any
  // refresh of the timer; no delegate hears of it.
  static Monitors create(double interval, bool rateInBits);
};

}  // namespace dashboard
