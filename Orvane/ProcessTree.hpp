#pragma once

#include <cstdint>
#include <memory>
#include <unordered_map>

#include "Orvane/OVProcess.hpp"

namespace Orvane {

// The processes of one collection by pid: the same records as the published list.
class ProcessTree {
 public:
  std::unordered_map<std::int32_t, std::shared_ptr<OVProcess>>& processes() { return processes_; }
  const std::unordered_map<std::int32_t, std::shared_ptr<OVProcess>>& processes() const { return processes_; }

 private:
  std::unordered_map<std::int32_t, std::shared_ptr<OVProcess>> processes_;
};

}  // namespace Orvane
