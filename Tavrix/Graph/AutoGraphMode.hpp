#pragma once

namespace Tavrix {

// Speed units of a graph view. In none the maximum is rounded by the view's scale mode and labels show plain
// numbers; in the two speed modes the maximum is kept exactly, the view's unit becomes the rate unit of the
// maximum and label values are shown in that unit, in bytes or in bits per second.
enum class AutoGraphMode { none, byteSpeed, bitSpeed };

}  // namespace Tavrix
