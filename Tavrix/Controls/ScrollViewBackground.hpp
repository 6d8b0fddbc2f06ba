#pragma once

#include "Platform/UI/View.hpp"

namespace Tavrix {

// Turns off the background of the view's enclosing scroll view and of that scroll view's clip view; nothing
// for a view outside any scroll view.
void removeEnclosingScrollViewBackground(const platform::View& view);

}  // namespace Tavrix
