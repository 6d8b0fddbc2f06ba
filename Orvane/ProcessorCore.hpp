#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "Platform/Foundation/Number.hpp"

namespace Orvane {

class ProcessorController;

// One processor of the machine with its load share of the last refresh interval. The processor monitor
// makes a new list of new records on every refresh; a record never changes after that refresh. Two
// records are equal only when they are the same record (equal ids).
class ProcessorCore {
 public:
  // A record with a fresh random id, usage 0.0 (a double), cpuId 0, no frequencies and no core kind.
  ProcessorCore();

  // An upper-case UUID text.
  const std::string& id() const { return id_; }
  // The busy share of the last interval, 0 to 1 (single precision); NaN when the processor counted no
  // tick in the interval.
  const platform::Number& usage() const { return usage_; }
  // The position of the processor among the online processors, from 0.
  std::int64_t cpuId() const { return cpuId_; }
  // The processor's highest clock in Hz (64 bits: clocks above 4.29 GHz do not fit 32), when known.
  const std::optional<platform::Number>& clockFrequency() const { return clockFrequency_; }
  // Linux tells neither a bus nor a timebase frequency: always absent.
  const std::optional<platform::Number>& busFrequency() const { return busFrequency_; }
  const std::optional<platform::Number>& timebaseFrequency() const { return timebaseFrequency_; }
  // True for a performance ("firestorm") or efficiency ("icestorm") core of an Apple processor, as the
  // device tree names it; never false, absent otherwise.
  std::optional<bool> isFirestorm() const { return isFirestorm_; }
  std::optional<bool> isIcestorm() const { return isIcestorm_; }
  // Whether the machine is a 64-bit Arm one.
  bool isAppleSilicon() const { return isAppleSilicon_; }

  friend bool operator==(const ProcessorCore& a, const ProcessorCore& b) { return a.id_ == b.id_; }

 private:
  friend class ProcessorController;

  std::string id_;
  platform::Number usage_ = platform::Number::of(0.0);
  std::int64_t cpuId_ = 0;
  std::optional<platform::Number> clockFrequency_;
  std::optional<platform::Number> busFrequency_;
  std::optional<platform::Number> timebaseFrequency_;
  std::optional<bool> isFirestorm_;
  std::optional<bool> isIcestorm_;
  bool isAppleSilicon_ = false;
};

}  // namespace Orvane
