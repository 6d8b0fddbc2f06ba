#include <gtest/gtest.h>

#include <filesystem>
#include <memory>
#include <string>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/SymbolRenderer.hpp"
#include "Platform/UI/EventHarness.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Graph/DoubleBarGraph.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

// Pictures of charts as a user sees them, written to gallery/ beside bin/, with the pixels that make or
// break the look checked.
namespace Tavrix {
namespace {

using platform::Rect;
using platform::Rgba;
using platform::test::pixelAt;

std::shared_ptr<platform::Image> galleryPicture(platform::View& view, const std::string& name) {
  const auto directory =
      std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "gallery";
  std::filesystem::create_directories(directory);
  auto image = platform::ViewRenderer::image(view, 2);
  image->writePng(directory / (name + ".png"));
  return image;
}

// The most opaque pixel of a rectangle of the picture: a point of the glyphs drawn there.
Rgba inkIn(const platform::Image& image, const Rect& rect) {
  Rgba ink{0, 0, 0, 0};
  for (double y = rect.minY() + 0.25; y < rect.maxY(); y += 0.5) {
    for (double x = rect.minX() + 0.25; x < rect.maxX(); x += 0.5) {
      const Rgba pixel = pixelAt(image, x, y);
      if (pixel.alpha > ink.alpha) ink = pixel;
    }
  }
  return ink;
}

// A double bar graph of two columns, 400 x 200, with scale and column texts.
std::shared_ptr<DoubleBarGraph> networkGraph() {
  auto graph = platform::View::create<DoubleBarGraph>(Rect(0, 0, 400, 200));
  graph->setData({{1200, 2500}, {700, 300}});
  graph->setLegendLabelsX({"eth0", "wlan0"});
  graph->setLegendLabelsY({"0", "768", "1.5 K", "2.3 K", "3 K"});
  return graph;
}

// The hovered column's delete symbol, a real trash can, turns red on its glyph only: the corner of its
// rectangle (129.5, 184, 16 x 16) stays clear.
TEST(GalleryLooks, DeleteSymbolTurnsRedOnlyOnItsGlyph) {
  platform::ScopedMainScreen screen{platform::Screen{1}};
  const auto file = platform::SymbolRenderer::iconFile("user-trash-symbolic");
  if (!file) GTEST_SKIP() << "the Adwaita icon theme is not installed";
  auto graph = networkGraph();
  graph->setInteractionImage(platform::SymbolRenderer::render(*file, 16, 2));
  platform::EventHarness(graph).moveMouse({137.5, 192});
  const auto image = galleryPicture(*graph, "double-bar-graph-trash");
  platform::test::expectRgba(inkIn(*image, Rect(129.5, 184, 16, 16)), platform::test::opaqueRed);
  EXPECT_EQ(pixelAt(*image, 129.75, 184.25).alpha, 0);
}

// A graph made before it joins a dark window writes its scale and column texts light, as dark windows do.
TEST(GalleryLooks, DoubleBarGraphTextsFollowTheDarkAppearance) {
  platform::ScopedMainScreen screen{platform::Screen{1}};
  auto graph = networkGraph();
  graph->setAppearance(platform::Appearance(std::string(platform::Appearance::darkAqua)));
  const auto image = galleryPicture(*graph, "double-bar-graph-dark-texts");
  // The scale text "3 K" (4, 180, 56 x 11) and the column text "eth0" under the first column.
  for (const Rect& text : {Rect(4, 180, 56, 11), Rect(120, 1, 60, 12)}) {
    const Rgba ink = inkIn(*image, text);
    EXPECT_GT(ink.alpha, 0.5);
    EXPECT_GT(ink.red, 0.5 * ink.alpha) << "dark text on a dark window";
  }
}

}  // namespace
}  // namespace Tavrix
