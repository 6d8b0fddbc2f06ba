#include "Tavrix/Controls/Environment.hpp"

#include <optional>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/UI/Screen.hpp"

namespace Tavrix {

double mainScreenScale() {
  const std::optional<platform::Screen> screen = platform::Screen::main();
  return screen ? screen->backingScaleFactor : 1;
}

bool isDarkMode() { return platform::Appearance::current().isDark(); }

}  // namespace Tavrix
