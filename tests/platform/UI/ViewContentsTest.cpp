#include <gtest/gtest.h>

#include <limits>

#include "Platform/Graphics/GraphicsContext.hpp"
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

std::shared_ptr<Image> painted(const ViewContents& contents, const Rect& paintBounds = bounds) {
  auto image = Image::create(bounds.size);
  ImageFocus focus(*image);
  contents.paint(focus.context(), paintBounds, false);
  return image;
}

TEST(ViewContentsTest, APartialRedrawClearsTheDirtyRectangleBeforeDrawingIntoIt) {
  ViewContents contents;
  contents.redraw(bounds, false, bounds, filling(opaqueRed));
  // Half-transparent green over what is left of the red would blend with it: (0.5, 0.5, 0, 1).
  contents.redraw(bounds, false, Rect(0, 0, 5, 10), filling({0, 1, 0, 0.5}));
  expectPixels(*painted(contents), {{2, 5, {0, 0.5, 0, 0.5}}, {12, 5, opaqueRed}});
}

TEST(ViewContentsTest, BoundsThatAreNotFiniteRecordAndPaintNothing) {
  constexpr double inf = std::numeric_limits<double>::infinity();
  ViewContents contents;
  contents.redraw(bounds, false, bounds, filling(opaqueRed));
  EXPECT_NO_THROW(expectRgba(pixelAt(*painted(contents, Rect(0, 0, inf, 10)), 2, 5), transparent));
  for (const Rect& odd : {Rect(0, 0, inf, 10), Rect(0, 0, 20, std::nan("")), Rect(-inf, 0, 20, 10)}) {
    bool drawn = false;
    contents.redraw(odd, false, bounds, [&drawn](const Rect&) { drawn = true; });
    EXPECT_FALSE(drawn);
  }
  expectRgba(pixelAt(*painted(contents), 2, 5), transparent);
}

}  // namespace
}  // namespace platform::test
