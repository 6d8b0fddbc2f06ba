#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "Platform/UI/View.hpp"
#include "Tavrix/Controls/ScaleMode.hpp"
#include "Tavrix/Graph/GraphView.hpp"
#include "tests/Tavrix/Graph/GraphFakes.hpp"

namespace {

using Tavrix::AutoGraphMode;
using Tavrix::GraphView;
using Tavrix::ScaleMode;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

std::shared_ptr<GraphView> makeView() {
  return platform::View::create<GraphView>(platform::Rect(0, 0, 200, 100));
}

// One value through each setter for each mode, worked out by hand: the minimum is
// step * round((v - step) / step) and the maximum step * round((v + step) / step), halves away from zero.
// The last rows: negative values, halves that round away from zero where rounding to even would not, and
// products beyond the 64-bit range, which stop at its limits.
TEST(GraphRangeTest, EveryScaleModeRoundsBothEndsByItsStep) {
  struct Case {
    ScaleMode mode;
    double min, expectedMin, max, expectedMax;
  };
  for (const Case& c : std::vector<Case>{{ScaleMode::none, 37, 0, 95, 95},
                                         {ScaleMode::one, 3.7, 3, 9.5, 11},
                                         {ScaleMode::two, 7, 6, 9, 12},
                                         {ScaleMode::three, 10, 6, 10, 12},
                                         {ScaleMode::four, 10, 8, 10, 16},
                                         {ScaleMode::five, 12, 5, 12, 15},
                                         {ScaleMode::ten, 37, 30, 95, 110},
                                         {ScaleMode::fifteen, 40, 30, 40, 60},
                                         {ScaleMode::twenty, 50, 40, 50, 80},
                                         {ScaleMode::twentyFive, 60, 25, 60, 75},
                                         {ScaleMode::thirty, 100, 60, 100, 120},
                                         {ScaleMode::thirtyFive, 100, 70, 100, 140},
                                         {ScaleMode::fourty, 100, 80, 100, 160},
                                         {ScaleMode::fourtyFive, 100, 45, 100, 135},
                                         {ScaleMode::fifty, 100, 50, 100, 150},
                                         {ScaleMode::hundred, 250, 200, 250, 400},
                                         {ScaleMode::thousand, 2400, 1000, 2400, 3000},
                                         {ScaleMode::kilobytes, 3000000, 2097152, 3000000, 4194304},
                                         {ScaleMode::megabytes, 5e9, 4294967296, 1e9, 2147483648},
                                         {ScaleMode::ten, -15, -30, 15, 30},
                                         {ScaleMode::ten, -37, -50, -37, -30},
                                         {ScaleMode::ten, 35, 30, 105, 120},
                                         {ScaleMode::ten, -1e30, -0x1p63, 1e30, 0x1p63},
                                         {ScaleMode::megabytes, 0, 0, 1e19, 0x1p63}}) {
    const auto view = makeView();
    view->setScaleMode(c.mode);
    view->setMinValue(c.min);
    view->setMaxValue(c.max);
    EXPECT_EQ(view->minValue(), c.expectedMin) << rawValue(c.mode) << ": " << c.min;
    EXPECT_EQ(view->maxValue(), c.expectedMax) << rawValue(c.mode) << ": " << c.max;
  }
}

// Zero and values that are not finite give a minimum of 0 and a maximum of 100, except that scale mode none
// keeps any maximum as it is; useZeroAsMin pins the minimum.
TEST(GraphRangeTest, ZeroNonFiniteAndPinnedValues) {
  const auto view = makeView();
  for (const double value : {0.0, nan, std::numeric_limits<double>::infinity()}) {
    view->setMinValue(37);
    view->setMinValue(value);
    EXPECT_EQ(view->minValue(), 0) << value;
    view->setMaxValue(value);
    EXPECT_EQ(view->maxValue(), 100) << value;
  }
  view->setUseZeroAsMin(true);
  view->setMinValue(37);
  EXPECT_EQ(view->minValue(), 0);
  view->setScaleMode(ScaleMode::none);
  view->setMaxValue(0);
  EXPECT_EQ(view->maxValue(), 0);
  view->setMaxValue(nan);
  EXPECT_TRUE(std::isnan(view->maxValue()));
}

// In the speed modes the maximum is kept exactly and names the unit (a negative one as 0 bytes); scale mode
// none leaves the unit as it was.
TEST(GraphRangeTest, SpeedModesKeepTheMaximumAndChooseTheUnit) {
  const auto view = makeView();
  view->setAutoGraphMode(AutoGraphMode::byteSpeed);
  view->setMaxValue(3000000);
  EXPECT_EQ(view->maxValue(), 3000000);
  EXPECT_EQ(view->unit(), "MB/s");
  view->setMaxValue(-5);
  EXPECT_EQ(view->maxValue(), -5);
  EXPECT_EQ(view->unit(), "B/s");
  view->setAutoGraphMode(AutoGraphMode::bitSpeed);
  view->setMaxValue(125);
  EXPECT_EQ(view->unit(), "Kb/s");
  view->setScaleMode(ScaleMode::none);
  view->setMaxValue(3000000);
  EXPECT_EQ(view->maxValue(), 3000000);
  EXPECT_EQ(view->unit(), "Kb/s");
}

TEST(GraphRangeTest, CalculateMaxTakesTheLargestPresentValue) {
  const auto view = makeView();
  view->addPlotter(
      std::make_shared<graphtest::RecordingPlotter>(Tavrix::PlotterData{std::nullopt, 3, std::nullopt, 7.5}));
  view->addPlotter(std::make_shared<graphtest::RecordingPlotter>(Tavrix::PlotterData{2}));
  view->calculateMax();
  EXPECT_EQ(view->maxValue(), 20);

  // NaN never wins; with nothing above the smallest normal double the maximum is one step.
  const auto other = makeView();
  other->addPlotter(std::make_shared<graphtest::RecordingPlotter>(Tavrix::PlotterData{nan, -5}));
  other->calculateMax();
  EXPECT_EQ(other->maxValue(), 10);
  other->setScaleMode(ScaleMode::none);
  other->calculateMax();
  EXPECT_EQ(other->maxValue(), std::numeric_limits<double>::min());
  EXPECT_TRUE(graphtest::drainMainQueue());
}

}  // namespace
