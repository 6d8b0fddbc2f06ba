#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "Bexlan/IDataStore.hpp"
#include "Bexlan/InfoProvider.hpp"
#include "Orvane/IMemoryController.hpp"
#include "Platform/System/HostMemory.hpp"
#include "Platform/System/TextSource.hpp"

namespace Orvane {

// The memory monitor. On every refresh it reads the machine's memory (platform::HostMemory says where each
// figure comes from on Linux) and writes seven numbers into its store: "M_A", "M_C", "M_I", "M_W" as
// doubles, "M_T" (active + compressed + wired, truncated to whole bytes) and "M_F" (physical memory minus
// "M_T", 0 when "M_T" exceeds it) as unsigned 64-bit integers, and "M_U" ("M_T" / physical memory) as a
// double. The elapsed time is not used.
//
// When the memory cannot be read, the statistics are all 0: "M_F" then holds the whole physical memory,
// which is the last one read (from sysinfo(2) when /proc/meminfo never could be), and "M_U" is 0. Use it
// from one thread.
class MemoryController final : public IMemoryController, public Bexlan::TypedValueLookups<MemoryController> {
 public:
  static constexpr std::int64_t defaultHistorySize = 60;

  // A monitor of the live system.
  MemoryController();
  // A monitor that reads /proc and /sys through `source`. Throws std::invalid_argument for a null source.
  explicit MemoryController(std::shared_ptr<const platform::TextSource> source);
  MemoryController(const MemoryController&) = delete;
  MemoryController& operator=(const MemoryController&) = delete;

  // IDataProvider
  const std::shared_ptr<Bexlan::IDataStore>& store() const override { return store_; }
  // Replaces the store that later refreshes write to. Throws std::invalid_argument for a null store.
  void setStore(std::shared_ptr<Bexlan::IDataStore> store);
  std::int64_t historySize() const override { return historySize_; }
  // Keeps size and passes it on to the store. Throws std::invalid_argument when size is negative, before
  // anything changes.
  void setHistorySize(std::int64_t size) override;
  // Adds the seven entries (byte sizes, signed, no decimals, the "memorychip" symbol), then writes 1.0 and
  // 0.0 to "M_U", so that it starts at 0 with a maximum of 1. Called by the constructor.
  void registerIdentifiers() override;
  void refresh(double interval) override;

  // IMemoryController
  MemoryStatistics statistics() override;

  // InfoProvider: the store's lookups.
  std::optional<platform::Number> value(const std::string& key) const override { return store_->value(key); }
  std::string string(const std::string& key) const override { return store_->string(key); }

  // The physical memory of the last successful read (sysinfo's before any), in bytes.
  std::uint64_t physicalMemory() const { return physicalMemory_; }

 private:
  // One read of the machine's memory; keeps its physical memory when it succeeds, else takes sysinfo's
  // while none is known.
  std::optional<platform::HostMemory> sample();

  std::shared_ptr<const platform::TextSource> source_;
  std::shared_ptr<Bexlan::IDataStore> store_;
  std::int64_t historySize_ = defaultHistorySize;
  std::uint64_t physicalMemory_ = 0;
};

}  // namespace Orvane
