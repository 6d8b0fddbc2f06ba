#include "Bexlan/Images.hpp"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <utility>
#include <vector>

#include "Platform/Graphics/SymbolRenderer.hpp"

namespace {

using Bexlan::ImageRef;
using Bexlan::Images;
using platform::Color;
using platform::Image;
using platform::Rgba;
using platform::Size;
namespace fs = std::filesystem;

const char* const symbolSet[] = {
    "cpu",           "memorychip",    "chevron.up",           "chevron.down",
    "arrowtriangle.up", "arrowtriangle.down", "sdcard",       "internaldrive",
    "externaldrive", "square.grid.2x2.fill", "square.grid.3x1.fill.below.line.grid.1x2",
};

// How many pixels are drawn at all, and whether every drawn pixel has the colour (premultiplied, so each
// component is the colour's times the pixel's alpha).
struct Coverage {
  int drawn = 0;
  bool allOfColour = true;
};

Coverage coverage(const Image& image, const Rgba& colour) {
  Coverage result;
  for (int row = 0; row < image.pixelHeight(); ++row) {
    for (int column = 0; column < image.pixelWidth(); ++column) {
      const Rgba pixel = image.pixel(column, row);
      if (pixel.alpha == 0) continue;
      ++result.drawn;
      const double tolerance = 2.0 / 255;
      result.allOfColour = result.allOfColour && std::abs(pixel.red - colour.red * pixel.alpha) <= tolerance &&
                           std::abs(pixel.green - colour.green * pixel.alpha) <= tolerance &&
                           std::abs(pixel.blue - colour.blue * pixel.alpha) <= tolerance;
    }
  }
  return result;
}

void expectEmptyTemplate(const ImageRef& image) {
  ASSERT_NE(image, nullptr);
  EXPECT_TRUE(image->isEmpty());
  EXPECT_EQ(image->size(), Size{});
  EXPECT_TRUE(image->isTemplate());
}

TEST(ImagesTest, EverySymbolOfTheSetIsABlackTemplateOfTheDefaultSize) {
  for (const char* name : symbolSet) {
    SCOPED_TRACE(name);
    const ImageRef image = Images::systemSymbol(name);
    ASSERT_NE(image, nullptr);
    EXPECT_TRUE(image->isTemplate());
    EXPECT_EQ(image->size(), (Size{16, 16}));
    EXPECT_EQ(image->scale(), 2);
    EXPECT_EQ(image->pixelWidth(), 32);
    const Coverage drawn = coverage(*image, Rgba{0, 0, 0, 1});
    EXPECT_GT(drawn.drawn, 32);
    EXPECT_LT(drawn.drawn, 32 * 32);
    EXPECT_TRUE(drawn.allOfColour);
  }
}

TEST(ImagesTest, SymbolsOfTheSetAreDistinctDrawings) {
  std::vector<ImageRef> images;
  for (const char* name : symbolSet) images.push_back(Images::systemSymbol(name));
  for (size_t a = 0; a < images.size(); ++a) {
    for (size_t b = a + 1; b < images.size(); ++b) {
      double difference = 0;
      for (int row = 0; row < 32; ++row) {
        for (int column = 0; column < 32; ++column) {
          difference += std::abs(images[a]->pixel(column, row).alpha - images[b]->pixel(column, row).alpha);
        }
      }
      EXPECT_GT(difference, 20) << symbolSet[a] << " and " << symbolSet[b] << " look alike";
    }
  }
}

// The up and down forms of a symbol are mirror images of each other, so a table that swapped them or sent
// both to one drawing fails.
TEST(ImagesTest, UpAndDownSymbolsAreMirrorImages) {
  for (const auto& [up, down] : {std::pair{"chevron.up", "chevron.down"},
                                 std::pair{"arrowtriangle.up", "arrowtriangle.down"}}) {
    SCOPED_TRACE(up);
    const ImageRef upImage = Images::systemSymbol(up);
    const ImageRef downImage = Images::systemSymbol(down);
    double upperHalf = 0;
    double lowerHalf = 0;
    double mirrorDifference = 0;
    const int side = upImage->pixelHeight();
    for (int row = 0; row < side; ++row) {
      for (int column = 0; column < side; ++column) {
        const double alpha = upImage->pixel(column, row).alpha;
        (row < side / 2 ? upperHalf : lowerHalf) += alpha;
        mirrorDifference += std::abs(alpha - downImage->pixel(column, side - 1 - row).alpha);
      }
    }
    EXPECT_GT(upperHalf + lowerHalf, 10);
    EXPECT_LT(mirrorDifference, 0.05 * (upperHalf + lowerHalf));
  }
}

TEST(ImagesTest, NamesOutsideTheSetGiveTheEmptyTemplate) {
  for (const char* name : {"", "no.such.symbol", "go-up-symbolic", "../ui/pan-up-symbolic", "CPU"}) {
    SCOPED_TRACE(name);
    expectEmptyTemplate(Images::systemSymbol(name));
    expectEmptyTemplate(Images::configuredSymbol(name, 24, 0.3));
  }
}

TEST(ImagesTest, ConfiguredSymbolsTakeThePointSize) {
  const ImageRef large = Images::configuredSymbol("cpu", 24, 0);
  EXPECT_EQ(large->size(), (Size{24, 24}));
  EXPECT_EQ(large->pixelWidth(), 48);
  EXPECT_TRUE(large->isTemplate());
  EXPECT_GT(coverage(*large, {}).drawn, coverage(*Images::systemSymbol("cpu"), {}).drawn);
  // One weight is all the drawings have.
  const ImageRef heavy = Images::configuredSymbol("cpu", 24, 0.62);
  for (int i = 0; i < 48; ++i) EXPECT_EQ(heavy->pixel(i, i), large->pixel(i, i));

  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (double bad : {0.0, -3.0, nan, std::numeric_limits<double>::infinity()}) {
    expectEmptyTemplate(Images::configuredSymbol("cpu", bad, 0));
  }
}

TEST(ImagesTest, TintingColoursOnlyTemplatesAndLeavesTheOriginalAlone) {
  const Rgba red{1, 0, 0, 1};
  const auto colour = Color::rgb(1, 0, 0);
  const ImageRef symbol = Images::systemSymbol("memorychip");
  const ImageRef tinted = Images::tinted(symbol, *colour);
  ASSERT_NE(tinted, symbol);
  EXPECT_FALSE(tinted->isTemplate());
  EXPECT_EQ(tinted->size(), symbol->size());
  const Coverage before = coverage(*symbol, Rgba{0, 0, 0, 1});
  const Coverage after = coverage(*tinted, red);
  EXPECT_EQ(after.drawn, before.drawn);
  EXPECT_TRUE(after.allOfColour);
  EXPECT_TRUE(symbol->isTemplate());
  EXPECT_TRUE(coverage(*symbol, Rgba{0, 0, 0, 1}).allOfColour);

  // Not a template: the very same image.
  EXPECT_EQ(Images::tinted(tinted, *Color::green()), tinted);
  const ImageRef plain = Image::create({4, 4});
  EXPECT_EQ(Images::tinted(plain, *colour), plain);
  EXPECT_EQ(Images::tinted(nullptr, *colour), nullptr);
}

TEST(ImagesTest, TintedFormsCombineSizeAndColour) {
  const Rgba blue{0, 0, 1, 1};
  const auto colour = Color::rgb(0, 0, 1);
  const ImageRef tinted = Images::tintedSymbol("sdcard", *colour);
  EXPECT_EQ(tinted->size(), (Size{16, 16}));
  EXPECT_FALSE(tinted->isTemplate());
  EXPECT_TRUE(coverage(*tinted, blue).allOfColour);
  EXPECT_EQ(coverage(*tinted, blue).drawn, coverage(*Images::systemSymbol("sdcard"), {}).drawn);

  const ImageRef configured = Images::configuredSymbol("internaldrive", *colour, 20, 0);
  EXPECT_EQ(configured->size(), (Size{20, 20}));
  EXPECT_FALSE(configured->isTemplate());
  const Coverage drawn = coverage(*configured, blue);
  EXPECT_GT(drawn.drawn, 40);
  EXPECT_TRUE(drawn.allOfColour);
}

// A temporary folder used as a resource bundle, removed with everything in it.
struct TemporaryBundle {
  fs::path path = fs::temp_directory_path() / ("images-test-" + std::to_string(::getpid()) + ".bundle");
  TemporaryBundle() { fs::create_directories(path); }
  ~TemporaryBundle() { fs::remove_all(path); }
};

TEST(ImagesTest, NamedImagesComeFromTheTopOfTheBundle) {
  TemporaryBundle folder;
  const ImageRef written = Images::tintedSymbol("cpu", *Color::rgb(0, 0.5, 0));
  written->writePng((folder.path / "board.png").string());
  std::ofstream(folder.path / "broken.png") << "not a PNG";
  fs::create_directories(folder.path / "inner");
  written->writePng((folder.path / "inner" / "nested.png").string());
  const auto bundle = platform::Bundle::atPath(folder.path);
  ASSERT_NE(bundle, nullptr);

  const ImageRef read = Images::named("board", *bundle);
  EXPECT_EQ(read->pixelWidth(), written->pixelWidth());
  EXPECT_EQ(read->pixelHeight(), written->pixelHeight());
  EXPECT_FALSE(read->isTemplate());
  for (int i = 0; i < read->pixelWidth(); ++i) EXPECT_EQ(read->pixel(i, 10), written->pixel(i, 10));

  for (const char* missing : {"absent", "broken", "inner/nested", "", "board.png"}) {
    SCOPED_TRACE(missing);
    const ImageRef image = Images::named(missing, *bundle);
    EXPECT_TRUE(image->isEmpty());
    EXPECT_FALSE(image->isTemplate());
  }
  const std::string outside = "../" + folder.path.filename().string() + "/board";
  EXPECT_TRUE(Images::named(outside, *bundle)->isEmpty());
  EXPECT_TRUE(Images::named("no-such-resource-anywhere")->isEmpty());
}

TEST(SymbolRendererTest, FitsAnySvgIntoTheSquareAsABlackTemplate) {
  TemporaryBundle folder;
  // A wide red bar: fitted into the square it keeps its aspect ratio and is centred vertically.
  const fs::path bar = folder.path / "bar.svg";
  std::ofstream(bar) << R"(<svg xmlns="http://www.w3.org/2000/svg" width="20" height="10">)"
                     << R"(<rect width="20" height="10" fill="#ff0000"/></svg>)";
  const auto image = platform::SymbolRenderer::render(bar, 10, 1);
  EXPECT_TRUE(image->isTemplate());
  ASSERT_EQ(image->pixelWidth(), 10);
  EXPECT_EQ(image->pixel(5, 0).alpha, 0);
  EXPECT_EQ(image->pixel(5, 9).alpha, 0);
  EXPECT_EQ(image->pixel(0, 5), (Rgba{0, 0, 0, 1}));
  EXPECT_EQ(image->pixel(9, 4), (Rgba{0, 0, 0, 1}));

  std::ofstream(folder.path / "broken.svg") << "<svg";
  expectEmptyTemplate(platform::SymbolRenderer::render(folder.path / "broken.svg", 10, 1));
  expectEmptyTemplate(platform::SymbolRenderer::render(folder.path / "absent.svg", 10, 1));
  EXPECT_THROW(platform::SymbolRenderer::render(bar, 10, 0), std::invalid_argument);

  EXPECT_EQ(platform::SymbolRenderer::iconFile("pan-up-symbolic"),
            platform::SymbolRenderer::themeDirectory() / "ui" / "pan-up-symbolic.svg");
  EXPECT_EQ(platform::SymbolRenderer::iconFile("no-such-icon-symbolic"), std::nullopt);
  EXPECT_EQ(platform::SymbolRenderer::iconFile("../ui/pan-up-symbolic"), std::nullopt);
}

}  // namespace
