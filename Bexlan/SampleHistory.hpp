#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "Platform/Foundation/Number.hpp"

namespace Bexlan {

// The recent samples of an entry, oldest first, kept in a ring over storage that is sized when the
// history restarts: shifting a sample in neither allocates nor moves the others. Not thread-safe.
class SampleHistory {
 public:
  // `length` samples holding the integer 0.
  explicit SampleHistory(std::size_t length);

  // Discards the samples and holds `length` zeros.
  void restart(std::size_t length);
  // Holds exactly `samples`, whatever their count.
  void assign(std::vector<platform::Number> samples);
  // Removes the oldest sample when there is one, then appends `sample` as a double when one is given. A
  // present sample keeps the length of a non-empty history and makes an empty one a history of one
  // sample; an absent one shortens it by one.
  void shift(std::optional<double> sample);

  std::size_t count() const { return count_; }
  // A copy of the samples, oldest first.
  std::vector<platform::Number> samples() const;

 private:
  std::vector<platform::Number> slots_;
  std::size_t first_ = 0;  // the slot of the oldest sample
  std::size_t count_ = 0;  // samples held, at most slots_.size()
};

// Makes `sample` the minimum when there is none yet or it is smaller. A NaN is never recorded, so a NaN
// sample cannot freeze the minimum.
void recordMinimum(std::optional<platform::Number>& minimum, double sample);
// Makes `sample` the maximum when there is none yet or it is larger; a NaN is never recorded.
void recordMaximum(std::optional<platform::Number>& maximum, double sample);

}  // namespace Bexlan
