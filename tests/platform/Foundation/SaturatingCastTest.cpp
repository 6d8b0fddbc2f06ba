#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <tuple>

#include "Platform/Foundation/SaturatingCast.hpp"

namespace {

using platform::saturatingCast;

TEST(SaturatingCastTest, TruncatesAndSaturatesAtTheLimitsOfTheTarget) {
  // A value, then as uint64, int64, uint8 and int32.
  const std::tuple<double, std::uint64_t, std::int64_t, std::uint8_t, std::int32_t> cases[] = {
      {NAN, 0, 0, 0, 0},
      {INFINITY, UINT64_MAX, INT64_MAX, 255, INT32_MAX},
      {-INFINITY, 0, INT64_MIN, 0, INT32_MIN},
      {0.99, 0, 0, 0, 0},
      {-1.5, 0, -1, 0, -1},
      {256, 256, 256, 255, 256},
      {-2147483648.9, 0, -2147483648, 0, INT32_MIN},
      {2147483647.9, 2147483647, 2147483647, 255, INT32_MAX},
      {0x1p63, 0x8000000000000000u, INT64_MAX, 255, INT32_MAX},
      {-0x1p63, 0, INT64_MIN, 0, INT32_MIN},
      {0x1p63 - 1024, 0x7FFFFFFFFFFFFC00u, 0x7FFFFFFFFFFFFC00, 255, INT32_MAX},
      {0x1p64 - 2048, 0xFFFFFFFFFFFFF800u, INT64_MAX, 255, INT32_MAX},
      {0x1p64, UINT64_MAX, INT64_MAX, 255, INT32_MAX},
  };
  for (const auto& [value, unsigned64, signed64, unsigned8, signed32] : cases) {
    SCOPED_TRACE(value);
    EXPECT_EQ(saturatingCast<std::uint64_t>(value), unsigned64);
    EXPECT_EQ(saturatingCast<std::int64_t>(value), signed64);
    EXPECT_EQ(saturatingCast<std::uint8_t>(value), unsigned8);
    EXPECT_EQ(saturatingCast<std::int32_t>(value), signed32);
  }
}

}  // namespace
