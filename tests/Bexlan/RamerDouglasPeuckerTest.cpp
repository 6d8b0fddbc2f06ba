#include <gtest/gtest.h>
#include <pthread.h>

#include <limits>
#include <vector>

#include "Bexlan/RamerDouglasPeucker.hpp"

namespace {

using Bexlan::Point;
using Points = std::vector<Point>;

Points simplify(const Points& points, double epsilon) {
  return Bexlan::RamerDouglasPeucker::simplify(points, epsilon);
}

TEST(RamerDouglasPeuckerTest, KeepsAPointOnlyWhenItStraysFurtherThanTheTolerance) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Points bump{{0, 0}, {1, 0.5}, {2, 0}};
  const Points zigzag{{0, 0}, {1, 4}, {2, -3}, {3, 5}, {4, -2}, {5, 0}};
  struct Case {
    Points points;
    double epsilon;
    Points kept;
  };
  const Case cases[] = {
      // Short lists and bad tolerances.
      {{}, 1, {}},
      {{{3, 4}}, 1, {{3, 4}}},
      {{{0, 0}, {1, 9}}, 0, {{0, 0}, {1, 9}}},
      {bump, -1, {}},
      {bump, nan, {}},
      // At the tolerance is not beyond it.
      {bump, 0.5, {{0, 0}, {2, 0}}},
      {bump, 0.4, bump},
      {{{0, 0}, {1, 1}, {2, 2}, {3, 3}}, 0, {{0, 0}, {3, 3}}},
      // A span whose ends coincide has no line to measure from: its interior is dropped, however far out.
      {{{0, 0}, {5, 5}, {0, 0}}, 0, {{0, 0}, {0, 0}}},
      // (1, 1) and (2, 1) both lie 1 from the base line. Split at the first, (1, 1), the line (1, 1)-(3, 0)
      // passes (2, 1) at 0.45, which 0.6 drops; split at (2, 1), it would have been (1, 1) that was dropped.
      {{{0, 0}, {1, 1}, {2, 1}, {3, 0}}, 0.6, {{0, 0}, {1, 1}, {3, 0}}},
      {zigzag, 0.5, zigzag}};
  for (const auto& [points, epsilon, kept] : cases) {
    EXPECT_EQ(simplify(points, epsilon), kept) << points.size() << " points, tolerance " << epsilon;
  }
}

// A zigzag whose amplitude grows with the position splits every span at its next-to-last point, so waiting
// spans pile up as deep as the list is long. On a 256 KiB stack, a walk that recursed per split overflows.
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
  const auto run = [](void* work) -> void* {
    static_cast<Job*>(work)->kept = simplify(static_cast<Job*>(work)->zigzag, 0);
    return nullptr;
  };
  ASSERT_EQ(pthread_create(&thread, &attributes, run, &job), 0);
  ASSERT_EQ(pthread_join(thread, nullptr), 0);
  pthread_attr_destroy(&attributes);
  EXPECT_EQ(job.kept, job.zigzag);
}

}  // namespace
