#include <gtest/gtest.h>

#include <cmath>

#include "Platform/Graphics/ImageFocus.hpp"
#include "Platform/UI/ViewContents.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace platform::test {
namespace {

constexpr Rect bounds(0, 0, 20, 10);

ViewContents::Drawing filling(const Rgba& color) {
  return [color](const Rect&) {
    GraphicsContext::current()->setFillColor(color);
    GraphicsContext::current()->fillRect(bounds, CompositingOperation::sourceOver);
  };
}

// The colour at (x, 5) of the contents painted into an image of the bounds.
Rgba paintedAt(const ViewContents& contents, double x, const Rect& paintBounds = bounds) {
  auto image = Image::create(bounds.size);
  contents.paint(ImageFocus(*image).context(), paintBounds, false);
  return pixelAt(*image, x, 5);
}

TEST(ViewContentsTest, APartialRedrawClearsItsRectangleBeforeDrawing) {
  ViewContents contents;
  contents.redraw(bounds, false, bounds, filling(opaqueRed));
  // Half-transparent green over red left in place would read (0.5, 0.5, 0, 1).
  contents.redraw(bounds, false, Rect(0, 0, 5, 10), filling({0, 1, 0, 0.5}));
  expectRgba(paintedAt(contents, 2), {0, 0.5, 0, 0.5});
  expectRgba(paintedAt(contents, 12), opaqueRed);
}

TEST(ViewContentsTest, BoundsThatAreNotFiniteRecordAndPaintNothing) {
  ViewContents contents;
  contents.redraw(bounds, false, bounds, filling(opaqueRed));
  expectRgba(paintedAt(contents, 2, Rect(0, 0, INFINITY, 10)), transparent);
  for (const Rect& odd : {Rect(0, 0, INFINITY, 10), Rect(0, 0, 20, NAN), Rect(-INFINITY, 0, 20, 10)}) {
    contents.redraw(odd, false, bounds, [](const Rect&) { ADD_FAILURE() << "drew with odd bounds"; });
  }
  expectRgba(paintedAt(contents, 2), transparent);
}

}  // namespace
}  // namespace platform::test
