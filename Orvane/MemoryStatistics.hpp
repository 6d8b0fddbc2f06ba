#pragma once

namespace Orvane {

// The machine's memory in bytes, as one host query gave it.
class MemoryStatistics {
 public:
  MemoryStatistics() = default;
  MemoryStatistics(double free, double active, double inactive, double wired, double compressed)
      : free_(free), active_(active), inactive_(inactive), wired_(wired), compressed_(compressed) {}

  double free() const { return free_; }
  double active() const { return active_; }
  double inactive() const { return inactive_; }
  double wired() const { return wired_; }
  double compressed() const { return compressed_; }

 private:
  double free_ = 0;
  double active_ = 0;
  double inactive_ = 0;
  double wired_ = 0;
  double compressed_ = 0;
};

}  // namespace Orvane
