#include "Bexlan/RamerDouglasPeucker.hpp"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <pthread.h>

#include <limits>
#include <vector>

namespace {

using Bexlan::Point;
using Bexlan::RamerDouglasPeucker;
using ::testing::ElementsAre;
using Points = std::vector<Point>;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();

TEST(PointTest, DescriptionWritesWholeNumbersWithAFraction) {
  EXPECT_EQ((Point{1, 2.5}).description(), "(1.0, 2.5)");
  EXPECT_EQ(Point().description(), "(0.0, 0.0)");
  EXPECT_EQ((Point{-0.1, 1e16}).description(), "(-0.1, 1e+16)");
}

TEST(RamerDouglasPeuckerTest, ShortListsAndBadTolerances) {
  EXPECT_TRUE(RamerDouglasPeucker::simplify({}, 1).empty());
  EXPECT_THAT(RamerDouglasPeucker::simplify({{3, 4}}, 1), ElementsAre(Point{3, 4}));
  for (double epsilon : {0.0, 100.0}) {
    EXPECT_THAT(RamerDouglasPeucker::simplify({{0, 0}, {1, 9}}, epsilon), ElementsAre(Point{0, 0}, Point{1, 9}));
  }
  const Points points{{0, 0}, {1, 5}, {2, 0}};
  EXPECT_TRUE(RamerDouglasPeucker::simplify(points, -1).empty());
  EXPECT_TRUE(RamerDouglasPeucker::simplify(points, nan).empty());
}

TEST(RamerDouglasPeuckerTest, KeepsAPointOnlyWhenItStraysFurtherThanTheTolerance) {
  const Points bump{{0, 0}, {1, 0.5}, {2, 0}};
  EXPECT_THAT(RamerDouglasPeucker::simplify(bump, 1.0), ElementsAre(Point{0, 0}, Point{2, 0}));
  EXPECT_THAT(RamerDouglasPeucker::simplify(bump, 0.4), ElementsAre(Point{0, 0}, Point{1, 0.5}, Point{2, 0}));
  // Exactly at the tolerance is not further than it.
  EXPECT_THAT(RamerDouglasPeucker::simplify(bump, 0.5), ElementsAre(Point{0, 0}, Point{2, 0}));

  const Points line{{0, 0}, {1, 1}, {2, 2}, {3, 3}};
  EXPECT_THAT(RamerDouglasPeucker::simplify(line, 0), ElementsAre(Point{0, 0}, Point{3, 3}));
}

TEST(RamerDouglasPeuckerTest, DropsTheInteriorOfASpanWhoseEndsCoincide) {
  EXPECT_THAT(RamerDouglasPeucker::simplify({{0, 0}, {5, 5}, {0, 0}}, 0), ElementsAre(Point{0, 0}, Point{0, 0}));
  EXPECT_THAT(RamerDouglasPeucker::simplify({{1, 1}, {-100, 3}, {7, 1e6}, {1, 1}}, 0.1),
              ElementsAre(Point{1, 1}, Point{1, 1}));
}

TEST(RamerDouglasPeuckerTest, SplitsAtTheFirstOfEqualFurthestPointsAndKeepsInputOrder) {
  // (1, 1) and (2, 1) both lie 1 from the base line. Split at (1, 1), the line (1, 1)-(3, 0) passes (2, 1) at
  // 0.45, which 0.6 drops; split at (2, 1), it would have been (1, 1) that was dropped.
  const Points points{{0, 0}, {1, 1}, {2, 1}, {3, 0}};
  EXPECT_THAT(RamerDouglasPeucker::simplify(points, 0.6), ElementsAre(Point{0, 0}, Point{1, 1}, Point{3, 0}));

  // A zigzag that must be kept whole, visited left span first.
  const Points zigzag{{0, 0}, {1, 4}, {2, -3}, {3, 5}, {4, -2}, {5, 0}};
  EXPECT_EQ(RamerDouglasPeucker::simplify(zigzag, 0.5), zigzag);
}

// Each number of a series becomes a point at its position, as the series thinning does with tolerance 1.
TEST(RamerDouglasPeuckerTest, ThinsASeriesToItsCorners) {
  Points series;
  for (int i = 0; i <= 20; ++i) series.push_back({double(i), i <= 10 ? double(i) : double(20 - i)});
  EXPECT_THAT(RamerDouglasPeucker::simplify(series, 1.0), ElementsAre(Point{0, 0}, Point{10, 10}, Point{20, 0}));
}

// A zigzag whose amplitude grows with the position: every span splits at its next-to-last point, so the
// spans waiting for their turn pile up as deep as the list is long. Run on a thread with a 256 KiB stack,
// on which a walk that recursed once per split would overflow long before the end.
TEST(RamerDouglasPeuckerTest, DeepSplitsNeedNoDeepCallStack) {
  struct Job {
    Points zigzag;
    Points kept;
  } job;
  for (int i = 0; i < 20000; ++i) job.zigzag.push_back({double(i), i % 2 == 0 ? double(i) : -double(i)});

  pthread_attr_t attributes;
  ASSERT_EQ(pthread_attr_init(&attributes), 0);
  ASSERT_EQ(pthread_attr_setstacksize(&attributes, 256 * 1024), 0);
  pthread_t thread;
  const auto run = [](void* argument) -> void* {
    auto* work = static_cast<Job*>(argument);
    work->kept = RamerDouglasPeucker::simplify(work->zigzag, 0);
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, run, &job), 0);
  ASSERT_EQ(pthread_join(thread, nullptr), 0);
  pthread_attr_destroy(&attributes);
  EXPECT_EQ(job.kept, job.zigzag);
}

}  // namespace
