#pragma once

#include "Bexlan/IDataProvider.hpp"
#include "Orvane/MemoryStatistics.hpp"

namespace Orvane {

// The memory monitor as the application holds it: a provider that also hands out its raw statistics.
class IMemoryController : public Bexlan::IDataProvider {
 public:
  // One host query: the machine's memory now, all 0 when it cannot be read.
  virtual MemoryStatistics statistics() = 0;
};

}  // namespace Orvane
