#pragma once

#include "Tavrix/Controls/UIProgressView.hpp"

namespace Tavrix {

// The design-time sample of UIProgressView, which the gallery renders.
struct UIProgressView_Preview {
  // A bar 4 points thick at half progress.
  static UIProgressView previews();
};

}  // namespace Tavrix
