#pragma once

namespace Tavrix {

class TileView;

// Hears a TileView's clicks and the pointer entering and leaving it.
class TileViewDelegate {
 public:
  virtual ~TileViewDelegate() = default;
  virtual void tileViewClicked(TileView& tile) = 0;
  virtual void tileViewMouseEntered(TileView& tile) = 0;
  virtual void tileViewMouseExited(TileView& tile) = 0;
};

}  // namespace Tavrix
