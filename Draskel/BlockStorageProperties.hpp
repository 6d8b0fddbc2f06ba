#pragma once

#include "Draskel/PropertyValue.hpp"
#include "Platform/System/BlockDevice.hpp"
#include "Platform/System/BlockDeviceStat.hpp"

// The property dictionaries of a Linux disk, under the keys that VolumeStatistics and
// VolumeCharacteristics look up.
namespace Draskel::BlockStorageProperties {

// The statistics of a disk from its block-layer counters: bytes (sectors of 512 bytes), completed
// operations and total times (milliseconds, given in nanoseconds) in each direction. Linux counts no
// latency, errors or retries, so those keys are left out (they read as 0).
PropertyDictionary statistics(const platform::BlockDeviceStat& stat);

// The characteristics of a disk: its model as the product name, vendor, serial number, revision and
// medium type ("Solid State" or "Rotational"); a key is there only when the fact is known.
PropertyDictionary characteristics(const platform::BlockDevice& device);

}  // namespace Draskel::BlockStorageProperties
