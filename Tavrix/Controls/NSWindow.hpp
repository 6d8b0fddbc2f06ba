#pragma once

#include "Platform/UI/Window.hpp"

namespace Tavrix::NSWindow {

// The height of the window's frame less the height of the content rectangle inside that frame.
double titlebarHeight(const platform::Window& window);

}  // namespace Tavrix::NSWindow
