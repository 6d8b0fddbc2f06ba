#include <gtest/gtest.h>

#include <optional>
#include <stdexcept>

#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace platform::test {
namespace {

// A 4 x 4 point image with a red top half and a blue bottom half.
std::shared_ptr<Image> redOverBlue() {
  auto image = Image::create({4, 4});
  ImageFocus focus(*image);
  focus.context().setFillColor(opaqueRed);
  focus.context().fillRect(Rect(0, 2, 4, 2));
  focus.context().setFillColor(opaqueBlue);
  focus.context().fillRect(Rect(0, 0, 4, 2));
  return image;
}

TEST(GraphicsContext, FillRectCopiesUnlessToldOtherwise) {
  auto image = Image::create({4, 4});
  ImageFocus focus(*image);
  GraphicsContext& context = focus.context();
  context.setFillColor(opaqueRed);
  context.fillRect(Rect(0, 0, 4, 4));
  context.setFillColor(transparent);
  context.fillRect(Rect(0, 0, 1, 4), CompositingOperation::sourceOver);
  expectRgba(image->pixel(0, 0), opaqueRed);
  context.fillRect(Rect(0, 0, 1, 4));
  expectRgba(image->pixel(0, 0), transparent);
  expectRgba(image->pixel(1, 0), opaqueRed);
}

TEST(GraphicsContext, EveryOperationStaysInsideTheShape) {
  auto image = Image::create({4, 4});
  ImageFocus focus(*image);
  GraphicsContext& context = focus.context();
  context.setFillColor({1, 0, 0, 0.5});
  context.fillRect(Rect(0, 0, 2, 4));
  context.setFillColor(opaqueBlue);
  // Source-in keeps the destination's coverage, and changes nothing outside the square it fills.
  context.setCompositingOperation(CompositingOperation::sourceIn);
  context.fillPath(BezierPath::rect(Rect(1, 0, 2, 4)).path());
  expectRgba(image->pixel(0, 0), {0.5, 0, 0, 0.5});
  expectRgba(image->pixel(1, 0), {0, 0, 0.5, 0.5});
  expectRgba(image->pixel(2, 0), transparent);
  // Source-atop colours only what is there.
  context.setCompositingOperation(CompositingOperation::sourceAtop);
  context.setFillColor(opaqueGreen);
  context.fillPath(BezierPath::rect(Rect(0, 0, 4, 4)).path());
  expectRgba(image->pixel(0, 0), {0, 0.5, 0, 0.5});
  expectRgba(image->pixel(3, 0), transparent);
}

TEST(GraphicsContext, RestoreBringsBackColoursTransformAndClip) {
  auto image = Image::create({4, 4});
  ImageFocus focus(*image);
  GraphicsContext& context = focus.context();
  context.setColor(opaqueRed);
  const AffineTransform before = context.currentTransform();
  context.saveGState();
  context.setColor(opaqueBlue);
  context.setCompositingOperation(CompositingOperation::clear);
  context.translate(1, 1);
  context.clipToRect(Rect(0, 0, 1, 1));
  context.restoreGState();
  EXPECT_EQ(context.fillColor(), opaqueRed);
  EXPECT_EQ(context.strokeColor(), opaqueRed);
  EXPECT_EQ(context.compositingOperation(), CompositingOperation::sourceOver);
  EXPECT_EQ(context.currentTransform(), before);
  context.fillRect(Rect(0, 0, 4, 4));
  expectRgba(image->pixel(0, 0), opaqueRed);
  EXPECT_THROW(context.restoreGState(), std::logic_error);
}

TEST(GraphicsContext, ContextHandsCairoBackAsItCame) {
  auto image = Image::create({4, 4});
  cairo_t* cairo = cairo_create(image->surface());
  {
    GraphicsContext context(cairo);
    context.saveGState();
    context.translate(3, 3);
  }
  cairo_matrix_t matrix;
  cairo_get_matrix(cairo, &matrix);
  EXPECT_EQ(matrix.x0, 0);
  EXPECT_EQ(cairo_status(cairo), CAIRO_STATUS_SUCCESS);
  cairo_destroy(cairo);
}

TEST(GraphicsContext, SingularTransformsAreRefused) {
  auto image = Image::create({4, 4});
  ImageFocus focus(*image);
  EXPECT_THROW(focus.context().scale(0, 1), std::invalid_argument);
  EXPECT_THROW(focus.context().rotate(std::numeric_limits<double>::quiet_NaN()), std::invalid_argument);
  EXPECT_EQ(cairo_status(focus.context().cairo()), CAIRO_STATUS_SUCCESS);
}

TEST(GraphicsContext, ScopesNestTheCurrentContext) {
  EXPECT_EQ(GraphicsContext::current(), nullptr);
  auto outerImage = Image::create({1, 1});
  auto innerImage = Image::create({1, 1});
  ImageFocus outer(*outerImage);
  EXPECT_EQ(GraphicsContext::current(), &outer.context());
  {
    ImageFocus inner(*innerImage);
    EXPECT_EQ(GraphicsContext::current(), &inner.context());
  }
  EXPECT_EQ(GraphicsContext::current(), &outer.context());
}

TEST(GraphicsContext, ImagesDrawUprightInYUpAndFlippedSpaces) {
  const auto source = redOverBlue();
  auto image = Image::create({8, 8});
  ImageFocus focus(*image);
  GraphicsContext& context = focus.context();
  EXPECT_TRUE(context.isYUp());
  context.drawImage(*source, Rect(0, 0, 4, 8));
  context.saveGState();
  context.translate(0, 8);
  context.scale(1, -1);
  EXPECT_FALSE(context.isYUp());
  context.drawImage(*source, Rect(4, 0, 4, 8));
  context.restoreGState();
  for (int column : {1, 6}) {
    expectRgba(image->pixel(column, 0), opaqueRed);
    expectRgba(image->pixel(column, 7), opaqueBlue);
  }
}

TEST(GraphicsContext, ImageSourceRectOperationAndFraction) {
  const auto source = redOverBlue();
  auto image = Image::create({4, 4});
  ImageFocus focus(*image);
  GraphicsContext& context = focus.context();
  context.setFillColor(opaqueGreen);
  context.fillRect(Rect(0, 0, 4, 4));
  // Only the upper half of the source, stretched over the left half of the destination.
  context.drawImage(*source, Rect(0, 0, 2, 4), Rect(0, 2, 4, 2));
  expectRgba(image->pixel(0, 3), opaqueRed);
  expectRgba(image->pixel(0, 0), opaqueRed);
  context.drawImage(*source, Rect(2, 0, 2, 4), std::nullopt, CompositingOperation::copy, 0.5);
  expectRgba(image->pixel(3, 0), {0.5, 0, 0, 0.5});
  expectRgba(image->pixel(3, 3), {0, 0, 0.5, 0.5});
}

}  // namespace
}  // namespace platform::test
