#pragma once

#include <array>

namespace platform {

// The platform's named pacing curves in use here.
enum class TimingFunctionName { linear, easeInEaseOut };

// The pacing of an animation: a cubic Bézier from (0, 0) to (1, 1) with two control points, read as eased
// progress y for a fraction x of the duration.
class TimingFunction {
 public:
  // Linear pacing.
  TimingFunction() = default;
  // The curve with control points (x1, y1) and (x2, y2). x1 and x2 are clamped to 0...1 (NaN to 0) so that
  // the curve gives one progress for every time fraction.
  TimingFunction(double x1, double y1, double x2, double y2);

  // linear (0, 0, 1, 1), easeInEaseOut (0.42, 0, 0.58, 1).
  static TimingFunction named(TimingFunctionName name);

  // The progress at time fraction x, which is clamped to 0...1 (NaN to 0).
  double evaluate(double x) const;

  // x1, y1, x2, y2.
  std::array<double, 4> controlPoints() const { return {x1_, y1_, x2_, y2_}; }

  friend bool operator==(const TimingFunction&, const TimingFunction&) = default;

 private:
  double x1_ = 0;
  double y1_ = 0;
  double x2_ = 1;
  double y2_ = 1;
};

}  // namespace platform
