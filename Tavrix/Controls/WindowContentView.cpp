#include "Tavrix/Controls/WindowContentView.hpp"

#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/UI/ViewClass.hpp"
#include "Tavrix/Controls/NSView.hpp"

namespace Tavrix {

namespace {

// Made by name from interface files, with View's properties (it exposes none of its own).
[[maybe_unused]] const bool classDefined = [] {
  platform::ViewClass::define<WindowContentView>("WindowContentView", "View");
  return true;
}();

}  // namespace

void WindowContentView::draw(const platform::Rect&) {
  if (platform::GraphicsContext* context = platform::GraphicsContext::current()) {
    // A copy, so that clear clears instead of drawing nothing.
    context->setFillColor(
        (NSView::isDark(*this) ? platform::Color::clear() : platform::Color::white())->rgba());
    context->fillRect(bounds(), platform::CompositingOperation::copy);
  }
}

void WindowContentView::viewDidChangeEffectiveAppearance() {
  platform::View::viewDidChangeEffectiveAppearance();
  setNeedsDisplay(true);
}

}  // namespace Tavrix
