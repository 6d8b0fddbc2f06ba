#pragma once

#include "Platform/UI/Window.hpp"

namespace Tavrix {

// The application's window style: not opaque, the window background colour, a transparent title bar,
// always resizable and without a zoom button. Make it with platform::Window::create<Tavrix::Window>.
class Window : public platform::Window {
 public:
  using platform::Window::Window;

 protected:
  void didInit() override;
};

}  // namespace Tavrix
