#pragma once

#include <string>

#include "Platform/Foundation/Number.hpp"

namespace Tavrix {

// Constants shared by the controls: the unit steps that Utilities::unitDivisor and Utilities::rateUnit
// compare against, two texts, and the width of one device pixel, which hairlines are multiples of. Each is
// made once, on first use from any thread, and never changes.
class Constants {
 public:
  Constants() = delete;

  // 2^10, 2^20, 2^30 and 2^40.
  static const platform::Number& kibi();
  static const platform::Number& mebi();
  static const platform::Number& gibi();
  static const platform::Number& tebi();
  // 10^3, 10^6, 10^9 and 10^12.
  static const platform::Number& kilo();
  static const platform::Number& mega();
  static const platform::Number& giga();
  static const platform::Number& tera();

  static const std::string& emptyString();
  static const std::string& dash();

  // 1 / the main screen's backing scale factor, 1 without a main screen. Read from the screen of the
  // moment at the first call anywhere in the process and kept for its life, whatever the screens do later.
  static double onePixel();
};

}  // namespace Tavrix
