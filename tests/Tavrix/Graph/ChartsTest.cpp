#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <map>
#include <optional>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "Platform/UI/EventHarness.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/BarGraph.hpp"
#include "Tavrix/Graph/DoubleBarGraph.hpp"
#include "Tavrix/Graph/HistoryView.hpp"
#include "Tavrix/Graph/SeparatedBarGraph.hpp"
#include "tests/Tavrix/GalleryPicture.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

// The bar, double bar, separated bar and history charts: scale tops, the worked examples checked in pixels,
// the pointer and the lit squares; then each chart, light and dark, in gallery/ for a person to look at.
namespace Tavrix {
namespace {

using platform::Rect;
using platform::Rgba;
using platform::View;
using platform::test::expectPixels;
using platform::test::transparent;

// The view drawn at four pixels per point, so that quarter-point edges fall between pixels.
std::shared_ptr<platform::Image> render(View& view) { return platform::ViewRenderer::image(view, 4); }

// The most opaque pixel of an image inside the rectangle (y-up points), read at each pixel's centre.
Rgba strongestInk(const platform::Image& image, const Rect& rect) {
  const double step = 1 / image.scale();
  Rgba ink{0, 0, 0, 0};
  for (double y = rect.minY() + step / 2; y < rect.maxY(); y += step) {
    for (double x = rect.minX() + step / 2; x < rect.maxX(); x += step) {
      const Rgba pixel = platform::test::pixelAt(image, x, y);
      if (pixel.alpha > ink.alpha) ink = pixel;
    }
  }
  return ink;
}

// Whether any pixel inside the rectangle is covered.
bool inkIn(const platform::Image& image, const Rect& rect) { return strongestInk(image, rect).alpha > 0.05; }

TEST(BarGraphs, ScaleTopsAreTheNextHundredOrLeadingDigitAndSaturate) {
  auto graph = View::create<BarGraph>(Rect(0, 0, 300, 200));
  const std::int32_t largest = std::numeric_limits<std::int32_t>::max();
  for (const auto& [data, top] : std::vector<std::pair<std::vector<std::int32_t>, std::int32_t>>{
           {{}, 100}, {{-5, 0}, 100}, {{99}, 100}, {{100, 3}, 200}, {{250}, 300}, {{largest}, largest}}) {
    graph->setData(data);
    EXPECT_EQ(graph->calculateMax(), top) << testing::PrintToString(data);
  }
  // The double bar graph raises the leading digit per thousand step.
  auto pairs = View::create<DoubleBarGraph>(Rect(0, 0, 400, 200));
  const std::uint64_t most = std::numeric_limits<std::uint64_t>::max();
  const std::pair<std::uint64_t, std::uint64_t> tops[] = {
      {0, 41'943'040}, {7, 8}, {999, 1000}, {1000, 2048}, {2500, 3072}, {5'300'000, 6'291'456}, {most, most}};
  for (const auto& [number, top] : tops) {
    pairs->setData({{number / 2, number}, {0, number / 3}});
    EXPECT_EQ(pairs->calculateMax(), top) << number;
  }
}

// 300 x 200, [50, 150]: scale top 200, plot height 168, bars 113 wide 23 apart.
TEST(BarGraph, DrawsTheWorkedExample) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  auto graph = View::create<BarGraph>(Rect(0, 0, 300, 200));
  graph->setData({50, 150});
  const auto image = render(*graph);
  const Rgba grid = gallery::premultiplied(SystemColors::separatorColor()->rgba());
  // Bar 0 runs from x 48.5 to 161.5 and up to 57.5, bar 1 from 184.5 to 297.5 and up to 141.5: the outline
  // is a point wide, its outer half opaque, its inner half under the fill. The grid's middle line (100.5)
  // and top line (183.5) are half a point thick; its right side at 299.5 runs from 16 up to 184.
  gallery::expectColorAt(*image, Rgba{0.5, 0, 0, 0.5}, {{100, 30}});
  gallery::expectColorAt(*image, Rgba{1, 0, 0, 1}, {{100, 57.9}, {48.1, 30}, {161.9, 30}, {240, 141.9}});
  gallery::expectColorAt(*image, grid, {{170, 100.4}, {170, 183.4}, {299.5, 183.9}});
  gallery::expectColorAt(*image, transparent,
                         {{100, 58.1}, {47.9, 30}, {162.1, 30}, {240, 142.1}, {170, 100.8}, {299.5, 184.1}});
  // The value labels "0" ... "200" lie left of the grid; bar labels only with one text per bar.
  EXPECT_TRUE(inkIn(*image, Rect(4, 175, 40, 12)));
  EXPECT_FALSE(inkIn(*image, Rect(50, 0, 250, 14)));
  graph->setLabels({"a"});
  graph->setNeedsDisplay(true);
  EXPECT_FALSE(inkIn(*render(*graph), Rect(50, 0, 250, 14)));
  // Labels are only stored: they show at the next display something else causes.
  graph->setLabels({"a", "b"});
  EXPECT_FALSE(inkIn(*render(*graph), Rect(50, 0, 250, 14)));
  graph->setNeedsDisplay(true);
  EXPECT_TRUE(inkIn(*render(*graph), Rect(50, 0, 250, 14)));
}

// 400 x 200, [(1000, 2500)]: scale top 3072, plot height 168, bars 158.5 wide.
TEST(DoubleBarGraph, DrawsTheWorkedExample) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  auto graph = View::create<DoubleBarGraph>(Rect(0, 0, 400, 200));
  graph->setData({{1000, 2500}});
  const Rgba grid = gallery::premultiplied(SystemColors::tertiaryLabelColor()->rgba());
  const auto image = render(*graph);
  // Left bar 64.5 to 222.5 up to 69.5 in green; right bar 224.5 to 383.5 up to 152 in red; a point-wide
  // outline whose inner half lies under the half-alpha fill.
  // Grid lines half a point thick: top 183.75, quarter 58.25 (between the bars), bottom 15.75.
  gallery::expectColorAt(*image, Rgba{0, 0.5, 0, 0.5}, {{150, 40}});
  gallery::expectColorAt(*image, Rgba{0, 1, 0, 1}, {{150, 69.9}, {222.9, 40}});
  gallery::expectColorAt(*image, Rgba{1, 0, 0, 1}, {{300, 152.4}, {383.9, 100}});
  gallery::expectColorAt(*image, grid, {{200, 183.8}, {223.5, 58.3}, {200, 15.6}});
  gallery::expectColorAt(*image, transparent,
                         {{150, 70.1}, {300, 152.6}, {384.1, 100}, {200, 184.1}, {223.5, 58.6}, {200, 15.4}});
  // Scale texts only when there are five, column texts only one per column.
  EXPECT_FALSE(inkIn(*image, Rect(0, 0, 64, 200)));
  graph->setLegendLabelsY({"0", "1", "2", "3"});
  EXPECT_FALSE(inkIn(*render(*graph), Rect(0, 0, 64, 200)));
  graph->setLegendLabelsY({"0", "1", "2", "3", "4"});
  graph->setLegendLabelsX({"a", "b"});
  const auto labelled = render(*graph);
  EXPECT_TRUE(inkIn(*labelled, Rect(4, 11, 56, 11)));
  EXPECT_TRUE(inkIn(*labelled, Rect(4, 180, 56, 11)));
  EXPECT_FALSE(inkIn(*labelled, Rect(64, 0, 336, 13)));
  graph->setLegendLabelsX({"a"});
  EXPECT_TRUE(inkIn(*render(*graph), Rect(64, 0, 336, 13)));
}

// 400 x 200 with two columns: 147 wide, 170 apart, the first at x 64.
struct DoubleBarGraphPointer : testing::Test {
  void SetUp() override {
    graph->setData({{1, 2}, {3, 4}});
    graph->setIndexChanged([this] { seen.push_back(graph->index()); });
    graph->setClickedInRect([this] { ++clicks; });
    graph->displayIfNeeded();
  }

  std::shared_ptr<DoubleBarGraph> graph = View::create<DoubleBarGraph>(Rect(0, 0, 400, 200));
  platform::EventHarness pointer{graph};
  std::vector<std::optional<std::int64_t>> seen;
  int clicks = 0;
};

TEST_F(DoubleBarGraphPointer, FollowsTheHoveredColumnAndItsDeleteRectangle) {
  // The left margin reports on every move and redraws nothing while nothing was hovered.
  pointer.moveMouse({60, 100});
  pointer.moveMouse({62, 100});
  EXPECT_EQ(seen, (std::vector<std::optional<std::int64_t>>{std::nullopt, std::nullopt}));
  EXPECT_FALSE(graph->needsDisplay());
  // Into column 0: one report, which already reads the new column, and the whole view redrawn.
  seen.clear();
  pointer.moveMouse({120, 100});
  pointer.moveMouse({125, 100});
  EXPECT_EQ(seen, (std::vector<std::optional<std::int64_t>>{0}));
  EXPECT_EQ(graph->rectsNeedingDisplay(), std::vector<Rect>{graph->bounds()});
  EXPECT_EQ(graph->deleteRect(), Rect(129.5, 184, 16, 16));
  // Crossing into the delete rectangle redraws just the rectangle; a click there reports, one outside not.
  graph->displayIfNeeded();
  pointer.moveMouse({135, 190});
  EXPECT_TRUE(graph->mouseInDeletionRect());
  EXPECT_EQ(graph->rectsNeedingDisplay(), std::vector<Rect>{Rect(129.5, 184, 16, 16)});
  pointer.click({135, 190});
  EXPECT_EQ(clicks, 1);
  pointer.click({135, 100});
  EXPECT_EQ(clicks, 1);
  EXPECT_EQ(seen.size(), 1u);
  pointer.moveMouse({300, 100});
  EXPECT_EQ(seen.back(), 1);
  EXPECT_EQ(graph->deleteRect(), Rect(299.5, 184, 16, 16));
  // Right of the last column (columns now 105 wide, 128 apart): no column and nothing to delete.
  graph->setRightOffset(100);
  graph->displayIfNeeded();
  pointer.moveMouse({390, 190});
  EXPECT_EQ(std::tuple(graph->index(), graph->deleteRect(), seen.size(), graph->needsDisplay()),
            std::tuple(std::nullopt, std::nullopt, 3u, true));
  pointer.click({390, 190});
  EXPECT_EQ(clicks, 1);
  pointer.moveMouse({392, 190});
  EXPECT_EQ(seen.size(), 3u);
}

TEST_F(DoubleBarGraphPointer, LeavingEndsTheHoverEmptyDataIgnoresThePointerAndLayoutRenewsTracking) {
  pointer.moveMouse({300, 100});
  graph->displayIfNeeded();
  pointer.leaveWindow();
  EXPECT_EQ(graph->index(), std::nullopt);
  EXPECT_EQ(seen, (std::vector<std::optional<std::int64_t>>{1, std::nullopt}));
  EXPECT_TRUE(graph->needsDisplay());
  // Empty data ignores the pointer; each layout replaces the tracking area (options 131).
  graph->setData({});
  graph->displayIfNeeded();
  pointer.moveMouse({200, 100});
  EXPECT_EQ(std::tuple(graph->index(), seen.size(), graph->needsDisplay()),
            std::tuple(std::nullopt, 2u, false));
  ASSERT_TRUE(graph->trackingArea());
  EXPECT_EQ(graph->trackingArea()->options(), 131u);
  graph->setFrameSize({500, 200});
  graph->layout();
  EXPECT_EQ(graph->trackingAreas(),
            std::vector<std::shared_ptr<platform::TrackingArea>>{graph->trackingArea()});
  EXPECT_EQ(graph->trackingArea()->rect(), Rect(0, 0, 500, 200));
}

// Which of the probed x positions (at mid height of the upper half) are inside an upper bar.
std::vector<bool> filledAt(SeparatedBarGraph& graph, const std::vector<double>& xs) {
  const auto image = render(graph);
  std::vector<bool> filled;
  for (const double x : xs) filled.push_back(platform::test::pixelAt(*image, x, 62).alpha > 0.4);
  return filled;
}

TEST(SeparatedBarGraph, ScalesEachSeriesToItsMaximumFromTheMiddleLineAndRenewsTrackingOnResize) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  auto graph = View::create<SeparatedBarGraph>(Rect(0, 0, 200, 100));
  graph->displayIfNeeded();
  graph->setDataTop({1024});
  EXPECT_TRUE(graph->needsDisplay());
  graph->setDataBottom({2048, 0, -1024});
  // The upper bar: 200 wide from y 50 to 75, its outline a quarter point either side. The lower series:
  // 65.33 wide bars 2 apart, the first down to the bottom edge, the second empty, the third upward.
  const auto image = render(*graph);
  expectPixels(*image, {{100, 62, Rgba{0, 0.5, 0, 0.5}}, {100, 75.1, Rgba{0, 1, 0, 1}}});
  expectPixels(*image, {{30, 10, Rgba{0.5, 0, 0, 0.5}}, {170, 60, Rgba{0.5, 0.25, 0, 0.75}}});
  gallery::expectColorAt(*image, transparent, {{100, 75.4}, {100, 10}, {170, 10}});
  // A maximum of 0 or not a number draws no bars (left of the lower series' upward bar).
  for (const double max : {0.0, std::nan("")}) {
    graph->setMaxTop(max);
    EXPECT_FALSE(inkIn(*render(*graph), Rect(0, 51, 130, 49))) << max;
  }
  auto parent = View::create(Rect(0, 0, 100, 50));
  auto tracked = View::create<SeparatedBarGraph>(Rect(0, 0, 100, 50));
  parent->addSubview(tracked);
  const auto first = tracked->area();
  ASSERT_TRUE(first);
  EXPECT_EQ(first->options(), 129u);
  // The tracking area, grown by other means, keeps the old bounds until a superview resize reaches the view.
  tracked->setFrameSize({300, 80});
  EXPECT_EQ(tracked->area(), first);
  parent->setFrameSize({300, 80});
  ASSERT_NE(tracked->area(), first);
  EXPECT_EQ(tracked->area()->rect(), Rect(0, 0, 300, 80));
  EXPECT_EQ(tracked->trackingAreas(), std::vector<std::shared_ptr<platform::TrackingArea>>{tracked->area()});
}

TEST(SeparatedBarGraph, OpensAMarginWithQuarterLinesAndLegendWhileHovered) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  auto graph = View::create<SeparatedBarGraph>(Rect(0, 0, 100, 100));
  graph->setDataTop({2048, 2048, 2048, 2048});
  // Four bars 23.5 wide at x 0, 25.5, 51 and 76.5 (probed a quarter point inside each edge and in the gaps).
  EXPECT_EQ(filledAt(*graph, {0.5, 23.25, 24.5, 25.75, 50.5, 51.25, 76.75, 99.75}),
            (std::vector<bool>{true, true, false, true, false, true, true, true}));
  platform::EventHarness pointer(graph);
  pointer.moveMouse({50, 50});
  EXPECT_TRUE(graph->isMouseInside());
  // 7.5 wide from x 64, 2 apart.
  EXPECT_EQ(filledAt(*graph, {63.5, 64.25, 71.25, 72.5, 73.75, 99.75}),
            (std::vector<bool>{false, true, true, false, true, true}));
  // A quarter line at y 24.75 shows in the gap between two bars; the legend only with five texts.
  const auto hovered = render(*graph);
  EXPECT_TRUE(inkIn(*hovered, Rect(72.25, 24.5, 0.5, 0.5)));
  EXPECT_FALSE(inkIn(*hovered, Rect(72.25, 26, 0.5, 20)));
  EXPECT_FALSE(inkIn(*hovered, Rect(0, 0, 63, 100)));
  graph->setLegendLabelsY({"4 K", "2 K", "0", "4 K", "2 K"});
  EXPECT_TRUE(inkIn(*render(*graph), Rect(0, 0, 63, 100)));
  // Leaving closes the margin again.
  pointer.leaveWindow();
  EXPECT_FALSE(graph->isMouseInside());
  EXPECT_EQ(filledAt(*graph, {0.5}), std::vector<bool>{true});
}

// Squares per column of a path of 5-point-pitch squares (each square is five path elements).
std::map<int, int> squaresPerColumn(const platform::Path& path) {
  std::map<int, int> counts;
  for (std::size_t index = 0; index < path.elementCount(); index += 5) {
    ++counts[static_cast<int>(path.element(index).points[0].x / 5)];
  }
  return counts;
}

const platform::Path& litSquares(const HistoryView& view) {
  return *std::static_pointer_cast<platform::ShapeLayer>(view.gradientLayer()->mask())->path();
}

TEST(HistoryView, LightsTheWholeTenthsOfEachValueUpToTheBoundsTopAndHoldsRedrawsWhileLocked) {
  auto view = View::create<HistoryView>(Rect(0, 0, 100, 48));
  view->setData({55, 9.99, 10, 100, 150, std::numeric_limits<double>::quiet_NaN(), -5, 99.9});
  EXPECT_EQ(squaresPerColumn(litSquares(*view)),
            (std::map<int, int>{{0, 5}, {2, 1}, {3, 10}, {4, 10}, {7, 9}}));
  // In a taller view the rows above the tenth start inside the bounds and light up.
  view->setFrameSize({100, 80});
  view->layout();
  EXPECT_EQ(squaresPerColumn(litSquares(*view))[4], 15);
  // With a maximum of 0 every ratio is infinite or not a number: nothing lights.
  view->setMax(0);
  EXPECT_TRUE(litSquares(*view).isEmpty());
  EXPECT_EQ(view->contentHeight(), 48);
  view->setData(std::vector<double>(60, 1));
  EXPECT_EQ(view->contentWidth(), 300);
  // Locked, nothing redraws, not even at a layout, but colours change at once.
  view = View::create<HistoryView>(Rect(0, 0, 100, 48));
  view->setData({50});
  const auto mask = view->gradientLayer()->mask();
  const platform::Path background = *view->backgroundLayer()->path();
  view->lock();
  view->setData({100, 100});
  view->setMax(50);
  view->setLength(4);
  view->layout();
  EXPECT_EQ(view->gradientLayer()->mask(), mask);
  EXPECT_EQ(*view->backgroundLayer()->path(), background);
  view->setColors({platform::Color::rgb(0, 0, 1)});
  EXPECT_EQ(view->gradientLayer()->colors(), (std::vector<Rgba>{{0, 0, 1, 1}}));
  view->unlock();
  EXPECT_FALSE(view->isLocked());
  // 100 of 50 is twenty tenths, of which the eight rows (6 points apart) that start under 48 light.
  EXPECT_EQ(squaresPerColumn(litSquares(*view)).size(), 2u);
  EXPECT_EQ(litSquares(*view).elementCount(), 2u * 8 * 5);
  EXPECT_EQ(view->backgroundLayer()->path()->tightBounds(), Rect(0, 0, 10, 58));
}

TEST(HistoryView, RebuildsTheBackgroundWhenItsCountSizeGapColourOrBoundsChange) {
  auto view = View::create<HistoryView>(Rect(0, 0, 100, 48));
  view->setData({1, 2});
  const platform::ShapeLayer& background = *view->backgroundLayer();
  EXPECT_EQ(background.path()->tightBounds(), Rect(0, 0, 8, 48));
  view->setData({1, 2, 3});
  EXPECT_EQ(background.path()->tightBounds(), Rect(0, 0, 13, 48));
  view->setLength(4);
  EXPECT_EQ(background.path()->tightBounds(), Rect(0, 0, 16, 58));
  view->setOffset(1);
  EXPECT_EQ(background.path()->tightBounds(), Rect(0, 0, 14, 49));
  view->setBackColor(platform::Color::rgb(1, 0, 0));
  EXPECT_EQ(background.fillColor(), (Rgba{1, 0, 0, 1}));
  view->setFrameSize({60, 49});
  view->layout();
  EXPECT_EQ(background.frame(), Rect(0, 0, 60, 49));
}

// count samples of base + amplitude × sin(step × index).
std::vector<double> wave(int count, double base, double amplitude, double step) {
  std::vector<double> samples;
  for (int index = 0; index < count; ++index) samples.push_back(base + amplitude * std::sin(index * step));
  return samples;
}

// A double bar graph of two columns, 400 x 200, with scale and column texts: columns of 147 points, 170
// apart from x 64.
std::shared_ptr<DoubleBarGraph> networkGraph() {
  auto graph = View::create<DoubleBarGraph>(Rect(0, 0, 400, 200));
  graph->setData({{1200, 2500}, {700, 300}});
  graph->setLegendLabelsX({"eth0", "wlan0"});
  graph->setLegendLabelsY({"0", "768", "1.5 K", "2.3 K", "3 K"});
  return graph;
}

// A 16 x 16 black square marked as a template, standing in for a delete symbol.
std::shared_ptr<const platform::Image> templateIcon() {
  auto icon = platform::Image::create({16, 16}, gallery::scale);
  {
    platform::ImageFocus focus(*icon);
    focus.context().setFillColor({0, 0, 0, 1});
    focus.context().fillRect(Rect(3, 3, 10, 10));
  }
  icon->setTemplate(true);
  return icon;
}

TEST(ChartsGallery, EachChartLightAndDarkWithHandWorkedPixels) {
  const platform::ScopedMainScreen screen{platform::Screen{1}};
  for (const std::string_view name : {platform::Appearance::aqua, platform::Appearance::darkAqua}) {
    const platform::Appearance appearance{std::string(name)};
    SCOPED_TRACE(name);
    const auto picture = [&](View& view, const std::string& file) {
      view.setAppearance(appearance);
      return gallery::picture(view, file + (appearance.isDark() ? "-dark" : "-light"));
    };
    auto bars = View::create<BarGraph>(Rect(0, 0, 300, 200));
    bars->setData({50, 150, 90, 230});
    bars->setLabels({"Mon", "Tue", "Wed", "Thu"});
    picture(*bars, "bar-graph");

    auto separated = View::create<SeparatedBarGraph>(Rect(0, 0, 300, 100));
    separated->setDataTop(wave(30, 1024, 900, 0.4));
    separated->setDataBottom(wave(30, 600, 500, 0.3));
    separated->setLegendLabelsY({"2 KB/s", "1 KB/s", "0", "2 KB/s", "1 KB/s"});
    platform::EventHarness(separated).moveMouse({150, 50});
    picture(*separated, "separated-bar-graph-hovered");

    // The pointer on the first column's delete rectangle (129.5, 184, 16 x 16): the band reaches a point
    // left of the left bar (64.5), and the icon is red on its glyph (132.5, 187, 10 x 10) only: the rest of
    // the rectangle, above the band, stays clear.
    auto doubleBars = networkGraph();
    doubleBars->setInteractionImage(templateIcon());
    platform::EventHarness pointer(doubleBars);
    pointer.moveMouse({135, 190});
    const Rgba band =
        gallery::premultiplied(SystemColors::alternatingContentBackgroundColors()[1]->rgba(appearance));
    // The left bar's half-alpha green fill lies over the band.
    const Rgba greenOverBand{band.red / 2, 0.5 + band.green / 2, band.blue / 2, 0.5 + band.alpha / 2};
    expectPixels(*picture(*doubleBars, "double-bar-graph-hovered"), {{63.75, 100, band},
                                                                     {137.5, 192, Rgba{1, 0, 0, 1}},
                                                                     {130.5, 185.5, transparent},
                                                                     {100, 50, greenOverBand}});
    // Outside the rectangle the icon keeps its own colour.
    pointer.moveMouse({135, 100});
    expectPixels(*platform::ViewRenderer::image(*doubleBars, gallery::scale),
                 {{137.5, 192, Rgba{0, 0, 0, 1}}});

    // Squares 3 points wide on a 5-point pitch; the gradient runs from pink at the top edge (48) through red
    // at the middle to orange (243, 143, 67) at the bottom, so the middle of the bottom square (y 1.5, 31/32
    // of the way down) is about (242.4, 138.4, 66.8).
    auto history = View::create<HistoryView>(Rect(0, 0, 300, 48));
    history->setData(wave(60, 50, 45, 0.25));
    expectPixels(*picture(*history, "history-view"),
                 {{1.5, 1.5, Rgba{242.4 / 255, 138.4 / 255, 66.8 / 255, 1}},
                  {1.5, 46.5, gallery::premultiplied(SystemColors::tertiaryLabelColor()->rgba(appearance))},
                  {4, 1.5, transparent}});
  }
}

// A graph made before it joins a dark window writes its scale and column texts light, as dark windows do.
TEST(GalleryLooks, DoubleBarGraphTextsFollowTheDarkAppearance) {
  platform::ScopedMainScreen screen{platform::Screen{1}};
  auto graph = networkGraph();
  graph->setAppearance(platform::Appearance(std::string(platform::Appearance::darkAqua)));
  const auto image = gallery::picture(*graph, "double-bar-graph-dark-texts");
  // The scale text "3 K" (4, 180, 56 x 11) and the column text "eth0" under the first column.
  for (const Rect& text : {Rect(4, 180, 56, 11), Rect(120, 1, 60, 12)}) {
    const Rgba ink = strongestInk(*image, text);
    EXPECT_GT(ink.alpha, 0.5);
    EXPECT_GT(ink.red, 0.5 * ink.alpha) << "dark text on a dark window";
  }
}

}  // namespace
}  // namespace Tavrix
