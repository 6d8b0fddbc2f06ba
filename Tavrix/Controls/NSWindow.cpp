#include "Tavrix/Controls/NSWindow.hpp"

namespace Tavrix::NSWindow {

double titlebarHeight(const platform::Window& window) {
  return window.frame().height() - window.contentRect(window.frame()).height();
}

}  // namespace Tavrix::NSWindow
