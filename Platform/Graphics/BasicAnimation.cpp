#include "Platform/Graphics/BasicAnimation.hpp"

#include <cmath>
#include <stdexcept>

namespace platform {

namespace {

bool fillsForwards(FillMode mode) { return mode == FillMode::forwards || mode == FillMode::both; }

}  // namespace

void BasicAnimation::validate() const {
  if (!std::isfinite(duration) || duration < 0) {
    throw std::invalid_argument("BasicAnimation \"" + keyPath +
                                "\": duration must be finite and not negative");
  }
  if (std::isnan(repeatCount) || repeatCount < 0) {
    throw std::invalid_argument("BasicAnimation \"" + keyPath +
                                "\": repeatCount must not be negative or NaN");
  }
  if (!std::isfinite(beginTime)) {
    throw std::invalid_argument("BasicAnimation \"" + keyPath + "\": beginTime must be finite");
  }
}

double BasicAnimation::activeDuration() const {
  if (duration == 0) {
    return 0;
  }
  return duration * (repeatCount > 0 ? repeatCount : 1);
}

bool BasicAnimation::isFinished(double time) const {
  const double active = activeDuration();
  return removedOnCompletion && std::isfinite(active) && time - beginTime >= active;
}

std::optional<double> BasicAnimation::progressAt(double time) const {
  const double local = time - beginTime;
  if (local < 0) {
    return fillMode == FillMode::both ? std::optional(timingFunction.evaluate(0)) : std::nullopt;
  }
  const double active = activeDuration();
  if (std::isfinite(active) && local >= active) {
    if (removedOnCompletion || !fillsForwards(fillMode)) {
      return std::nullopt;
    }
    const double passes = repeatCount > 0 ? repeatCount : 1;
    const double lastPass = passes - std::floor(passes);
    return timingFunction.evaluate(duration == 0 || lastPass == 0 ? 1 : lastPass);
  }
  if (!std::isfinite(local)) {
    return timingFunction.evaluate(0);
  }
  return timingFunction.evaluate(std::fmod(local, duration) / duration);
}

}  // namespace platform
