#pragma once

#include <vector>

#include "Platform/Graphics/Color.hpp"

namespace Tavrix {

// The platform's named system colours, which Linux does not have: our own table of light and dark values
// (approximations of the platform's published ones, see SystemColors.cpp). Each is a dynamic colour, made
// once and then the same object at every call, that resolves under the appearance in force when it is read.
class SystemColors {
 public:
  SystemColors() = delete;

  static const platform::ColorRef& labelColor();
  static const platform::ColorRef& secondaryLabelColor();
  static const platform::ColorRef& tertiaryLabelColor();
  static const platform::ColorRef& quaternaryLabelColor();
  static const platform::ColorRef& separatorColor();
  // The same values as systemBlue.
  static const platform::ColorRef& controlAccentColor();
  static const platform::ColorRef& linkColor();
  static const platform::ColorRef& highlightColor();
  static const platform::ColorRef& windowBackgroundColor();
  // The two background colours of alternating rows.
  static const std::vector<platform::ColorRef>& alternatingContentBackgroundColors();

  static const platform::ColorRef& systemRed();
  static const platform::ColorRef& systemOrange();
  static const platform::ColorRef& systemYellow();
  static const platform::ColorRef& systemGreen();
  static const platform::ColorRef& systemTeal();
  static const platform::ColorRef& systemBlue();
  static const platform::ColorRef& systemPink();
  static const platform::ColorRef& systemGray();
};

}  // namespace Tavrix
