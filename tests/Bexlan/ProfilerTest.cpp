#include "Bexlan/Profiler.hpp"

#include <gtest/gtest.h>

#include <string>

#include "Platform/Foundation/Clock.hpp"

namespace {

using Bexlan::Profiler;
using platform::Clock;
using ::testing::internal::CaptureStdout;
using ::testing::internal::GetCapturedStdout;

// What the profiler prints while `action` runs.
template <class F>
std::string printedBy(F&& action) {
  CaptureStdout();
  action();
  return GetCapturedStdout();
}

TEST(ProfilerTest, StopPrintsTheElapsedMillisecondsWithFiveDecimalsOnce) {
  Clock::Override clock(1000, 100);
  Profiler::start("a");
  clock.advance(1.25);
  EXPECT_EQ(printedBy([] { Profiler::stop("a"); }), "a: 1250.00000 ms\n");
  EXPECT_EQ(printedBy([] { Profiler::stop("a"); }), "");
}

TEST(ProfilerTest, RestartingMeasuresFromTheLastStartAndTimersAreIndependent) {
  Clock::Override clock(1000, 100);
  Profiler::start("a");
  Profiler::start("b");
  clock.advance(2);
  Profiler::start("a");
  clock.advance(0.000123456);
  EXPECT_EQ(printedBy([] { Profiler::stop("a"); }), "a: 0.12346 ms\n");
  EXPECT_EQ(printedBy([] { Profiler::stop("b"); }), "b: 2000.12346 ms\n");
}

TEST(ProfilerTest, NamesAreKeptAsGiven) {
  Clock::Override clock(1000, 100);
  const std::string name = "load %s 100% \xC3\xA9";
  Profiler::start(name);
  EXPECT_EQ(printedBy([&] { Profiler::stop(name); }), name + ": 0.00000 ms\n");
  EXPECT_EQ(printedBy([] { Profiler::stop("never started"); }), "");
}

TEST(ProfilerTest, StopWithoutANameStopsTheDefaultTimer) {
  Clock::Override clock(1000, 100);
  Profiler::start();
  clock.advance(0.5);
  EXPECT_EQ(printedBy([] { Profiler::stop(); }), "Profiler: 500.00000 ms\n");
  // The default timer is an ordinary name.
  Profiler::start();
  EXPECT_EQ(printedBy([] { Profiler::stop("Profiler"); }), "Profiler: 0.00000 ms\n");
}

TEST(ProfilerDeathTest, StopWithoutANameWhileNothingRunsIsFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(Profiler::stop(), "Fatal error: This function can not be used with more than one active Profiler\\.");
}

}  // namespace
