#pragma once

#include <memory>
#include <vector>

#include "Bexlan/IDataProvider.hpp"
#include "Orvane/OVProcess.hpp"
#include "Orvane/ProcessorCore.hpp"

namespace Orvane {

// The processor monitor as the application holds it: a provider with the process list and the cores.
class IProcessorController : public Bexlan::IDataProvider {
 public:
  // Whether each refresh collects the process list. Every set, even to the same value, empties the list
  // and forgets the previous collection.
  virtual bool collectProcessInformation() const = 0;
  virtual void setCollectProcessInformation(bool collect) = 0;
  // The processes of the last collection.
  virtual std::vector<std::shared_ptr<OVProcess>> processes() const = 0;
  // The processor cores of the last refresh.
  virtual const std::vector<std::shared_ptr<ProcessorCore>>& cores() const = 0;
  // Whether a process's share is divided by the number of online processors (100 is then all of them).
  virtual bool normalize() const = 0;
  virtual void setNormalize(bool normalize) = 0;
};

}  // namespace Orvane
