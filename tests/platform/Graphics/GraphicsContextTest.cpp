#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <stdexcept>

#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace platform::test {
namespace {

TEST(GraphicsContext, OperationsCombineOnlyInsideTheShape) {
  EXPECT_EQ(GraphicsContext::current(), nullptr);
  auto image = Image::create({4, 4});
  ImageFocus focus(*image);
  GraphicsContext& context = focus.context();
  EXPECT_EQ(GraphicsContext::current(), &context);
  context.setFillColor({1, 0, 0, 0.5});
  context.fillRect(Rect(0, 0, 3, 4));
  // A rectangle fill copies by default, so a clear colour clears.
  context.setFillColor(transparent);
  context.fillRect(Rect(2, 0, 1, 4));
  expectRgba(image->pixel(2, 0), transparent);
  // Source-in keeps the destination's coverage and changes nothing outside the square it fills.
  context.setFillColor(opaqueBlue);
  context.setCompositingOperation(CompositingOperation::sourceIn);
  context.fillPath(BezierPath::rect(Rect(1, 0, 3, 4)).path());
  expectRgba(image->pixel(0, 0), {0.5, 0, 0, 0.5});
  expectRgba(image->pixel(1, 0), {0, 0, 0.5, 0.5});
  expectRgba(image->pixel(3, 0), transparent);
  // Source-atop colours only what is there.
  context.setCompositingOperation(CompositingOperation::sourceAtop);
  context.setFillColor(opaqueGreen);
  context.fillPath(BezierPath::rect(Rect(0, 0, 4, 4)).path());
  expectRgba(image->pixel(0, 0), {0, 0.5, 0, 0.5});
  expectRgba(image->pixel(2, 0), transparent);
}

TEST(GraphicsContext, RestoreBringsBackTheStateAndCairoIsHandedBackAsItCame) {
  auto image = Image::create({4, 4});
  cairo_t* cairo = cairo_create(image->surface());
  {
    GraphicsContext context(cairo);
    context.setColor(opaqueRed);
    context.saveGState();
    context.setColor(opaqueBlue);
    context.setCompositingOperation(CompositingOperation::clear);
    context.clipToRect(Rect(0, 0, 1, 1));
    context.restoreGState();
    EXPECT_EQ(context.strokeColor(), opaqueRed);
    EXPECT_EQ(context.compositingOperation(), CompositingOperation::sourceOver);
    context.fillRect(Rect(0, 0, 4, 4));
    expectRgba(image->pixel(3, 3), opaqueRed);
    EXPECT_THROW(context.restoreGState(), std::logic_error);
    // cairo would stop drawing for good after a singular transform.
    EXPECT_THROW(context.scale(0, 1), std::invalid_argument);
    EXPECT_THROW(context.rotate(std::numeric_limits<double>::quiet_NaN()), std::invalid_argument);
    context.saveGState();
    context.translate(3, 3);
  }
  cairo_matrix_t matrix;
  cairo_get_matrix(cairo, &matrix);
  EXPECT_EQ(matrix.x0, 0);
  EXPECT_EQ(cairo_status(cairo), CAIRO_STATUS_SUCCESS);
  cairo_destroy(cairo);
}

TEST(GraphicsContext, ImagesDrawUprightFromTheirSourceRectWithAFraction) {
  auto source = Image::create({4, 4});
  {
    ImageFocus focus(*source);
    focus.context().setFillColor(opaqueRed);
    focus.context().fillRect(Rect(0, 2, 4, 2));
    focus.context().setFillColor(opaqueBlue);
    focus.context().fillRect(Rect(0, 0, 4, 2));
  }
  auto image = Image::create({12, 8});
  ImageFocus focus(*image);
  GraphicsContext& context = focus.context();
  context.drawImage(*source, Rect(0, 0, 4, 8));
  // The red top stays on top in a flipped space too.
  context.saveGState();
  context.translate(0, 8);
  context.scale(1, -1);
  EXPECT_FALSE(context.isYUp());
  context.drawImage(*source, Rect(4, 0, 4, 8));
  context.restoreGState();
  // Only the upper half of the source, unfiltered, at half strength, replacing what was there.
  context.setImageInterpolation(ImageInterpolation::none);
  context.setFillColor(opaqueGreen);
  context.fillRect(Rect(8, 0, 4, 8));
  context.drawImage(*source, Rect(8, 0, 4, 8), Rect(0, 2, 4, 2), CompositingOperation::copy, 0.5);
  for (int column : {1, 6}) {
    expectRgba(image->pixel(column, 0), opaqueRed);
    expectRgba(image->pixel(column, 7), opaqueBlue);
  }
  expectRgba(image->pixel(9, 0), {0.5, 0, 0, 0.5});
  expectRgba(image->pixel(9, 7), {0.5, 0, 0, 0.5});
}

}  // namespace
}  // namespace platform::test
