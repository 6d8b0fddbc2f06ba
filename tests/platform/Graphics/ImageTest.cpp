#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace platform::test {
namespace {

// An image whose lower-left quarter is filled with the colour (in points, y-up).
std::shared_ptr<Image> quarterFilled(Size size, double scale, const Rgba& color) {
  auto image = Image::create(size, scale);
  ImageFocus focus(*image);
  focus.context().setFillColor(color);
  focus.context().fillRect(Rect(0, 0, size.width / 2, size.height / 2));
  return image;
}

TEST(Image, BitmapCoversTheSizeAtTheScale) {
  const auto image = Image::create({10.5, 3}, 2);
  EXPECT_EQ(image->size(), (Size{10.5, 3}));
  EXPECT_EQ(image->scale(), 2);
  EXPECT_EQ(image->pixelWidth(), 21);
  EXPECT_EQ(image->pixelHeight(), 6);
  EXPECT_EQ(Image::create({0.2, 0.2})->pixelWidth(), 1);
  expectRgba(image->pixel(20, 5), transparent);
  EXPECT_FALSE(image->isTemplate());
  EXPECT_EQ(cairo_image_surface_get_format(image->surface()), CAIRO_FORMAT_ARGB32);
}

TEST(Image, UnusableSizesGiveTheEmptyImageAndBadScalesThrow) {
  for (const Size size : {Size{0, 5}, Size{5, -1}, Size{std::nan(""), 5}, Size{5, INFINITY}}) {
    const auto image = Image::create(size);
    EXPECT_TRUE(image->isEmpty());
    EXPECT_EQ(image->size(), (Size{0, 0}));
  }
  EXPECT_THROW(Image::create({5, 5}, 0), std::invalid_argument);
  EXPECT_THROW(Image::create({5, 5}, std::nan("")), std::invalid_argument);
  EXPECT_THROW(Image::create({40000, 5}), std::invalid_argument);
  EXPECT_THROW(Image::create({5, 5})->pixel(5, 0), std::out_of_range);
  EXPECT_THROW(Image::create({5, 5})->pixel(0, -1), std::out_of_range);
}

TEST(Image, FocusDrawsInPointsFromTheBottomLeftCorner) {
  const auto image = quarterFilled({4, 4}, 2, opaqueRed);
  // The lower-left 2 x 2 points are the 4 x 4 pixels at the bottom-left of the 8 x 8 bitmap.
  expectRgba(image->pixel(0, 7), opaqueRed);
  expectRgba(image->pixel(3, 4), opaqueRed);
  expectRgba(image->pixel(4, 4), transparent);
  expectRgba(image->pixel(3, 3), transparent);
}

TEST(Image, CopyIsDeepAndKeepsTheTemplateFlag) {
  auto original = quarterFilled({4, 4}, 1, opaqueRed);
  original->setTemplate(true);
  auto copy = original->copy();
  EXPECT_TRUE(copy->isTemplate());
  EXPECT_EQ(copy->size(), original->size());
  EXPECT_NE(copy->surface(), original->surface());
  expectRgba(copy->pixel(0, 3), opaqueRed);
  {
    ImageFocus focus(*copy);
    focus.context().setFillColor(opaqueBlue);
    focus.context().fillRect(Rect(0, 0, 4, 4));
  }
  expectRgba(copy->pixel(0, 3), opaqueBlue);
  expectRgba(original->pixel(0, 3), opaqueRed);
  expectRgba(original->pixel(3, 0), transparent);
}

TEST(Image, TintColoursOnlyThePixelsThatAreThere) {
  auto symbol = quarterFilled({4, 4}, 1, {0, 0, 0, 0.5});
  {
    ImageFocus focus(*symbol);
    focus.context().setFillColor(opaqueBlack);
    focus.context().fillRect(Rect(2, 2, 2, 2));
  }
  symbol->setTemplate(true);
  const auto tinted = symbol->tinted(opaqueRed);
  EXPECT_FALSE(tinted->isTemplate());
  EXPECT_TRUE(symbol->isTemplate());
  expectRgba(tinted->pixel(3, 0), opaqueRed);
  expectRgba(tinted->pixel(0, 3), {0.5, 0, 0, 0.5});
  expectRgba(tinted->pixel(3, 3), transparent);
  expectRgba(symbol->pixel(3, 0), opaqueBlack);
}

TEST(Image, ResizeStretchesOverTheNewSizeAtTheSameScale) {
  auto source = Image::create({2, 2}, 2);
  {
    ImageFocus focus(*source);
    focus.context().setFillColor(opaqueRed);
    focus.context().fillRect(Rect(0, 0, 1, 2));
    focus.context().setFillColor(opaqueBlue);
    focus.context().fillRect(Rect(1, 0, 1, 2));
  }
  const auto wide = source->resized({8, 2});
  EXPECT_EQ(wide->scale(), 2);
  EXPECT_EQ(wide->pixelWidth(), 16);
  EXPECT_EQ(wide->pixelHeight(), 4);
  // The aspect ratio is not kept: red fills the left half, blue the right, to the very edges.
  expectRgba(wide->pixel(0, 0), opaqueRed);
  expectRgba(wide->pixel(5, 3), opaqueRed);
  expectRgba(wide->pixel(10, 0), opaqueBlue);
  expectRgba(wide->pixel(15, 3), opaqueBlue);
  EXPECT_TRUE(source->resized({0, 3})->isEmpty());
  EXPECT_TRUE(Image::create({0, 0})->resized({3, 3})->pixel(1, 1).alpha == 0);
}

}  // namespace
}  // namespace platform::test
