#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "Platform/UI/EventHarness.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/BarGraph.hpp"
#include "Tavrix/Graph/DoubleBarGraph.hpp"
#include "Tavrix/Graph/HistoryView.hpp"
#include "Tavrix/Graph/SeparatedBarGraph.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

// Renders the four self-contained charts, light and dark, to PNG files under the build tree (gallery/ beside
// bin/) for a person to look at, and checks pixels worked out by hand.
namespace Tavrix {
namespace {

using platform::Appearance;
using platform::Rect;
using platform::Rgba;
using platform::test::expectPixels;

constexpr double scale = 2;

std::shared_ptr<platform::Image> picture(platform::View& view, const std::string& name) {
  const auto directory = std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "gallery";
  std::filesystem::create_directories(directory);
  auto image = platform::ViewRenderer::image(view, scale);
  image->writePng(directory / (name + (view.effectiveAppearance().isDark() ? "-dark.png" : "-light.png")));
  return image;
}

Rgba premultiplied(const platform::ColorRef& color, const Appearance& appearance) {
  const Rgba rgba = color->rgba(appearance);
  return {rgba.red * rgba.alpha, rgba.green * rgba.alpha, rgba.blue * rgba.alpha, rgba.alpha};
}

// count samples of base + amplitude × sin(step × index).
std::vector<double> wave(int count, double base, double amplitude, double step) {
  std::vector<double> samples;
  for (int index = 0; index < count; ++index) samples.push_back(base + amplitude * std::sin(index * step));
  return samples;
}

// A 16 x 16 black square marked as a template, standing in for a delete symbol.
std::shared_ptr<const platform::Image> templateIcon() {
  auto icon = platform::Image::create({16, 16}, scale);
  {
    platform::ImageFocus focus(*icon);
    focus.context().setFillColor({0, 0, 0, 1});
    focus.context().fillRect(Rect(3, 3, 10, 10));
  }
  icon->setTemplate(true);
  return icon;
}

class ChartsGallery : public testing::TestWithParam<std::string_view> {
 protected:
  template <class T>
  std::shared_ptr<T> chart(const Rect& frame) {
    auto view = platform::View::create<T>(frame);
    view->setAppearance(appearance);
    return view;
  }

  platform::ScopedMainScreen screen{platform::Screen{1}};
  Appearance appearance{std::string(GetParam())};
};

INSTANTIATE_TEST_SUITE_P(LightAndDark, ChartsGallery, testing::Values(Appearance::aqua, Appearance::darkAqua));

TEST_P(ChartsGallery, BarGraphAndSeparatedBarGraphHovered) {
  auto bars = chart<BarGraph>(Rect(0, 0, 300, 200));
  bars->setData({50, 150, 90, 230});
  bars->setLabels({"Mon", "Tue", "Wed", "Thu"});
  picture(*bars, "bar-graph");

  auto graph = chart<SeparatedBarGraph>(Rect(0, 0, 300, 100));
  graph->setDataTop(wave(30, 1024, 900, 0.4));
  graph->setDataBottom(wave(30, 600, 500, 0.3));
  graph->setLegendLabelsY({"2 KB/s", "1 KB/s", "0", "2 KB/s", "1 KB/s"});
  platform::EventHarness(graph).moveMouse({150, 50});
  picture(*graph, "separated-bar-graph-hovered");
}

// Two columns of 147 points, 170 apart from x 64; the pointer on the first column's delete rectangle
// (129.5, 184, 16 x 16): the band reaches a point left of the left bar (64.5), and the template icon is red.
TEST_P(ChartsGallery, DoubleBarGraphHoveredWithItsIcon) {
  auto graph = chart<DoubleBarGraph>(Rect(0, 0, 400, 200));
  graph->setData({{1200, 2500}, {700, 300}});
  graph->setLegendLabelsX({"eth0", "wlan0"});
  graph->setLegendLabelsY({"0", "768", "1.5 K", "2.3 K", "3 K"});
  graph->setInteractionImage(templateIcon());
  platform::EventHarness pointer(graph);
  pointer.moveMouse({135, 190});
  const Rgba band = premultiplied(SystemColors::alternatingContentBackgroundColors()[1], appearance);
  // The left bar's half-alpha green fill lies over the band.
  const Rgba greenOverBand{band.red / 2, 0.5 + band.green / 2, band.blue / 2, 0.5 + band.alpha / 2};
  expectPixels(*picture(*graph, "double-bar-graph-hovered"),
               {{63.75, 100, band}, {137.5, 192, Rgba{1, 0, 0, 1}}, {100, 50, greenOverBand}});
  // Outside the rectangle the icon keeps its own colour.
  pointer.moveMouse({135, 100});
  expectPixels(*platform::ViewRenderer::image(*graph, scale), {{137.5, 192, Rgba{0, 0, 0, 1}}});
}

// Squares 3 points wide on a 5-point pitch; the gradient runs from pink at the top edge (48) through red at
// the middle to orange (243, 143, 67) at the bottom, so the middle of the bottom square (y 1.5, 31/32 of
// the way down) is about (242.4, 138.4, 66.8).
TEST_P(ChartsGallery, HistoryView) {
  auto view = chart<HistoryView>(Rect(0, 0, 300, 48));
  view->setData(wave(60, 50, 45, 0.25));
  expectPixels(*picture(*view, "history-view"),
               {{1.5, 1.5, Rgba{242.4 / 255, 138.4 / 255, 66.8 / 255, 1}},
                {1.5, 46.5, premultiplied(SystemColors::tertiaryLabelColor(), appearance)},
                {4, 1.5, platform::test::transparent}});
}

}  // namespace
}  // namespace Tavrix
