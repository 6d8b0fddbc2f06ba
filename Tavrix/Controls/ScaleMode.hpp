#pragma once

#include <optional>

namespace Tavrix {

// The steps a graph rounds its value range to, in declaration order. Each case's raw value is its step:
// none 0, one 1 ... five 5, ten 10, fifteen 15 ... fifty 50 (fourty is 40 and fourtyFive 45), hundred 100,
// thousand 1000, kilobytes 1024 x 1024 and megabytes 1024 x 1024 x 1024.
enum class ScaleMode {
  none,
  one,
  two,
  three,
  four,
  five,
  ten,
  fifteen,
  twenty,
  twentyFive,
  thirty,
  thirtyFive,
  fourty,
  fourtyFive,
  fifty,
  hundred,
  thousand,
  kilobytes,
  megabytes
};

double rawValue(ScaleMode mode);

// The case whose raw value equals the value exactly, or nothing.
std::optional<ScaleMode> scaleMode(double rawValue);

}  // namespace Tavrix
