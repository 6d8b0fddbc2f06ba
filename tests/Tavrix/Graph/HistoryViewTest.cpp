#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <memory>
#include <vector>

#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Path.hpp"
#include "Tavrix/Graph/HistoryView.hpp"

// The gradient's colours on the lit squares are checked in pixels by the charts gallery.
namespace Tavrix {
namespace {

using platform::Rect;

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

TEST(HistoryView, LightsTheWholeTenthsOfEachValueUpToTheBoundsTop) {
  auto view = platform::View::create<HistoryView>(Rect(0, 0, 100, 48));
  view->setData({55, 9.99, 10, 100, 150, std::numeric_limits<double>::quiet_NaN(), -5, 99.9});
  EXPECT_EQ(squaresPerColumn(litSquares(*view)), (std::map<int, int>{{0, 5}, {2, 1}, {3, 10}, {4, 10}, {7, 9}}));
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
}

TEST(HistoryView, RebuildsTheBackgroundWhenItsCountSizeGapColourOrBoundsChange) {
  auto view = platform::View::create<HistoryView>(Rect(0, 0, 100, 48));
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
  EXPECT_EQ(background.fillColor(), (platform::Rgba{1, 0, 0, 1}));
  view->setFrameSize({60, 49});
  view->layout();
  EXPECT_EQ(background.frame(), Rect(0, 0, 60, 49));
}

TEST(HistoryView, HoldsRedrawsWhileLockedButRecoloursAtOnce) {
  auto view = platform::View::create<HistoryView>(Rect(0, 0, 100, 48));
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
  EXPECT_EQ(view->gradientLayer()->colors(), (std::vector<platform::Rgba>{{0, 0, 1, 1}}));

  view->unlock();
  EXPECT_FALSE(view->isLocked());
  // 100 of 50 is twenty tenths, of which the eight rows (6 points apart) that start under 48 light.
  EXPECT_EQ(squaresPerColumn(litSquares(*view)).size(), 2u);
  EXPECT_EQ(litSquares(*view).elementCount(), 2u * 8 * 5);
  EXPECT_EQ(view->backgroundLayer()->path()->tightBounds(), Rect(0, 0, 10, 58));
}

}  // namespace
}  // namespace Tavrix
