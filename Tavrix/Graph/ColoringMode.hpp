#pragma once

namespace Tavrix {

// How the multi-colour bar plotter colours its bars.
enum class ColoringMode {
  // A colour per bar index.
  array,
  // The colour of the range that holds the bar's value.
  ranges,
};

}  // namespace Tavrix
