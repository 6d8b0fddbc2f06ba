#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Bexlan/InfoProvider.hpp"
#include "Bexlan/StoreBackedProvider.hpp"
#include "Orvane/IMemoryController.hpp"
#include "Platform/System/HostMemory.hpp"
#include "Platform/System/TextSource.hpp"

namespace Orvane {

// The memory monitor: a refresh writes the machine's memory into the store, in bytes: "M_A" (active),
// "M_C" (compressed), "M_I" (inactive) and "M_W" (wired) as doubles; "M_T" (used: active + compressed +
// wired) and "M_F" (physical memory less used, never below 0) as unsigned 64-bit integers; and "M_U" (used
// / physical memory) as a double. platform::HostMemory says where each figure comes from on Linux.
//
// When the memory cannot be read the statistics are all 0, so "M_F" holds the whole physical memory last
// known (sysinfo(2)'s if /proc/meminfo never could be read) and "M_U" is 0. Use it from one thread.
class MemoryController final : public Bexlan::StoreBackedProvider<IMemoryController>,
                               public Bexlan::TypedValueLookups<MemoryController> {
 public:
  static constexpr std::int64_t defaultHistorySize = 60;

  // A monitor of the live system.
  MemoryController();
  // A monitor that reads /proc and /sys through `source`. Throws std::invalid_argument for a null source.
  explicit MemoryController(std::shared_ptr<const platform::TextSource> source);
  MemoryController(const MemoryController&) = delete;
  MemoryController& operator=(const MemoryController&) = delete;

  // IDataProvider
  // Adds the seven entries (byte sizes, signed, no decimals, the "memorychip" symbol), then writes 1.0 and
  // 0.0 to "M_U", so that it starts at 0 with a maximum of 1. Called by the constructor.
  void registerIdentifiers() override;
  void refresh(double interval) override;

  // IMemoryController
  MemoryStatistics statistics() override;

  // The physical memory of the last successful read (sysinfo's before any), in bytes.
  std::uint64_t physicalMemory() const { return physicalMemory_; }

 private:
  // One read of the machine's memory; keeps its physical memory when it succeeds, else takes sysinfo's
  // while none is known.
  std::optional<platform::HostMemory> sample();

  std::shared_ptr<const platform::TextSource> source_;
  std::uint64_t physicalMemory_ = 0;
};

}  // namespace Orvane
