#include "Platform/Foundation/Number.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <unordered_set>
#include <vector>

namespace {

using platform::Number;
using Type = Number::Type;

constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();
constexpr std::int64_t int64Max = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t int64Min = std::numeric_limits<std::int64_t>::min();
constexpr std::uint64_t uint64Max = std::numeric_limits<std::uint64_t>::max();

static_assert(!platform::NumberSource<char> && !platform::NumberSource<long double> &&
              !platform::NumberSource<char32_t> && platform::NumberSource<signed char>);
// Constant evaluation rejects undefined behaviour, so these also prove the conversions are defined.
static_assert(Number::of(300).charValue() == 44 && Number::of(-1e300).intValue() == 0);
static_assert(Number::of(1e300).unsignedLongLongValue() == uint64Max);
static_assert(Number::of(1e300).floatValue() == inf);

TEST(NumberTest, KeepsTheSourceTypeAndItsCode) {
  const std::vector<std::tuple<Number, Type, char>> cases = {
      {Number::of(true), Type::Bool, 'c'},
      {Number::of(std::int8_t{-1}), Type::Int8, 'c'},
      {Number::of(std::uint8_t{1}), Type::UInt8, 'C'},
      {Number::of(std::int16_t{1}), Type::Int16, 's'},
      {Number::of(std::uint16_t{1}), Type::UInt16, 'S'},
      {Number::of(1), Type::Int32, 'i'},
      {Number::of(1u), Type::UInt32, 'I'},
      {Number::of(1L), Type::Int64, 'q'},
      {Number::of(1LL), Type::Int64, 'q'},
      {Number::of(1UL), Type::UInt64, 'Q'},
      {Number::of(1ULL), Type::UInt64, 'Q'},
      {Number::of(1.0f), Type::Float, 'f'},
      {Number::of(1.0), Type::Double, 'd'},
  };
  for (const auto& [number, type, code] : cases) {
    EXPECT_EQ(number.type(), type) << code;
    EXPECT_EQ(number.typeCode(), code);
  }
}

TEST(NumberTest, IntegersConvertModularly) {
  EXPECT_EQ(Number::of(300).charValue(), 44);
  EXPECT_EQ(Number::of(300).unsignedCharValue(), 44);
  EXPECT_EQ(Number::of(-1).unsignedLongLongValue(), uint64Max);
  EXPECT_EQ(Number::of(std::int8_t{-1}).unsignedShortValue(), 65535);
  EXPECT_EQ(Number::of(std::uint16_t{65535}).shortValue(), -1);
  EXPECT_EQ(Number::of(uint64Max).intValue(), -1);
  EXPECT_EQ(Number::of(uint64Max).integerValue(), -1);
  EXPECT_EQ(Number::of(int64Min).intValue(), 0);
  EXPECT_EQ(Number::of(int64Min).unsignedIntegerValue(), std::uint64_t{1} << 63);
  EXPECT_EQ(Number::of(std::uint32_t{4'000'000'000}).longValue(), 4'000'000'000);
  EXPECT_EQ(Number::of(true).unsignedLongValue(), 1u);
  EXPECT_EQ(Number::of(false).doubleValue(), 0.0);
}

TEST(NumberTest, FloatingToIntegerTruncatesSaturatesAndMapsNaNToZero) {
  for (const double d : {nan, -nan}) {
    const Number n = Number::of(d);
    EXPECT_EQ(n.longLongValue(), 0);
    EXPECT_EQ(n.unsignedLongLongValue(), 0u);
    EXPECT_EQ(n.intValue(), 0);
    EXPECT_EQ(n.charValue(), 0);
  }
  EXPECT_EQ(Number::of(2.9).integerValue(), 2);
  EXPECT_EQ(Number::of(-2.9).integerValue(), -2);
  EXPECT_EQ(Number::of(1e300).longLongValue(), int64Max);
  EXPECT_EQ(Number::of(inf).longLongValue(), int64Max);
  EXPECT_EQ(Number::of(-inf).longLongValue(), int64Min);
  EXPECT_EQ(Number::of(0x1p63).longLongValue(), int64Max);
  EXPECT_EQ(Number::of(-0x1p63).longLongValue(), int64Min);
  EXPECT_EQ(Number::of(0x1.fffffffffffffp62).longLongValue(), 9223372036854774784);
  EXPECT_EQ(Number::of(std::nextafter(-0x1p63, 0.0)).longLongValue(), -9223372036854774784);
}

TEST(NumberTest, FloatingToUnsignedFollowsTheSignedRuleBelowTwoToThe63) {
  EXPECT_EQ(Number::of(0x1p63).unsignedLongLongValue(), std::uint64_t{1} << 63);
  EXPECT_EQ(Number::of(0x1.fffffffffffffp63).unsignedLongLongValue(), 18446744073709549568u);
  EXPECT_EQ(Number::of(0x1p64).unsignedLongLongValue(), uint64Max);
  EXPECT_EQ(Number::of(inf).unsignedLongLongValue(), uint64Max);
  EXPECT_EQ(Number::of(-1.0).unsignedLongLongValue(), uint64Max);
  EXPECT_EQ(Number::of(-1.9f).unsignedIntegerValue(), uint64Max);
  EXPECT_EQ(Number::of(-inf).unsignedLongLongValue(), std::uint64_t{1} << 63);
}

TEST(NumberTest, FloatingToNarrowerIntegerGoesThroughInt64ThenWraps) {
  EXPECT_EQ(Number::of(3e9).intValue(), -1294967296);
  EXPECT_EQ(Number::of(5e9).unsignedIntValue(), 705032704u);
  EXPECT_EQ(Number::of(1e30).intValue(), -1);               // int64 max, low 32 bits all ones
  EXPECT_EQ(Number::of(1e30).unsignedIntValue(), 0xFFFFFFFFu);
  EXPECT_EQ(Number::of(-1e30).intValue(), 0);               // int64 min, low 32 bits zero
  EXPECT_EQ(Number::of(300.7).charValue(), 44);
  EXPECT_EQ(Number::of(-1.5).unsignedCharValue(), 255);
  EXPECT_EQ(Number::of(70000.0f).unsignedShortValue(), 4464);
  EXPECT_EQ(Number::of(-inf).shortValue(), 0);
}

TEST(NumberTest, ConvertsToFloatingByRoundingToNearest) {
  EXPECT_EQ(Number::of(uint64Max).doubleValue(), 18446744073709551616.0);
  EXPECT_EQ(Number::of(int64Max).doubleValue(), 0x1p63);
  EXPECT_EQ(Number::of((std::int64_t{1} << 53) + 1).doubleValue(), 0x1p53);
  EXPECT_EQ(Number::of(16777217).floatValue(), 16777216.0f);
  EXPECT_EQ(Number::of(0.1f).doubleValue(), static_cast<double>(0.1f));
  EXPECT_EQ(Number::of(0.1).floatValue(), 0.1f);
  EXPECT_TRUE(std::isnan(Number::of(nan).floatValue()));
  constexpr float largest = std::numeric_limits<float>::max();
  EXPECT_EQ(Number::of(static_cast<double>(largest)).floatValue(), largest);
  EXPECT_EQ(Number::of(0x1.fffffefffffffp127).floatValue(), largest);   // just below the midpoint
  EXPECT_EQ(Number::of(-0x1.fffffefffffffp127).floatValue(), -largest);
  EXPECT_EQ(Number::of(0x1.ffffffp127).floatValue(), std::numeric_limits<float>::infinity());
  EXPECT_EQ(Number::of(-1e300).floatValue(), -std::numeric_limits<float>::infinity());
}

TEST(NumberTest, BoolValueIsNonZero) {
  EXPECT_TRUE(Number::of(256).boolValue());
  EXPECT_TRUE(Number::of(0.5).boolValue());
  EXPECT_TRUE(Number::of(nan).boolValue());
  EXPECT_FALSE(Number::of(-0.0).boolValue());
  EXPECT_FALSE(Number::of(std::uint64_t{0}).boolValue());
  EXPECT_EQ(Number::of(true).intValue(), 1);
}

TEST(NumberTest, DescriptionOfEachKind) {
  EXPECT_EQ(Number::of(true).description(), "1");
  EXPECT_EQ(Number::of(false).description(), "0");
  EXPECT_EQ(Number::of(std::int8_t{-5}).description(), "-5");
  EXPECT_EQ(Number::of(int64Min).description(), "-9223372036854775808");
  EXPECT_EQ(Number::of(uint64Max).description(), "18446744073709551615");
  EXPECT_EQ(Number::of(1.0).description(), "1");
  EXPECT_EQ(Number::of(1e16).description(), "1e+16");
  EXPECT_EQ(Number::of(0.1f).description(), "0.1");  // the float's own shortest digits
  EXPECT_EQ(Number::of(-nan).description(), "nan");
}

// A spread of values near every boundary where a comparison through double would round.
std::vector<Number> boundaryNumbers() {
  return {Number::of(true), Number::of(false), Number::of(std::int8_t{-1}), Number::of(std::uint8_t{255}),
          Number::of(0), Number::of(-1), Number::of(1u), Number::of(int64Min), Number::of(int64Max),
          Number::of(uint64Max), Number::of(std::int64_t{1} << 53), Number::of((std::int64_t{1} << 53) + 1),
          Number::of(uint64Max - 1), Number::of(0.0), Number::of(-0.0), Number::of(0.5), Number::of(-0.5),
          Number::of(1.0), Number::of(1.0f), Number::of(0.1f), Number::of(0.1), Number::of(0x1p53),
          Number::of(0x1p63), Number::of(-0x1p63), Number::of(0x1p64), Number::of(0x1.fffffffffffffp63),
          Number::of(-1e300), Number::of(1e300), Number::of(inf), Number::of(-inf), Number::of(255.5f)};
}

long double exactValue(const Number& n) {
  switch (n.type()) {
    case Type::Float:
    case Type::Double: return n.doubleValue();
    case Type::UInt8:
    case Type::UInt16:
    case Type::UInt32:
    case Type::UInt64:
    case Type::Bool: return static_cast<long double>(n.unsignedLongLongValue());
    default: return static_cast<long double>(n.longLongValue());
  }
}

TEST(NumberTest, OrdersExactlyAcrossTypes) {
  if (std::numeric_limits<long double>::digits < 64) GTEST_SKIP() << "long double cannot hold every int64";
  const std::vector<Number> numbers = boundaryNumbers();
  for (const Number& a : numbers) {
    for (const Number& b : numbers) {
      EXPECT_EQ(a <=> b, exactValue(a) <=> exactValue(b)) << a.description() << " vs " << b.description();
      EXPECT_EQ(a == b, exactValue(a) == exactValue(b)) << a.description() << " vs " << b.description();
    }
  }
}

TEST(NumberTest, NaNIsUnorderedAndUnequal) {
  const Number notANumber = Number::of(nan);
  for (const Number& other : boundaryNumbers()) {
    EXPECT_EQ(notANumber <=> other, std::partial_ordering::unordered);
    EXPECT_EQ(other <=> notANumber, std::partial_ordering::unordered);
  }
  EXPECT_NE(notANumber, Number::of(nan));
  EXPECT_NE(notANumber, notANumber);
}

TEST(NumberTest, EqualNumbersHashAlike) {
  const std::hash<Number> hash;
  const std::vector<Number> numbers = boundaryNumbers();
  for (const Number& a : numbers) {
    for (const Number& b : numbers) {
      if (a == b) {
        EXPECT_EQ(hash(a), hash(b)) << a.description() << " vs " << b.description();
      }
    }
  }
  const std::unordered_set<Number> set = {Number::of(1), Number::of(1.0), Number::of(true),
                                          Number::of(std::uint8_t{1}), Number::of(2.5f), Number::of(2.5)};
  EXPECT_EQ(set.size(), 2u);
  EXPECT_EQ(set.count(Number::of(1ULL)), 1u);
}

}  // namespace
