#pragma once

#include <cairo.h>

#include <memory>

#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"

namespace platform {

// Vector drawing kept to be painted again at any scale: what a drawing drew within an area of a space whose
// rows run down. Move-only.
class Recording {
 public:
  // Records what drawing draws into a context whose user space is the recording's space; only the part
  // within area is kept.
  Recording(const Rect& area, const GraphicsContext::Drawing& drawing);

  // Paints what was recorded into context, the recording's space laid onto the context's present user space.
  void paint(GraphicsContext& context) const;

 private:
  struct SurfaceRelease {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
  };

  std::unique_ptr<cairo_surface_t, SurfaceRelease> surface_;
};

}  // namespace platform
