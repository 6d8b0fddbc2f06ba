#include <gtest/gtest.h>

#include <ctime>
#include <fstream>
#include <future>
#include <limits>
#include <memory>
#include <stdexcept>
#include <utility>

#include "Platform/Foundation/Clock.hpp"

namespace {

using platform::Clock;

std::pair<double, double> bothClocks() { return {Clock::wallNow(), Clock::monotonicNow()}; }

TEST(ClockTest, WallClockIsTheSystemTimeAndMonotonicClockIsTheUptimeIncludingSuspend) {
  const double before = static_cast<double>(std::time(nullptr));
  const double wall = Clock::wallNow();
  EXPECT_GE(wall, before);
  EXPECT_LT(wall, before + 2.0);
  double uptime = 0;  // /proc/uptime's first field counts time in suspend too, with a resolution of 10 ms.
  std::ifstream("/proc/uptime") >> uptime;
  ASSERT_GT(uptime, 0.0);
  const double now = Clock::monotonicNow();
  EXPECT_NEAR(now, uptime, 0.5);
  EXPECT_GE(Clock::monotonicNow(), now);
}

TEST(ClockTest, OverridePinsBothClocksForEveryThreadAndAdvancesThemOnlyForward) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double inf = std::numeric_limits<double>::infinity();
  EXPECT_THROW(Clock::Override(nan, 0.0), std::invalid_argument);
  EXPECT_THROW(Clock::Override(0.0, inf), std::invalid_argument);
  {
    Clock::Override pinned(1'700'000'000.25, 42.0);
    EXPECT_EQ(bothClocks(), std::pair(1'700'000'000.25, 42.0));
    pinned.advance(1.5);
    for (const double step : {-1.0, nan, inf}) EXPECT_THROW(pinned.advance(step), std::invalid_argument);
    auto seenElsewhere = std::async(std::launch::async, bothClocks);
    EXPECT_EQ(seenElsewhere.get(), std::pair(1'700'000'001.75, 43.5));  // the rejected steps changed nothing
  }
  EXPECT_GT(Clock::wallNow(), 1'700'000'001.75 + 1e6);  // the real clock again
}

TEST(ClockTest, NestedOverridesRestoreInAnyDestructionOrder) {
  const double realWall = Clock::wallNow();
  auto outer = std::make_unique<Clock::Override>(100.0, 10.0);
  {
    Clock::Override inner(200.0, 20.0);
    outer->advance(5.0);  // changes the outer values, not the ones in force
    EXPECT_EQ(bothClocks(), std::pair(200.0, 20.0));
  }
  EXPECT_EQ(bothClocks(), std::pair(105.0, 15.0));

  auto inner = std::make_unique<Clock::Override>(300.0, 30.0);
  outer.reset();  // the outer one ends first: the inner one stays in force
  EXPECT_EQ(Clock::wallNow(), 300.0);
  inner.reset();
  EXPECT_GE(Clock::wallNow(), realWall);
}

}  // namespace
