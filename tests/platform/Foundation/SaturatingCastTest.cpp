#include <gtest/gtest.h>

#include <cstdint>
#include <limits>

#include "Platform/Foundation/SaturatingCast.hpp"

namespace {

using platform::saturatingCast;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr std::uint64_t uint64Max = std::numeric_limits<std::uint64_t>::max();
constexpr std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t int64Min = std::numeric_limits<std::int64_t>::min();

// Constant evaluation rejects undefined behaviour: the conversions at the edges are defined.
static_assert(saturatingCast<std::uint64_t>(0x1p64) == uint64Max &&
              saturatingCast<std::int64_t>(-inf) == int64Min);

TEST(SaturatingCastTest, TruncatesAndSaturatesAtTheLimitsOfTheTarget) {
  struct Case {
    double value;
    std::uint64_t unsigned64;
    std::int64_t signed64;
    std::uint8_t unsigned8;
    std::int32_t signed32;
  };
  const Case cases[] = {
      {nan, 0, 0, 0, 0},
      {inf, uint64Max, int64Max, 255, 2147483647},
      {-inf, 0, int64Min, 0, -2147483647 - 1},
      {-0.0, 0, 0, 0, 0},
      {0.99, 0, 0, 0, 0},
      {-0.99, 0, 0, 0, 0},
      {-1.5, 0, -1, 0, -1},
      {255.9, 255, 255, 255, 255},
      {256, 256, 256, 255, 256},
      {-2147483648.9, 0, -2147483648, 0, -2147483647 - 1},
      {2147483647.9, 2147483647, 2147483647, 255, 2147483647},
      {0x1p63, 0x8000000000000000u, int64Max, 255, 2147483647},
      {-0x1p63, 0, int64Min, 0, -2147483647 - 1},
      {0x1p63 - 1024, 0x7FFFFFFFFFFFFC00u, 0x7FFFFFFFFFFFFC00, 255, 2147483647},
      {0x1p64 - 2048, 0xFFFFFFFFFFFFF800u, int64Max, 255, 2147483647},
      {0x1p64, uint64Max, int64Max, 255, 2147483647},
      {1e300, uint64Max, int64Max, 255, 2147483647},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.value);
    EXPECT_EQ(saturatingCast<std::uint64_t>(c.value), c.unsigned64);
    EXPECT_EQ(saturatingCast<std::int64_t>(c.value), c.signed64);
    EXPECT_EQ(saturatingCast<std::uint8_t>(c.value), c.unsigned8);
    EXPECT_EQ(saturatingCast<std::int32_t>(c.value), c.signed32);
  }
}

}  // namespace
