#include "Platform/Graphics/TimingFunction.hpp"

#include <algorithm>
#include <cmath>

namespace platform {

namespace {

double unitClamp(double value) { return std::isnan(value) ? 0 : std::clamp(value, 0.0, 1.0); }

// One coordinate of the curve at parameter t, with the end coordinates 0 and 1.
double bezier(double c1, double c2, double t) {
  const double u = 1 - t;
  return 3 * u * u * t * c1 + 3 * u * t * t * c2 + t * t * t;
}

double bezierSlope(double c1, double c2, double t) {
  const double u = 1 - t;
  return 3 * u * u * c1 + 6 * u * t * (c2 - c1) + 3 * t * t * (1 - c2);
}

}  // namespace

TimingFunction::TimingFunction(double x1, double y1, double x2, double y2)
    : x1_(unitClamp(x1)), y1_(y1), x2_(unitClamp(x2)), y2_(y2) {}

TimingFunction TimingFunction::named(TimingFunctionName name) {
  switch (name) {
    case TimingFunctionName::linear: return TimingFunction();
    case TimingFunctionName::easeInEaseOut: return TimingFunction(0.42, 0, 0.58, 1);
  }
  return TimingFunction();
}

double TimingFunction::evaluate(double x) const {
  const double target = unitClamp(x);
  if (x1_ == y1_ && x2_ == y2_) {
    return target;  // the curve is the diagonal: progress equals time
  }
  // With both x control values in 0...1 the x coordinate never decreases in t, so bisection always finds
  // the parameter; Newton steps that stay inside the bracket speed it up.
  double low = 0;
  double high = 1;
  double t = target;
  for (int iteration = 0; iteration < 100; ++iteration) {
    const double error = bezier(x1_, x2_, t) - target;
    if (std::abs(error) < 1e-14) {
      break;
    }
    (error > 0 ? high : low) = t;
    const double slope = bezierSlope(x1_, x2_, t);
    const double next = slope > 0 ? t - error / slope : low - 1;
    t = next > low && next < high ? next : (low + high) * 0.5;
  }
  return bezier(y1_, y2_, t);
}

}  // namespace platform
