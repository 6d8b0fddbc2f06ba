#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <limits>

#include "Bexlan/Array.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

namespace {

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

}  // namespace
