#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Tavrix/Controls/HorizontalProgressView.hpp"
#include "Tavrix/Controls/ProgressView.hpp"
#include "Tavrix/Controls/StackedSegmentView.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Controls/UIProgressView.hpp"
#include "Tavrix/Controls/VerticalProgressView.hpp"

// Fill extents, clipping and the stacked bar's shares are also checked in pixels by the bars-and-gauges
// gallery.
namespace Tavrix {
namespace {

using platform::ColorRef;
using platform::Point;
using platform::Rect;
using platform::Rgba;

const ColorRef red = platform::Color::rgb(1, 0, 0);
const ColorRef blue = platform::Color::rgb(0, 0, 1);

Rgba light(const ColorRef& color) { return color->rgba(platform::Appearance(std::string(platform::Appearance::aqua))); }

std::vector<Point> ends(const platform::Path& path) {
  EXPECT_EQ(path.elementCount(), 2u);
  return {path.element(0).points[0], path.element(1).points[0]};
}

struct SolidCase {
  std::shared_ptr<SolidProgressBar> bar;
  double cornerRadius;
  Rgba track;
  Rgba fill;
  std::vector<Point> line;
};

TEST(SolidProgressBars, StrokeTheValueUnclampedAtTheirHeightInTheirColours) {
  const Rect frame(0, 0, 120, 10);
  auto redSquare = platform::View::create<ProgressView>(frame);
  redSquare->setColor(red);
  redSquare->setRoundCorners(false);
  redSquare->setAlpha(0.4);
  auto redHorizontal = platform::View::create<HorizontalProgressView>(frame);
  redHorizontal->setColor(red);
  redHorizontal->setCornerRadius(2);
  const Rgba accent = light(SystemColors::controlAccentColor());
  const Rgba quaternary = light(SystemColors::quaternaryLabelColor());
  const std::vector<Point> across = {{0, 5}, {120, 5}};
  const std::vector<SolidCase> cases = {
      {platform::View::create<ProgressView>(frame), 5, {accent.red, accent.green, accent.blue, 0.2}, accent, across},
      {redSquare, 0, Rgba{1, 0, 0, 0.4}, Rgba{1, 0, 0, 1}, across},
      {platform::View::create<HorizontalProgressView>(frame), 4, quaternary, accent, across},
      {redHorizontal, 2, Rgba{1, 0, 0, 0.22}, Rgba{1, 0, 0, 1}, across},
      {platform::View::create<VerticalProgressView>(frame), 4, quaternary, accent, {{60, 0}, {60, 10}}},
  };
  for (const SolidCase& test : cases) {
    const std::shared_ptr<SolidProgressBar>& bar = test.bar;
    SCOPED_TRACE(&test - cases.data());
    bar->setValue(0.5);
    EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0.5);
    bar->setValue(1.5);
    EXPECT_EQ(bar->progressLayer()->strokeEnd(), 1.5);
    bar->setValue(std::nan(""));
    EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0);
    EXPECT_EQ(bar->layer()->cornerRadius(), test.cornerRadius);
    EXPECT_TRUE(bar->layer()->masksToBounds());
    // The track under the line.
    EXPECT_EQ(*bar->layer()->sublayers(), (platform::Layer::LayerList{bar->bgLayer(), bar->progressLayer()}));
    EXPECT_EQ(bar->bgLayer()->lineWidth(), 10);
    EXPECT_EQ(bar->progressLayer()->lineWidth(), 10);
    EXPECT_EQ(bar->bgLayer()->strokeColor(), test.track);
    EXPECT_EQ(bar->progressLayer()->strokeColor(), test.fill);
    EXPECT_EQ(bar->progressLayer()->lineCap(), platform::LineCap::butt);
    EXPECT_EQ(ends(*bar->progressLayer()->path()), test.line);
    EXPECT_EQ(bar->bgLayer()->path()->tightBounds(), Rect(0, 0, 120, 10));
  }
}

TEST(StackedSegmentView, LaysTheSharesLeftToRightOverOneBackgroundAtEveryLayout) {
  auto view = platform::View::create<StackedSegmentView>(Rect(0, 0, 200, 12));
  view->setSegments({{0.25, red}, {0.5, blue}});
  for (int pass = 0; pass < 5; ++pass) {
    view->setNeedsLayout(true);
    view->layoutSubtreeIfNeeded();
  }
  EXPECT_EQ(view->layer()->sublayers()->size(), 3u);
  ASSERT_EQ(view->layers().size(), 3u);
  EXPECT_EQ(*view->layer()->sublayers(), view->layers());
  const auto shape = [&](std::size_t index) {
    return std::dynamic_pointer_cast<platform::ShapeLayer>(view->layers()[index]);
  };
  EXPECT_EQ(shape(0)->fillColor(), light(SystemColors::separatorColor()));
  EXPECT_EQ(shape(0)->path()->tightBounds(), Rect(0, 0, 200, 12));
  EXPECT_EQ(shape(1)->fillColor(), (Rgba{1, 0, 0, 1}));
  EXPECT_EQ(shape(1)->path()->tightBounds(), Rect(0, 0, 50, 12));
  EXPECT_EQ(shape(2)->fillColor(), (Rgba{0, 0, 1, 1}));
  EXPECT_EQ(shape(2)->path()->tightBounds(), Rect(50, 0, 100, 12));
  EXPECT_EQ(view->layer()->cornerRadius(), 8);

  // A share that is not a number takes no room; with no shares only the background is left.
  view->setSegments({{std::nan(""), red}, {0.5, blue}});
  EXPECT_EQ(shape(2)->path()->tightBounds(), Rect(0, 0, 100, 12));
  view->setSegments({});
  EXPECT_EQ(view->layer()->sublayers()->size(), 1u);
  EXPECT_THROW(view->setSegments({{0.5, nullptr}}), std::invalid_argument);
}

TEST(UIProgressView, TurnsGreenAbove0Point2AndDrawsAStubOutside0To1) {
  const platform::Size size{100, 10};
  const Rgba redValue = light(SystemColors::systemRed());
  const Rgba greenValue = light(SystemColors::systemGreen());
  for (const auto& [progress, color, endX] : std::vector<std::tuple<double, Rgba, double>>{{0.2, redValue, 19.2},
                                                                                           {0.21, greenValue, 20.16},
                                                                                           {0, redValue, 0},
                                                                                           {1.5, greenValue, 0},
                                                                                           {-1, redValue, 0}}) {
    SCOPED_TRACE(progress);
    const auto [track, line] = UIProgressView{4, progress}.body(size);
    EXPECT_EQ(ends(track.path), (std::vector<Point>{{4, 5}, {96, 5}}));
    EXPECT_EQ(track.color, (Rgba{color.red, color.green, color.blue, 0.1}));
    EXPECT_EQ(line.color, color);
    const std::vector<Point> lineEnds = ends(line.path);
    EXPECT_EQ(lineEnds[0], (Point{4, 5}));
    EXPECT_NEAR(lineEnds[1].x, endX, 1e-9);
    EXPECT_EQ(line.style.lineWidth, 4);
    EXPECT_EQ(line.style.lineCap, platform::LineCap::round);
  }
}

}  // namespace
}  // namespace Tavrix
