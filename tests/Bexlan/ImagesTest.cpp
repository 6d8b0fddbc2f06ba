#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Bexlan/Images.hpp"
#include "Bexlan/LayerSnapshot.hpp"
#include "Bexlan/StringDrawing.hpp"
#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "Platform/Graphics/SymbolRenderer.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

namespace {

using Bexlan::ImageRef;
using Bexlan::Images;
using platform::Color;
using platform::Rgba;
using platform::Size;
namespace fs = std::filesystem;

const std::vector<std::string> symbolSet({"cpu", "memorychip", "chevron.up", "chevron.down",
                                          "arrowtriangle.up", "arrowtriangle.down", "sdcard", "internaldrive",
                                          "externaldrive", "square.grid.2x2.fill",
                                          "square.grid.3x1.fill.below.line.grid.1x2"});

// The number of drawn pixels, or -1 when one of them is not black.
int drawnInBlack(const platform::Image& image) {
  int drawn = 0;
  for (int row = 0; row < image.pixelHeight(); ++row) {
    for (int column = 0; column < image.pixelWidth(); ++column) {
      const Rgba p = image.pixel(column, row);
      if (p.alpha > 0 && std::max({p.red, p.green, p.blue}) > 0.01) return -1;
      drawn += p.alpha > 0;
    }
  }
  return drawn;
}

// The summed alpha difference of two images of one size, the second optionally upside down.
double difference(const platform::Image& a, const platform::Image& b, bool flipped = false) {
  double sum = 0;
  const int side = a.pixelHeight();
  for (int row = 0; row < side; ++row)
    for (int column = 0; column < side; ++column)
      sum += std::abs(a.pixel(column, row).alpha - b.pixel(column, flipped ? side - 1 - row : row).alpha);
  return sum;
}

bool isEmptyTemplate(const ImageRef& image) {
  return image->isEmpty() && image->size() == Size{} && image->isTemplate();
}

TEST(ImagesTest, EverySymbolIsADistinctBlackTemplateOfItsSizeAndAnUnknownOneIsEmpty) {
  std::vector<ImageRef> images;
  for (const std::string& name : symbolSet) {
    SCOPED_TRACE(name);
    const ImageRef image = images.emplace_back(Images::systemSymbol(name));
    EXPECT_EQ(std::tuple(image->isTemplate(), image->size(), image->pixelWidth()),
              std::tuple(true, Size{16, 16}, 32));
    const int drawn = drawnInBlack(*image);
    EXPECT_GT(drawn, 32);
    EXPECT_LT(drawn, 32 * 32);
    for (size_t other = 0; other + 1 < images.size(); ++other)
      EXPECT_GT(difference(*image, *images[other]), 20) << "looks like " << symbolSet[other];
  }
  // The down forms are the up forms upside down, and an up form points up: its first drawn row (the tip)
  // is narrower than its last.
  for (const auto& [up, down] :
       {std::pair("chevron.up", "chevron.down"), std::pair("arrowtriangle.up", "arrowtriangle.down")}) {
    const ImageRef image = Images::systemSymbol(up);
    EXPECT_LT(difference(*image, *Images::systemSymbol(down), true), 5) << up;
    std::vector<int> widths;  // of the drawn rows, top to bottom
    for (int row = 0; row < 32; ++row) {
      int first = 32, last = -1;
      for (int column = 0; column < 32; ++column) {
        if (image->pixel(column, row).alpha < 0.5) continue;
        first = std::min(first, column);
        last = column;
      }
      if (last >= 0) widths.push_back(last - first);
    }
    ASSERT_FALSE(widths.empty());
    EXPECT_LT(widths.front() * 2, widths.back()) << up;
  }
  const ImageRef large = Images::configuredSymbol("cpu", 24, 0);
  EXPECT_EQ(std::tuple(large->isTemplate(), large->size(), large->pixelWidth()),
            std::tuple(true, Size{24, 24}, 48));
  EXPECT_EQ(difference(*large, *Images::configuredSymbol("cpu", 24, 0.62)), 0);  // one weight only
  for (double bad : {0.0, -3.0, std::numeric_limits<double>::quiet_NaN()})
    EXPECT_TRUE(isEmptyTemplate(Images::configuredSymbol("cpu", bad, 0)));
  for (const char* unknown : {"", "no.such.symbol", "go-up-symbolic", "CPU"})
    EXPECT_TRUE(isEmptyTemplate(Images::systemSymbol(unknown))) << unknown;
}

TEST(ImagesTest, NamedImagesComeFromTheTopOfTheBundle) {
  const volumetest::TemporaryDirectory folder;
  fs::create_directory(fs::path(folder.path()) / "inner");
  const ImageRef written = Images::tintedSymbol("cpu", *Color::rgb(0, 0.5, 0));
  for (const char* file : {"/board.png", "/inner/nested.png"}) written->writePng(folder.path() + file);
  std::ofstream(folder.path() + "/broken.png") << "not a PNG";
  const auto bundle = platform::Bundle::atPath(folder.path());

  const ImageRef read = Images::named("board", *bundle);
  EXPECT_FALSE(read->isTemplate());
  ASSERT_EQ(read->pixelWidth(), written->pixelWidth());
  EXPECT_EQ(difference(*read, *written), 0);
  const std::string outside = "../" + fs::path(folder.path()).filename().string() + "/board";
  const std::vector<std::string> missing{"absent", "broken", "inner/nested", "board.png", outside};
  for (const std::string& name : missing) EXPECT_TRUE(Images::named(name, *bundle)->isEmpty()) << name;
  EXPECT_TRUE(Images::named("no-such-resource-anywhere")->isEmpty());
}

TEST(SymbolRendererTest, FitsAnySvgIntoTheSquareAsABlackTemplate) {
  const volumetest::TemporaryDirectory folder;
  const fs::path dir = folder.path(), bar = dir / "bar.svg";  // a wide red bar: fitted, centred vertically
  std::ofstream(bar) << R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="10">)"
                     << R"(<rect width="20" height="10" fill="#ff0000"/></svg>)";
  const auto image = platform::SymbolRenderer::render(bar, 10, 1);
  EXPECT_TRUE(image->isTemplate());
  ASSERT_EQ(image->pixelWidth(), 10);
  EXPECT_EQ(std::tuple(image->pixel(5, 0).alpha, image->pixel(5, 9).alpha), std::tuple(0.0, 0.0));
  EXPECT_EQ(std::tuple(image->pixel(0, 3), image->pixel(9, 6)),
            std::tuple(Rgba{0, 0, 0, 1}, Rgba{0, 0, 0, 1}));
  std::ofstream(dir / "broken.svg") << "<svg";
  for (const char* file : {"broken.svg", "absent.svg"})
    EXPECT_TRUE(isEmptyTemplate(platform::SymbolRenderer::render(dir / file, 10, 1))) << file;
  EXPECT_EQ(platform::SymbolRenderer::iconFile("pan-up-symbolic"),
            platform::SymbolRenderer::themeDirectory() / "ui" / "pan-up-symbolic.svg");
  EXPECT_EQ(platform::SymbolRenderer::iconFile("../ui/pan-up-symbolic"), std::nullopt);
}

TEST(LayerSnapshotTest, TruncatedFrameKeepsTheBottomLeftCorner) {
  const auto layer = std::make_shared<platform::Layer>();
  layer->setFrame({0, 0, 10.7, 5.9});
  layer->setBackgroundColor(Rgba{1, 0, 0, 1});
  const auto bottomRow = std::make_shared<platform::Layer>();
  bottomRow->setFrame({0, 0, 1, 1});
  bottomRow->setBackgroundColor(Rgba{0, 0, 1, 1});
  layer->addSublayer(bottomRow);

  const auto image = Bexlan::CALayer::snapshotImage(*layer);
  ASSERT_EQ(std::pair(image->pixelWidth(), image->pixelHeight()), std::pair(10, 5));
  EXPECT_EQ(std::pair(image->pixel(0, 4), image->pixel(9, 0)), std::pair(Rgba{0, 0, 1, 1}, Rgba{1, 0, 0, 1}));
  for (const platform::Rect frame :
       {platform::Rect{0, 0, 0.9, 4}, {0, 0, 4, std::numeric_limits<double>::infinity()}}) {
    layer->setFrame(frame);
    EXPECT_TRUE(Bexlan::CALayer::snapshotImage(*layer)->isEmpty());
  }
}

// A full block fills its line from the descender to the ascender, so its ink is centred where its line is.
TEST(DrawVerticallyCentered, TheInksMiddleIsTheRectanglesMiddle) {
  const platform::TextAttributes attributes{platform::Font::systemFont(20), {0, 0, 0, 1}};
  for (const platform::Rect rect :
       {platform::Rect(10, 10, 60, 80), platform::Rect(0, 37, 30, 41), platform::Rect(5, 60, 80, 10)}) {
    auto image = platform::Image::create({100, 100});
    {
      platform::ImageFocus focus(*image);
      Bexlan::String::drawVerticallyCentered("\u2588", rect, attributes);
    }
    const auto ink = platform::test::inkBox(*image, 0.5);
    ASSERT_FALSE(ink.isEmpty());
    // Rows count from the top of the 100-point image: the rectangle's middle is at 100 - midY.
    EXPECT_NEAR((ink.top + ink.bottom + 1) / 2.0, 100 - rect.midY(), 1.0) << ink.top << "-" << ink.bottom;
    EXPECT_GE(ink.left, rect.origin.x);
  }
  // Without a current context it draws nothing.
  Bexlan::String::drawVerticallyCentered("text", platform::Rect(0, 0, 10, 10));
}

}  // namespace
