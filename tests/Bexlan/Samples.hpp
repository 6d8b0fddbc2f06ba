#pragma once

#include <optional>
#include <vector>

#include "Platform/Foundation/Number.hpp"

namespace Bexlan {

// The samples of a history as doubles, oldest first; empty when there is no history.
inline std::vector<double> doubles(const std::optional<std::vector<platform::Number>>& samples) {
  std::vector<double> result;
  for (const auto& sample : samples.value_or(std::vector<platform::Number>{}))
    result.push_back(sample.doubleValue());
  return result;
}

}  // namespace Bexlan
