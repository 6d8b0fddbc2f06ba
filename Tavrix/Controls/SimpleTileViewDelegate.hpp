#pragma once

namespace Tavrix {

class SimpleTileView;

// Hears what happens to a simple tile: clicks, and the pointer entering and leaving it. A tile holds its
// delegate weakly.
class SimpleTileViewDelegate {
 public:
  virtual ~SimpleTileViewDelegate() = default;

  virtual void simpleTileViewClicked(SimpleTileView& tile) = 0;
  virtual void simpleTileViewMouseEntered(SimpleTileView& tile) = 0;
  virtual void simpleTileViewMouseExited(SimpleTileView& tile) = 0;
};

}  // namespace Tavrix
