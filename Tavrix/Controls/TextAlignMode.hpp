#pragma once

namespace Tavrix {

// How a text axis spreads its labels: evenly over the width (the default) or centred.
enum class TextAlignMode { evenly, centered };

}  // namespace Tavrix
