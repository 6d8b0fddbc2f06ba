#include <gtest/gtest.h>

#include <string>

#include "Bexlan/Profiler.hpp"
#include "Platform/Foundation/Clock.hpp"

namespace {

using Bexlan::Profiler;

// What `action` prints on standard output.
template <class F>
std::string printedBy(F&& action) {
  ::testing::internal::CaptureStdout();
  action();
  return ::testing::internal::GetCapturedStdout();
}

TEST(ProfilerTest, StopPrintsTheTimeSinceTheLastStartOnceAndTheDefaultTimerIsNamedProfiler) {
  platform::Clock::Override clock(1000, 100);
  Profiler::start("a");
  Profiler::start("load %s 100%");
  clock.advance(2);
  Profiler::start("a");
  clock.advance(0.000123456);
  EXPECT_EQ(printedBy([] { Profiler::stop("a"); }), "a: 0.12346 ms\n");
  EXPECT_EQ(printedBy([] { Profiler::stop("a"); }), "");
  EXPECT_EQ(printedBy([] { Profiler::stop("load %s 100%"); }), "load %s 100%: 2000.12346 ms\n");
  EXPECT_EQ(printedBy([] { Profiler::stop("never started"); }), "");

  // Without a name, the default timer.
  Profiler::start();
  clock.advance(1.25);
  EXPECT_EQ(printedBy([] { Profiler::stop(); }), "Profiler: 1250.00000 ms\n");
  Profiler::start();
  EXPECT_EQ(printedBy([] { Profiler::stop("Profiler"); }), "Profiler: 0.00000 ms\n");
}

TEST(ProfilerDeathTest, StopWithoutANameWhileNothingRunsIsFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(Profiler::stop(),
               "Fatal error: This function can not be used with more than one active Profiler\\.");
}

}  // namespace
