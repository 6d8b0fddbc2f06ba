#pragma once

#include "Platform/Graphics/Color.hpp"
#include "Platform/UI/View.hpp"

// Helpers the controls use on their views.
namespace Tavrix::NSView {

// Whether the view's effective appearance is a dark one (its lower-cased name contains "dark").
bool isDark(const platform::View& view);

// Takes every present subview out, one after the other, then sets the subview list to empty.
void removeAllSubviews(platform::View& view);

// Nothing without a superview. Otherwise the view stops translating its autoresizing mask and gets four
// constraints, each equal to the superview's anchor with constant 0 and activated at once: top, bottom,
// leading, trailing.
void pinToSuperview(platform::View& view);

// Makes the view layer-backed and rounds the layer's corners.
void roundCorners(platform::View& view, double radius = 8);
// The same, then gives the layer the colour (resolved now) as its background.
void roundCorners(platform::View& view, double radius, const platform::ColorRef& backgroundColor);

// Makes the view layer-backed and gives the layer the colour (resolved now) as its background.
void setLayerBackgroundColor(platform::View& view, const platform::ColorRef& color);

}  // namespace Tavrix::NSView
