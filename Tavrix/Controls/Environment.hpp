#pragma once

namespace Tavrix {

// The main screen's backing scale factor (device pixels per point), 1 without a main screen; read anew at
// every call.
double mainScreenScale();

// Whether the appearance the calling thread draws with (platform::Appearance::current()) is a dark one:
// its lower-cased name contains "dark". Views make their effective appearance current while they lay out
// and draw.
bool isDarkMode();

}  // namespace Tavrix
