#pragma once

#include "Platform/Graphics/Color.hpp"

namespace Tavrix {

// The named colours of the controls. The fixed ones are made once, on first use from any thread, and each
// call returns the same object. The appearance-dependent ones are new colours at every call, taken from the
// dark or the light column by isDarkMode() at that moment; they do not follow later appearance changes, so
// a control reads them again when it redraws.
class Colors {
 public:
  Colors() = delete;

  static const platform::ColorRef& plum();           // 110, 55, 110
  static const platform::ColorRef& rose();           // 252, 110, 134
  static const platform::ColorRef& berry();          // 202, 74, 125
  static const platform::ColorRef& peach();          // 252, 157, 128
  static const platform::ColorRef& gradientStart();  // 62, 189, 177
  static const platform::ColorRef& gradientEnd();    // 0, 182, 208

  // dark / light
  static platform::ColorRef highlight();      // 51, 81, 115 / 210, 231, 255
  static platform::ColorRef accentBlue();     // 56, 118, 213 / 48, 99, 182
  static platform::ColorRef surface();        // 52, 54, 57 / 247, 247, 248
  static platform::ColorRef warmSurface();    // 66, 56, 53 / 247, 247, 248
  static platform::ColorRef raisedSurface();  // 68, 70, 73 / 231, 231, 232
};

}  // namespace Tavrix
