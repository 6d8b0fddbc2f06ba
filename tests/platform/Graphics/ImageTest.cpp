#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <memory>
#include <set>
#include <stdexcept>
#include <string>
#include <utility>

#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"
#include "tests/platform/System/MountTestGuards.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

namespace platform::test {
namespace {

void fill(Image& image, const Rect& rect, const Rgba& color) {
  ImageFocus focus(image);
  focus.context().setFillColor(color);
  focus.context().fillRect(rect);
}

namespace fs = std::filesystem;
using volumetest::TemporaryDirectory;

TEST(Image, BitmapCoversTheSizeAtTheScaleAndBadSizesGiveTheEmptyImage) {
  const auto image = Image::create({10.5, 3}, 2);
  EXPECT_EQ(image->size(), (Size{10.5, 3}));
  EXPECT_EQ(std::pair(image->pixelWidth(), image->pixelHeight()), std::pair(21, 6));
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

// A PNG written and read back pixel for pixel is checked by Bexlan's
// ImagesTest.NamedImagesComeFromTheTopOfTheBundle.
TEST(Image, ResizeStretches) {
  // Over a new size at the same scale, the aspect ratio not kept: red fills the left half, blue the right,
  // to the very edges.
  auto source = Image::create({2, 2}, 2);
  fill(*source, Rect(0, 0, 1, 2), opaqueRed);
  fill(*source, Rect(1, 0, 1, 2), opaqueBlue);
  const auto wide = source->resized({8, 2});
  EXPECT_EQ(std::pair(wide->pixelWidth(), wide->pixelHeight()), std::pair(16, 4));
  expectPixels(*wide, {{0, 1.9, opaqueRed}, {2.5, 0, opaqueRed}, {5, 1.9, opaqueBlue}, {7.9, 0, opaqueBlue}});
  EXPECT_TRUE(source->resized({0, 3})->isEmpty());
}

TEST(GraphicsContext, FocusMakesTheImageCurrentAndRectangleFillsCopy) {
  EXPECT_EQ(GraphicsContext::current(), nullptr);
  auto image = Image::create({4, 4});
  ImageFocus focus(*image);
  GraphicsContext& context = focus.context();
  EXPECT_EQ(GraphicsContext::current(), &context);
  context.setFillColor({1, 0, 0, 0.5});
  context.fillRect(Rect(0, 0, 3, 4));
  // A rectangle fill copies by default, so a clear colour clears; a path fills over what is there.
  context.setFillColor(transparent);
  context.fillRect(Rect(2, 0, 1, 4));
  context.setFillColor({0, 0, 1, 0.5});
  context.fillPath(BezierPath::rect(Rect(1, 0, 1, 4)).path());
  expectPixels(*image, {{0, 3, {0.5, 0, 0, 0.5}}, {1, 3, {0.25, 0, 0.5, 0.75}}, {2, 3, transparent}});
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
    expectRgba(pixelAt(*image, 3, 0), opaqueRed);
    EXPECT_THROW(context.restoreGState(), std::logic_error);
    // cairo would stop drawing for good after a singular transform.
    EXPECT_THROW(context.scale(0, 1), std::invalid_argument);
    EXPECT_THROW(context.rotate(std::numeric_limits<double>::quiet_NaN()), std::invalid_argument);
    context.saveGState();
    context.translate(3, 3);
  }
  cairo_matrix_t matrix;
  cairo_get_matrix(cairo, &matrix);
  EXPECT_EQ(std::pair(matrix.x0, cairo_status(cairo)), std::pair(0.0, CAIRO_STATUS_SUCCESS));
  cairo_destroy(cairo);
}

TEST(GraphicsContext, ImagesDrawUprightFromTheirSourceRectWithAFraction) {
  auto source = Image::create({4, 4});
  fill(*source, Rect(0, 2, 4, 2), opaqueRed);
  fill(*source, Rect(0, 0, 4, 2), opaqueBlue);
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
  expectPixels(*image, {{1, 7, opaqueRed}, {1, 0, opaqueBlue}, {6, 7, opaqueRed}, {6, 0, opaqueBlue}});
  expectPixels(*image, {{9, 7, {0.5, 0, 0, 0.5}}, {9, 0, {0.5, 0, 0, 0.5}}});
}

// The message of the ImageError that writing the image to `path` throws; empty when nothing is thrown.
std::string writeFailure(const std::string& path, const Image& image = *Image::create({8, 8})) {
  try {
    image.writePng(path);
  } catch (const ImageError& error) {
    return error.what();
  }
  return {};
}

// Writing a PNG over an old one: whole or not at all, and an error that says why.
TEST(PngReplacement, AFullFileSystemLeavesTheOldPictureWhole) {
  if (::geteuid() != 0) GTEST_SKIP() << "mounting a 64 KiB tmpfs needs root";
  const TemporaryDirectory directory;
  const volumetest::ScopedMount small(directory.path() + "/small", "velmora-test", "tmpfs", "size=64k");
  const fs::path mount = small.mountPoint(), picture = mount / "picture.png";
  Image::create({8, 8})->writePng(picture);
  const std::string old = systemtest::fileText(picture);
  for (std::ofstream filler(mount / "filler"); filler << std::string(4096, 'x') << std::flush;) {
  }
  // Coloured noise: a PNG larger than the old picture's blocks, which a write in place would reuse.
  const auto noise = Image::create({64, 64});
  ImageFocus focus(*noise);
  for (unsigned i = 0, state = 1; i < 64 * 64; ++i, state = state * 1664525u + 1013904223u) {
    focus.context().setFillColor(
        {(state >> 8 & 255) / 255.0, (state >> 16 & 255) / 255.0, (state >> 24) / 255.0, 1});
    focus.context().fillRect(Rect(i % 64, i / 64, 1, 1));
  }

  const std::string failure = writeFailure(picture, *noise);
  EXPECT_NE(failure.find("No space left on device"), std::string::npos) << failure;
  EXPECT_TRUE(systemtest::fileText(picture) == old) << "the old picture changed";
  EXPECT_EQ((std::set<fs::path>{fs::directory_iterator(mount), {}}), (std::set{mount / "filler", picture}))
      << "the temporary file stays behind";
}

TEST(PngReplacement, FilesThatCannotBeReadOrWrittenThrowErrorsThatNameTheCause) {
  const TemporaryDirectory directory;
  EXPECT_THROW(Image::readPng(directory.path() + "/missing.png"), ImageError);
  std::ofstream(directory.path() + "/text.png") << "not a picture";
  EXPECT_THROW(Image::readPng(directory.path() + "/text.png"), ImageError);
  EXPECT_THROW(Image::create({0, 0})->writePng(directory.path() + "/empty.png"), ImageError);
  EXPECT_FALSE(std::filesystem::exists(directory.path() + "/empty.png"));
  std::ofstream(directory.path() + "/file") << "a file";
  EXPECT_NE(writeFailure(directory.path() + "/file/picture.png").find("Not a directory"), std::string::npos);
  EXPECT_NE(writeFailure(directory.path()).find("Is a directory"), std::string::npos);
  EXPECT_NE(writeFailure(directory.path() + "/missing/a.png").find("No such file or directory"),
            std::string::npos);
}

}  // namespace
}  // namespace platform::test
