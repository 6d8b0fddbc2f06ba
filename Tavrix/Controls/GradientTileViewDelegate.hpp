#pragma once

namespace Tavrix {

class GradientTileView;

// Would hear a GradientTileView's clicks; the tile keeps its delegate but never calls it.
class GradientTileViewDelegate {
 public:
  virtual ~GradientTileViewDelegate() = default;
  virtual void gradientTileViewClicked(GradientTileView& tile) = 0;
};

}  // namespace Tavrix
