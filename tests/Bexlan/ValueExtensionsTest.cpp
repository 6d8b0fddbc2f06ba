#include <fcntl.h>
#include <gtest/gtest.h>
#include <pthread.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <limits>
#include <string>
#include <tuple>
#include <vector>

#include "Bexlan/Array.hpp"
#include "Bexlan/Bundle.hpp"
#include "Bexlan/Comparable.hpp"
#include "Bexlan/RamerDouglasPeucker.hpp"
#include "Bexlan/Version.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

namespace {

TEST(ClampedTest, RaisesThenLowers) {
  const double cases[][4] = {{5, 3, 10, 5}, {1, 3, 10, 3}, {11, 3, 10, 10},
                             {0, 10, 3, 3}, {5, 10, 3, 3}, {20, 10, 3, 3}};
  for (const auto& c : cases) EXPECT_EQ(Bexlan::Comparable::clamped(c[0], c[1], c[2]), c[3]);
}

TEST(BundleFactsTest, InfoTextsOrFixedFallbacks) {
  const volumetest::TemporaryDirectory root;
  // A name and version that are not texts, a file that is no object or is cut short, or no file: fallbacks.
  const char* infos[] = {R"({"name": "Probe", "shortVersion": "2.1"})", R"({"name": 7, "shortVersion": 1.5})",
                         R"(["Probe"])", R"({"name": "Cut)", nullptr};
  for (int i = 0; i < 5; ++i) {
    const auto directory = std::filesystem::path(root.path()) / std::to_string(i);
    std::filesystem::create_directories(directory);
    if (infos[i]) std::ofstream(directory / "Info.json") << infos[i];
    const auto bundle = platform::Bundle::atPath(directory);
    EXPECT_EQ(Bexlan::Bundle::appName(*bundle), i == 0 ? "Probe" : "Unknown App") << i;
    EXPECT_EQ(Bexlan::Bundle::appVersion(*bundle), i == 0 ? "2.1" : "Unknown Version") << i;
  }
}

namespace Array = Bexlan::Array;
using Ints = std::vector<int>;

TEST(ArrayTest, ChunkingStridingAndRemovingTables) {
  const Ints five{1, 2, 3, 4, 5};
  const std::pair<std::int64_t, std::vector<Ints>> chunks[] = {
      {2, {{1, 2}, {3, 4}, {5}}}, {5, {five}}, {0, {}}, {-2, {}}};
  for (const auto& [n, expected] : chunks) EXPECT_EQ(Array::chunked(five, n), expected) << n;
  const std::pair<std::int64_t, Ints> strides[] = {
      {2, {1, 3, 5}}, {-2, {1, 3, 5}}, {0, {}}, {std::numeric_limits<std::int64_t>::min(), {1}}};
  for (const auto& [n, expected] : strides) EXPECT_EQ(Array::strided(five, n), expected) << n;
  EXPECT_TRUE(Array::chunked(Ints{}, 3).empty());
  Ints values{1, 2, 3, 2};
  Array::remove(values, 2);
  Array::remove(values, 9);
  EXPECT_EQ(values, (Ints{1, 3, 2}));
}

TEST(ArrayTest, MostRecentlyModifiedPrefersTheFirstNewestReadableFile) {
  const volumetest::TemporaryDirectory temporary;
  const std::filesystem::path directory = temporary.path();
  auto file = [&](const char* name, time_t seconds, long nanoseconds) {
    std::ofstream(directory / name) << name;
    const timespec times[2] = {{seconds, nanoseconds}, {seconds, nanoseconds}};
    EXPECT_EQ(::utimensat(AT_FDCWD, (directory / name).c_str(), times, 0), 0);
    return directory / name;
  };
  const auto old = file("old", 1000, 0), a = file("a", 2000, 0), b = file("b", 2000, 0),
             later = file("l", 2000, 1);
  const auto missing = directory / "missing";
  using Paths = std::vector<std::filesystem::path>;
  EXPECT_EQ(Array::mostRecentlyModified(Paths{}), std::nullopt);
  EXPECT_EQ(Array::mostRecentlyModified(Paths{old, a, b}), a);
  EXPECT_EQ(Array::mostRecentlyModified(Paths{b, a, later, old}), later);
  EXPECT_EQ(Array::mostRecentlyModified(Paths{missing, old}), old);
  EXPECT_EQ(Array::mostRecentlyModified(Paths{missing, directory / "gone"}), missing);
}

using Bexlan::Version;

// Checks every operator on the pair both ways round against the expected order of a and b.
void expectOrder(const std::string& a, const std::string& b, int expected) {
  SCOPED_TRACE("'" + a + "' against '" + b + "'");
  const Version left(a), right(b);
  EXPECT_EQ(std::tuple(left<right, left> right, left == right, left <= right, left >= right),
            std::tuple(expected<0, expected> 0, expected == 0, expected <= 0, expected >= 0));
  EXPECT_EQ(Version::compare(b, a), -expected);
}

TEST(VersionTest, NumbersCompareByValueAndOtherCharactersOneByOne) {
  expectOrder("1.10", "1.9", 1);
  expectOrder("2.0", "2.0.1", -1);
  expectOrder("", "0", -1);
  expectOrder("1.01", "1.1", 0);                                     // leading zeros do not count
  expectOrder("99999999999999999999", "100000000000000000000", -1);  // beyond any integer type
  expectOrder("2.0b2", "2.0b10", -1);
  expectOrder("1.0", "1-0", 1);
  expectOrder("1.\xC3\xA9", "1.z", 1);  // code-point order: U+00E9 after 'z'
}

using Bexlan::Point;
using Points = std::vector<Point>;

Points simplify(const Points& points, double epsilon) {
  return Bexlan::RamerDouglasPeucker::simplify(points, epsilon);
}

TEST(RamerDouglasPeuckerTest, KeepsAPointOnlyWhenItStraysFurtherThanTheTolerance) {
  const double nan = std::numeric_limits<double>::quiet_NaN();
  const Points bump{{0, 0}, {1, 0.5}, {2, 0}};
  const Points zigzag{{0, 0}, {1, 4}, {2, -3}, {3, 5}, {4, -2}, {5, 0}};
  // points, tolerance, the points kept
  const std::tuple<Points, double, Points> cases[] = {
      // Short lists and bad tolerances.
      {Points{}, 1, Points{}},
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
  for (const auto& [points, epsilon, kept] : cases)
    EXPECT_EQ(simplify(points, epsilon), kept) << points.size() << " points, tolerance " << epsilon;
}

// A zigzag whose amplitude grows with the position splits every span at its next-to-last point, so waiting
// spans pile up as deep as the list is long. On a 256 KiB stack, a walk that recursed per split overflows.
TEST(RamerDouglasPeuckerTest, DeepSplitsNeedNoDeepCallStack) {
  struct Job {
    Points zigzag, kept;
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
