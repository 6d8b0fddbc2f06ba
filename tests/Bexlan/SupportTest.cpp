#include <gtest/gtest.h>
#include <sys/wait.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "Bexlan/Profiler.hpp"
#include "Bexlan/ReviewController.hpp"
#include "Bexlan/Support.hpp"
#include "Platform/Foundation/Clock.hpp"
#include "tests/platform/System/MountTestGuards.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

namespace {

using Bexlan::Support;
namespace fs = std::filesystem;

TEST(SupportTest, LaunchStartsTheProgramWithTheAddressAsItsOnlyArgument) {
  const volumetest::TemporaryDirectory temporary;
  const fs::path directory = temporary.path(), program = directory / "fake-opener";
  const fs::path received = directory / "received";
  std::ofstream(program) << "#!/bin/sh\nprintf '%s|' \"$#\" \"$@\" > '" << received.string() << ".part'\n"
                         << "mv '" << received.string() << ".part' '" << received.string() << "'\n";
  fs::permissions(program, fs::perms::owner_all);

  const std::string address = "http://example.invalid/a b?c=1&d='2'";
  ASSERT_TRUE(Support::launch(program.string(), address));
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
  while (!fs::exists(received) && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_EQ(systemtest::fileText(received), "1|" + address + "|");

  EXPECT_FALSE(Support::launch((directory / "absent").string(), address));
  EXPECT_FALSE(Support::launch("no-such-opener-on-any-path-7f3a", address));
}

using Bexlan::ReviewController;

constexpr double firstLaunch = 1.8e9;

class ReviewControllerTest : public testing::Test {
 protected:
  volumetest::TemporaryDirectory directory;
  std::shared_ptr<platform::Defaults> suite =
      platform::Defaults::suite(ReviewController::suiteName, directory.path());
  platform::Clock::Override clock{firstLaunch, 100};
  int requests = 0;
  ReviewController controller{suite, [this] { ++requests; }};
};

TEST_F(ReviewControllerTest, AsksOnceAtTheFirstCallThreeDaysAfterTheFirstAndANewProcessReadsTheRecord) {
  const std::pair<double, int> steps[] = {{0, 0}, {259199, 0}, {1, 1}, {1e7, 1}};  // seconds later, requests
  for (const auto& [seconds, expected] : steps) {
    clock.advance(seconds);
    controller.requestReview("com.tarnwick.velmora");
    EXPECT_EQ(requests, expected) << seconds;
    EXPECT_EQ(suite->boolForKey("com.tarnwick.velmora"), expected == 1);
  }
  if (const pid_t child = ::fork(); child == 0) {
    platform::Defaults reread(suite->path());  // from the file, not the parent's suite object
    ::_exit(reread.doubleForKey("init_com.tarnwick.velmora") == firstLaunch &&
            reread.boolForKey("com.tarnwick.velmora"));
  } else {
    int status = 0;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 1);
  }
}

TEST_F(ReviewControllerTest, EventsKeepTheirOwnTimesAndAnAbsentOneOrNoSuiteRecordsNothing) {
  ReviewController withoutSuite(nullptr, [this] { ++requests; });
  withoutSuite.requestReview("first");
  controller.requestReview(std::nullopt);
  EXPECT_FALSE(std::filesystem::exists(suite->path()));
  controller.requestReview("first");
  clock.advance(200000);
  controller.requestReview("second");
  clock.advance(59200);
  controller.requestReview("first");
  controller.requestReview("second");
  withoutSuite.requestReview("first");  // three days on, but it kept no first call
  EXPECT_EQ(requests, 1);
  EXPECT_TRUE(suite->boolForKey("first") && !suite->boolForKey("second"));
  EXPECT_EQ(suite->doubleForKey("init_second"), firstLaunch + 200000);
  EXPECT_EQ(ReviewController::shared().defaults->path().filename(), "com.tarnwick.appreviews.json");
}

using Bexlan::Profiler;

std::string printedBy(auto&& action) {
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
