#pragma once

#include <cairo.h>

#include <functional>
#include <optional>
#include <vector>

#include "Platform/Graphics/AffineTransform.hpp"
#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/Graphics/Path.hpp"
#include "Platform/Graphics/RenderTime.hpp"
#include "Platform/Graphics/Rgba.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/Graphics/StrokeStyle.hpp"

namespace platform {

class Image;

// How drawn pixels combine with those already there, with the platform's raw values. Every operation
// affects only the pixels of the shape drawn, under the clip (sourceIn and sourceOut, which cairo would
// apply everywhere, are held to a filled shape or to a stroke's bounding box).
enum class CompositingOperation {
  clear = 0,
  copy = 1,
  sourceOver = 2,
  sourceIn = 3,
  sourceOut = 4,
  sourceAtop = 5,
  destinationOver = 6
};

// The filter used when an image is drawn scaled, with the platform's raw values.
enum class ImageInterpolation { defaultQuality = 0, none = 1, low = 2, high = 3 };

// A drawing destination over a cairo context: the transform, clip, colours and compositing operation of the
// current state (saved and restored together), filling and stroking paths, and drawing images. Paths with a
// coordinate that is not finite lose the subpaths holding it (cairo would stop drawing altogether). The
// context also carries the render time, which layers that draw themselves read their values at. One thread
// at a time.
class GraphicsContext {
 public:
  // Drawing into a context given to it, as drawMasked and drawInto run it.
  using Drawing = std::function<void(GraphicsContext& context)>;

  // Draws through cairo, holding a reference of its own to it. The state starts with opaque black colours,
  // source-over compositing and default interpolation.
  explicit GraphicsContext(cairo_t* cairo, RenderTime time = RenderTime::settled());
  ~GraphicsContext();
  GraphicsContext(const GraphicsContext&) = delete;
  GraphicsContext& operator=(const GraphicsContext&) = delete;

  cairo_t* cairo() const { return cairo_; }
  // The values layers drawing through this context show.
  const RenderTime& renderTime() const { return renderTime_; }

  // The innermost context made current on this thread (by GraphicsContextScope), or null.
  static GraphicsContext* current();

  // Runs drawing with a context over the image's bitmap whose user space maps onto the bitmap's pixels
  // (rows running down) by toPixels, at the given render time; the drawing is in the bitmap on return. The
  // context is not made current. A transform that is singular or not finite draws nothing.
  static void drawInto(Image& image, const AffineTransform& toPixels, RenderTime time,
                       const Drawing& drawing);

  // Saves every part of the state; restoreGState brings back the last saved one (std::logic_error when
  // there is none).
  void saveGState();
  void restoreGState();

  void translate(double dx, double dy);
  void scale(double sx, double sy);
  void rotate(double radians);
  void concat(const AffineTransform& transform);
  // The map from user space to device space (device pixels, rows running down).
  AffineTransform currentTransform() const;
  // True when user space's y axis runs up the device, as in an unflipped view or layer; text and images
  // are drawn upright either way.
  bool isYUp() const;

  Rgba fillColor() const { return state_.fill; }
  void setFillColor(const Rgba& color) { state_.fill = color; }
  Rgba strokeColor() const { return state_.stroke; }
  void setStrokeColor(const Rgba& color) { state_.stroke = color; }
  // Sets both the fill and the stroke colour.
  void setColor(const Rgba& color);
  CompositingOperation compositingOperation() const { return state_.operation; }
  void setCompositingOperation(CompositingOperation operation) { state_.operation = operation; }
  ImageInterpolation imageInterpolation() const { return state_.interpolation; }
  void setImageInterpolation(ImageInterpolation interpolation) { state_.interpolation = interpolation; }

  // Fills a rectangle with the fill colour under the given operation; the default, copy, replaces the
  // pixels (so filling with a clear colour clears).
  void fillRect(const Rect& rect, CompositingOperation operation = CompositingOperation::copy);
  // Fills a path (open subpaths are closed for the fill) with the fill colour under the current operation.
  void fillPath(const Path& path, FillRule rule = FillRule::nonZero);
  // Strokes a path with the stroke colour under the current operation. A line width of zero or less, or not
  // finite, strokes nothing; a pattern that isDashed() rejects strokes a solid line.
  void strokePath(const Path& path, const StrokeStyle& style);
  // The outline with its own stroke style.
  void fill(const BezierPath& path) { fillPath(path.path()); }
  void stroke(const BezierPath& path) { strokePath(path.path(), path.strokeStyle()); }

  // Narrows the clip to a rectangle or path; restoreGState widens it again.
  void clipToRect(const Rect& rect);
  void clipToPath(const Path& path, FillRule rule = FillRule::nonZero);
  // Makes every pixel inside the clip transparent.
  void clearClip();

  // Draws the part source (in the image's points, y-up from its bottom-left corner; the whole image when
  // absent) of an image stretched into destination, upright, with the given operation and an extra opacity
  // fraction (clamped to 0...1), filtered by the image interpolation.
  void drawImage(const Image& image, const Rect& destination, std::optional<Rect> source = std::nullopt,
                 CompositingOperation operation = CompositingOperation::sourceOver, double fraction = 1);

  // Draws paint through the alpha of what mask draws, faded by an opacity fraction (clamped to 0...1). Both
  // draw into groups of their own in the present space, each starting from the present state, whose changes
  // end with the drawing; mask itself shows nothing. Without a mask, paint is only faded. A drawing that
  // throws leaves the context as it was.
  void drawMasked(const Drawing& paint, const Drawing& mask, double opacity = 1);

  // Adds a path to cairo's current path, leaving out every subpath that holds a coordinate that is not
  // finite. For drawing code that needs cairo itself (patterns, groups).
  static void appendPath(cairo_t* cairo, const Path& path);

 private:
  struct State {
    Rgba fill{0, 0, 0, 1};
    Rgba stroke{0, 0, 0, 1};
    CompositingOperation operation = CompositingOperation::sourceOver;
    ImageInterpolation interpolation = ImageInterpolation::defaultQuality;
  };

  // Paints the current cairo path with a colour under an operation; operations that cairo would apply
  // outside the path are confined to it.
  void paintShape(const Rgba& color, CompositingOperation operation, bool stroke);

  cairo_t* cairo_;
  RenderTime renderTime_;
  State state_;
  std::vector<State> saved_;
};

// Makes a context the calling thread's current one while it lives, for code that draws into "the current
// context" (a view's draw, an image being drawn into). Scopes nest; destroy them in reverse order of
// creation, on the thread that made them.
class GraphicsContextScope {
 public:
  explicit GraphicsContextScope(GraphicsContext& context);
  ~GraphicsContextScope();
  GraphicsContextScope(const GraphicsContextScope&) = delete;
  GraphicsContextScope& operator=(const GraphicsContextScope&) = delete;

 private:
  GraphicsContext* previous_;
};

}  // namespace platform
