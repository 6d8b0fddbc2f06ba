#include "Orvane/MemoryController.hpp"

#include <stdexcept>
#include <utility>

#include "Bexlan/NumberIdentifier.hpp"
#include "Bexlan/SymbolIcons.hpp"
#include "Orvane/Memory.hpp"
#include "Platform/Foundation/Bundle.hpp"
#include "Platform/Foundation/SaturatingCast.hpp"

namespace Orvane {

MemoryController::MemoryController() : MemoryController(platform::TextSource::live()) {}

MemoryController::MemoryController(std::shared_ptr<const platform::TextSource> source)
    : StoreBackedProvider(defaultHistorySize), source_(std::move(source)) {
  if (!source_) throw std::invalid_argument("MemoryController needs a text source");
  sample();
  registerIdentifiers();
}

void MemoryController::registerIdentifiers() {
  auto icon = Bexlan::SymbolIcons::symbol("memorychip");
  auto bundle = platform::Bundle::module("Orvane");
  for (const std::string* key : {&Memory::active(), &Memory::compressed(), &Memory::inactive(),
                                 &Memory::wired(), &Memory::used(), &Memory::free(), &Memory::usage()}) {
    store()->add(std::make_shared<Bexlan::NumberIdentifier>(
        *key, bundle->localizedString(*key, ""), Bexlan::IdentifierCategory::size, true, std::nullopt, icon));
  }
  store()->setDouble(Memory::usage(), 1.0);
  store()->setDouble(Memory::usage(), 0.0);
}

std::optional<platform::HostMemory> MemoryController::sample() {
  auto memory = platform::readHostMemory(*source_);
  if (memory) {
    physicalMemory_ = memory->physical;
  } else if (physicalMemory_ == 0) {
    physicalMemory_ = platform::sysinfoPhysicalMemory();
  }
  return memory;
}

MemoryStatistics MemoryController::statistics() {
  auto memory = sample();
  if (!memory) return MemoryStatistics();
  return MemoryStatistics(static_cast<double>(memory->free), static_cast<double>(memory->active),
                          static_cast<double>(memory->inactive), static_cast<double>(memory->wired),
                          static_cast<double>(memory->compressed));
}

void MemoryController::refresh(double) {
  MemoryStatistics statistics = this->statistics();
  store()->setDouble(Memory::active(), statistics.active());
  store()->setDouble(Memory::compressed(), statistics.compressed());
  store()->setDouble(Memory::inactive(), statistics.inactive());
  store()->setDouble(Memory::wired(), statistics.wired());
  std::uint64_t used = platform::saturatingCast<std::uint64_t>(statistics.active() + statistics.compressed() +
                                                               statistics.wired());
  std::uint64_t physical = physicalMemory_;
  // Without any physical memory known there is no share to give.
  store()->setDouble(Memory::usage(),
                     physical == 0 ? 0.0 : static_cast<double>(used) / static_cast<double>(physical));
  store()->setUInt64(Memory::free(), physical > used ? physical - used : 0);
  store()->setUInt64(Memory::used(), used);
}

}  // namespace Orvane
