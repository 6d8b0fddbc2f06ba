#pragma once

#include <limits>
#include <optional>
#include <stdexcept>
#include <string>

#include "Platform/Graphics/AnimatableValue.hpp"
#include "Platform/Graphics/TimingFunction.hpp"

namespace platform {

// What an animation shows outside its active time: removed shows the model value, forwards holds the end
// value after the end, both also shows the start value before the begin time.
enum class FillMode { removed, forwards, both };

// An animation of one layer property from one value to another, recorded on a layer under a key and
// evaluated against the media clock. A value, copied when it is added to a layer.
struct BasicAnimation {
  static constexpr double forever = std::numeric_limits<double>::infinity();

  std::string keyPath;
  // Absent values stand for the property's model value at the moment of evaluation.
  std::optional<AnimatableValue> fromValue;
  std::optional<AnimatableValue> toValue;
  // Seconds of one pass. 0 jumps to the end value at the begin time.
  double duration = 0.25;
  TimingFunction timingFunction;
  FillMode fillMode = FillMode::removed;
  bool removedOnCompletion = true;
  // Number of passes, which may be fractional; 0 plays once, forever never ends.
  double repeatCount = 0;
  // Media time of the start; 0 is replaced by the media clock's time when the animation is added to a layer.
  double beginTime = 0;

  // Throws std::invalid_argument naming the problem: a negative or non-finite duration, or a negative or NaN
  // repeat count, or a beginTime that is not finite.
  void validate() const;

  // Seconds from the begin time to the end of the last pass; infinite when it repeats forever.
  double activeDuration() const;
  // True when the animation has ended by time and is removed on completion: it then has no effect and a
  // layer no longer lists it.
  bool isFinished(double time) const;
  // The eased progress (0 at fromValue, 1 at toValue) shown at media time, or nothing when the animation has
  // no effect then and the model value shows. Within the active time the progress follows the timing
  // function through each pass; before it and after it the fill mode decides, and the end of a fractional
  // last pass holds its fraction. At an infinite time an animation that repeats forever shows the start of
  // a pass (its settled look) and any other has ended.
  std::optional<double> progressAt(double time) const;
};

}  // namespace platform
