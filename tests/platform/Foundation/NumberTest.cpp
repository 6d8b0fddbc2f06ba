#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <iterator>
#include <limits>
#include <string>
#include <tuple>
#include <unordered_set>
#include <utility>
#include <vector>

#include "Platform/Foundation/Number.hpp"
#include "Platform/Foundation/SaturatingCast.hpp"

namespace {

using platform::Number;
using Type = Number::Type;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t int64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::uint64_t uint64Max = std::numeric_limits<std::uint64_t>::max();

template <class... T>
std::vector<Number> numbersOf(T... values) {
  return {Number::of(values)...};
}

static_assert(!platform::NumberSource<char> && !platform::NumberSource<long double> &&
              !platform::NumberSource<char32_t> && platform::NumberSource<signed char>);
// Constant evaluation rejects undefined behaviour, so these also prove the conversions are defined.
static_assert(Number::of(300).charValue() == 44 && Number::of(-1e300).intValue() == 0);
static_assert(Number::of(1e300).unsignedLongLongValue() == uint64Max);
static_assert(Number::of(1e300).floatValue() == inf);

// The shared conversion from double to an integer type, which Number's accessors build on.
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
    EXPECT_EQ(platform::saturatingCast<std::uint64_t>(value), unsigned64);
    EXPECT_EQ(platform::saturatingCast<std::int64_t>(value), signed64);
    EXPECT_EQ(platform::saturatingCast<std::uint8_t>(value), unsigned8);
    EXPECT_EQ(platform::saturatingCast<std::int32_t>(value), signed32);
  }
}

// Every integer accessor result next to its hand-computed value; both widen exactly to 128 bits.
TEST(NumberTest, IntegerAccessorsWrapTruncateAndSaturate) {
  __extension__ using Wide = __int128;
  const std::pair<Wide, Wide> cases[] = {
      // integer to integer: modular
      {Number::of(-1).unsignedLongLongValue(), uint64Max},
      {Number::of(std::int8_t{-1}).unsignedShortValue(), 65535},
      {Number::of(std::uint16_t{65535}).shortValue(), -1},
      {Number::of(std::uint32_t{4'000'000'000}).longLongValue(), 4'000'000'000},
      {Number::of(true).unsignedLongLongValue(), 1},
      // floating to int64: truncated toward zero, saturated at the limits
      {Number::of(2.9).integerValue(), 2},
      {Number::of(-2.9).integerValue(), -2},
      {Number::of(inf).longLongValue(), int64Max},
      // floating to uint64: direct from 2^63, the signed rule (then wrapping) below it
      {Number::of(0x1p63).unsignedLongLongValue(), Wide{1} << 63},
      {Number::of(0x1p64).unsignedLongLongValue(), uint64Max},
      {Number::of(-1.0).unsignedLongLongValue(), uint64Max},
      {Number::of(-inf).unsignedLongLongValue(), Wide{1} << 63},
      {Number::of(nan).unsignedLongLongValue(), 0},
      {Number::of(-nan).unsignedLongLongValue(), 0},
      // floating to a narrower integer: through int64, then wrapped
      {Number::of(3e9).intValue(), -1294967296},
      {Number::of(1e30).intValue(), -1},  // int64 max, low 32 bits all ones
      {Number::of(300.7).charValue(), 44},
      {Number::of(-1.5).unsignedCharValue(), 255},
      // boolValue: non-zero, NaN included
      {Number::of(256).boolValue(), 1},
      {Number::of(nan).boolValue(), 1},
      {Number::of(-0.0).boolValue(), 0},
  };
  for (std::size_t i = 0; i < std::size(cases); ++i) {
    EXPECT_TRUE(cases[i].first == cases[i].second)
        << "case " << i << ": " << std::to_string(static_cast<long double>(cases[i].first));
  }
}

TEST(NumberTest, FloatingAccessorsRoundToNearest) {
  constexpr float largest = std::numeric_limits<float>::max();
  constexpr float floatInf = std::numeric_limits<float>::infinity();
  const std::pair<double, double> cases[] = {
      // beyond the largest float: down to it before the midpoint to 2^128, infinity from there
      {Number::of(static_cast<double>(largest)).floatValue(), largest},
      {Number::of(0x1.fffffefffffffp127).floatValue(), largest},  // just below the midpoint
      {Number::of(-0x1.fffffefffffffp127).floatValue(), -largest},
      {Number::of(0x1.ffffffp127).floatValue(), floatInf},
      {Number::of(-1e300).floatValue(), -floatInf}};
  for (std::size_t i = 0; i < std::size(cases); ++i)
    EXPECT_EQ(cases[i].first, cases[i].second) << "case " << i;
  EXPECT_TRUE(std::isnan(Number::of(nan).floatValue()));
}

long double exactValue(const Number& n) {
  switch (n.type()) {
    case Type::Float:
    case Type::Double: return n.doubleValue();
    case Type::UInt64: return static_cast<long double>(n.unsignedLongLongValue());
    default: return static_cast<long double>(n.longLongValue());  // every other type fits in int64
  }
}

// Values near every boundary where a comparison through double would round, and NaNs, which are unordered
// with everything and unequal even to themselves. Equal numbers must hash alike.
TEST(NumberTest, OrdersExactlyAcrossTypesAndEqualNumbersHashAlike) {
  if (std::numeric_limits<long double>::digits < 64) GTEST_SKIP() << "long double cannot hold every int64";
  const std::vector<Number> numbers = numbersOf(
      true, false, std::int8_t{-1}, std::uint8_t{255}, 0, -1, 1u, uint64Max, uint64Max - 1, 1.0f, 0.1f,
      255.5f, int64Min, int64Max, std::int64_t{1} << 53, (std::int64_t{1} << 53) + 1, 0.0, -0.0, 0.5, -0.5,
      1.0, 0.1, 0x1p53, 0x1p63, -0x1p63, 0x1p64, 0x1.fffffffffffffp63, -1e300, 1e300, inf, -inf, nan, -nan);
  const std::hash<Number> hash;
  for (const Number& a : numbers) {
    for (const Number& b : numbers) {
      SCOPED_TRACE(a.description() + " vs " + b.description());
      EXPECT_EQ(a <=> b, exactValue(a) <=> exactValue(b));
      EXPECT_EQ(a == b, exactValue(a) == exactValue(b));
      if (a == b) {
        EXPECT_EQ(hash(a), hash(b));
      }
    }
  }
  const std::vector<Number> ones = numbersOf(1, 1.0, true, std::uint8_t{1}, 2.5f, 2.5);
  const std::unordered_set<Number> set(ones.begin(), ones.end());
  EXPECT_EQ(std::pair(set.size(), set.count(Number::of(1ULL))), std::pair(std::size_t{2}, std::size_t{1}));
}

}  // namespace
