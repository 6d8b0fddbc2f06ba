#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "Bexlan/IDataProvider.hpp"
#include "Bexlan/MulticastDelegate.hpp"
#include "Draskel/Volume.hpp"
#include "Draskel/VolumesDelegate.hpp"

namespace Draskel {

// The provider of mounted disk volumes as the application sees it: the volume list, what a refresh
// gathers, the listeners, and ejecting.
class IVolumesController : public Bexlan::IDataProvider {
 public:
  using Delegates = Bexlan::MulticastDelegate<VolumesDelegate>;
  using IDataProvider::refresh;

  // The known volumes, sorted by name after every refresh: a copy of the list, safe to keep.
  virtual std::vector<std::shared_ptr<Volume>> volumes() const = 0;
  virtual std::int64_t volumeCount() const = 0;

  // Whether a refresh reads the volumes' I/O counters.
  virtual bool gatherStatistics() const = 0;
  virtual void setGatherStatistics(bool gather) = 0;
  // Whether a refresh re-reads free and total space (once per storage interval).
  virtual bool gatherUsage() const = 0;
  virtual void setGatherUsage(bool gather) = 0;

  // The listeners. Setting replaces the whole set; throws std::invalid_argument for null.
  virtual std::shared_ptr<Delegates> delegates() const = 0;
  virtual void setDelegates(std::shared_ptr<Delegates> delegates) = 0;

  // Unmounts the volume on a thread of its own and returns at once; whatever volume it is given.
  virtual void eject(const std::shared_ptr<Volume>& volume) = 0;
  // Ejects every volume but the system and startup volumes, each on a thread of its own, from a pass on a
  // thread of its own; returns at once.
  virtual void ejectAll() = 0;
  // The same, leaving out the volumes whose BSD name equals one of `excludedBsdNames` exactly (letter case
  // counts).
  virtual void ejectAll(const std::vector<std::string>& excludedBsdNames) = 0;
  // A refresh out of turn: refresh(0), whose rates are the raw byte differences.
  virtual void refresh() = 0;
};

}  // namespace Draskel
