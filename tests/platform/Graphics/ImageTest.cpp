#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace platform::test {
namespace {

void fill(Image& image, const Rect& rect, const Rgba& color) {
  ImageFocus focus(image);
  focus.context().setFillColor(color);
  focus.context().fillRect(rect);
}

TEST(Image, BitmapCoversTheSizeAtTheScaleAndBadSizesGiveTheEmptyImage) {
  const auto image = Image::create({10.5, 3}, 2);
  EXPECT_EQ(image->size(), (Size{10.5, 3}));
  EXPECT_EQ(image->pixelWidth(), 21);
  EXPECT_EQ(image->pixelHeight(), 6);
  EXPECT_EQ(Image::create({0.2, 0.2})->pixelWidth(), 1);
  for (const Size size : {Size{0, 5}, Size{5, -1}, Size{std::nan(""), 5}, Size{5, INFINITY}}) {
    EXPECT_TRUE(Image::create(size)->isEmpty());
    EXPECT_EQ(Image::create(size)->size(), (Size{0, 0}));
  }
  EXPECT_THROW(Image::create({5, 5}, 0), std::invalid_argument);
  EXPECT_THROW(Image::create({40000, 5}), std::invalid_argument);
  EXPECT_THROW(image->pixel(21, 0), std::out_of_range);
  EXPECT_THROW(image->pixel(0, -1), std::out_of_range);
}

TEST(Image, CopyIsDeepAndFocusDrawsInPointsFromTheBottomLeft) {
  auto original = Image::create({4, 4}, 2);
  fill(*original, Rect(0, 0, 2, 2), opaqueRed);
  original->setTemplate(true);
  // The lower-left 2 x 2 points are the 4 x 4 pixels at the bottom-left of the 8 x 8 bitmap.
  expectRgba(original->pixel(3, 4), opaqueRed);
  expectRgba(original->pixel(4, 4), transparent);
  expectRgba(original->pixel(3, 3), transparent);
  auto copy = original->copy();
  EXPECT_TRUE(copy->isTemplate());
  fill(*copy, Rect(0, 0, 4, 4), opaqueBlue);
  expectRgba(copy->pixel(0, 7), opaqueBlue);
  expectRgba(original->pixel(0, 7), opaqueRed);
}

TEST(Image, TintColoursOnlyThePixelsThatAreThere) {
  auto symbol = Image::create({4, 4});
  fill(*symbol, Rect(0, 0, 2, 2), {0, 0, 0, 0.5});
  fill(*symbol, Rect(2, 2, 2, 2), opaqueBlack);
  symbol->setTemplate(true);
  const auto tinted = symbol->tinted(opaqueRed);
  EXPECT_FALSE(tinted->isTemplate());
  expectRgba(tinted->pixel(3, 0), opaqueRed);
  expectRgba(tinted->pixel(0, 3), {0.5, 0, 0, 0.5});
  expectRgba(tinted->pixel(3, 3), transparent);
  expectRgba(symbol->pixel(3, 0), opaqueBlack);
}

TEST(Image, ResizeStretchesOverTheNewSizeAtTheSameScale) {
  auto source = Image::create({2, 2}, 2);
  fill(*source, Rect(0, 0, 1, 2), opaqueRed);
  fill(*source, Rect(1, 0, 1, 2), opaqueBlue);
  const auto wide = source->resized({8, 2});
  EXPECT_EQ(wide->pixelWidth(), 16);
  EXPECT_EQ(wide->pixelHeight(), 4);
  // The aspect ratio is not kept: red fills the left half, blue the right, to the very edges.
  expectRgba(wide->pixel(0, 0), opaqueRed);
  expectRgba(wide->pixel(5, 3), opaqueRed);
  expectRgba(wide->pixel(10, 0), opaqueBlue);
  expectRgba(wide->pixel(15, 3), opaqueBlue);
  EXPECT_TRUE(source->resized({0, 3})->isEmpty());
}

}  // namespace
}  // namespace platform::test
