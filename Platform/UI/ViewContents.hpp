#pragma once

#include <functional>
#include <optional>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Recording.hpp"

namespace platform {

// What a view drew the last time it was displayed, kept as recorded vector drawing so that it can be
// painted at any scale. The recording's space is the view's bounds with rows running down from the top, as
// a backing store's are; a view that is not flipped draws into it through a y-up transform.
class ViewContents {
 public:
  using Drawing = std::function<void(const Rect& dirtyRect)>;

  ViewContents() = default;
  ViewContents(const ViewContents&) = delete;
  ViewContents& operator=(const ViewContents&) = delete;

  // Draws the dirty part of the bounds again: what was there is kept outside dirtyRect and cleared inside
  // it, then drawing runs with a current graphics context clipped to dirtyRect. A dirty rectangle that
  // covers the bounds, or a first drawing, starts from nothing. A partial redraw stacks onto the previous
  // recording, so after a few of them in a row the whole bounds are drawn again instead. Empty bounds, or
  // bounds that are not finite, leave the contents empty.
  void redraw(const Rect& bounds, bool flipped, Rect dirtyRect, const Drawing& drawing);
  // Forgets the drawing.
  void clear();

  // Paints the recording into a context whose user space is the view's bounds space (y-up unless flipped);
  // bounds that are not finite paint nothing.
  void paint(GraphicsContext& context, const Rect& bounds, bool flipped) const;

 private:
  std::optional<Recording> recording_;
  int stackedRedraws_ = 0;
};

}  // namespace platform
