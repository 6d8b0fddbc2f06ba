#pragma once

#include <cstdint>
#include <optional>
#include <stdexcept>
#include <vector>

#include "Platform/Foundation/Number.hpp"

namespace Bexlan {

// An entry that keeps the recent samples of its number for graphs.
class HistoryProvider {
 public:
  virtual ~HistoryProvider() = default;

  // The number of samples the history is restarted with.
  virtual std::int64_t historySize() const = 0;
  // Restarts the history as `size` zeros. Throws std::invalid_argument when size is negative.
  virtual void setHistorySize(std::int64_t size) = 0;
  // A copy of the samples, oldest first.
  virtual std::vector<platform::Number> history() const = 0;
};

// An entry that keeps the smallest number it was given.
class MinValueProvider {
 public:
  virtual ~MinValueProvider() = default;

  virtual std::optional<platform::Number> min() const = 0;
};

// An entry that keeps the largest number it was given.
class MaxValueProvider {
 public:
  virtual ~MaxValueProvider() = default;

  virtual std::optional<platform::Number> max() const = 0;
};

}  // namespace Bexlan
