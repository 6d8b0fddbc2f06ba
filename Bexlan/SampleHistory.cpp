#include "Bexlan/SampleHistory.hpp"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <utility>

namespace Bexlan {

SampleHistory::SampleHistory(std::size_t length) { restart(length); }

void SampleHistory::restart(std::size_t length) {
  slots_.assign(length, platform::Number::of(std::int64_t{0}));
  first_ = 0;
  count_ = length;
}

void SampleHistory::assign(std::vector<platform::Number> samples) {
  slots_ = std::move(samples);
  first_ = 0;
  count_ = slots_.size();
}

void SampleHistory::shift(std::optional<double> sample) {
  if (count_ > 0) {
    first_ = first_ + 1 == slots_.size() ? 0 : first_ + 1;
    --count_;
  }
  if (!sample) {
    return;
  }
  if (slots_.empty()) {
    // A history restarted with no samples grows its one slot on the first sample, and keeps it.
    slots_.push_back(platform::Number::of(std::int64_t{0}));
    first_ = 0;
  }
  const std::size_t end = first_ + count_;
  slots_[end < slots_.size() ? end : end - slots_.size()] = platform::Number::of(*sample);
  ++count_;
}

std::vector<platform::Number> SampleHistory::samples() const {
  std::vector<platform::Number> result;
  result.reserve(count_);
  const std::size_t tail = std::min(count_, slots_.size() - first_);
  result.insert(result.end(), slots_.begin() + static_cast<std::ptrdiff_t>(first_),
                slots_.begin() + static_cast<std::ptrdiff_t>(first_ + tail));
  result.insert(result.end(), slots_.begin(), slots_.begin() + static_cast<std::ptrdiff_t>(count_ - tail));
  return result;
}

void recordMinimum(std::optional<platform::Number>& minimum, double sample) {
  if (!std::isnan(sample) && (!minimum || minimum->doubleValue() > sample)) {
    minimum = platform::Number::of(sample);
  }
}

void recordMaximum(std::optional<platform::Number>& maximum, double sample) {
  if (!std::isnan(sample) && (!maximum || maximum->doubleValue() < sample)) {
    maximum = platform::Number::of(sample);
  }
}

}  // namespace Bexlan
