#include "Tavrix/Controls/Window.hpp"

#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {

void Window::didInit() {
  platform::Window::didInit();
  setOpaque(false);
  setBackgroundColor(SystemColors::windowBackgroundColor());
  setTitlebarAppearsTransparent(true);
  setStyleMask(styleMask() | resizable);
  if (const auto zoom = standardWindowButton(ButtonKind::zoom)) {
    zoom->setHidden(true);
  }
}

}  // namespace Tavrix
