#include <gtest/gtest.h>

#include <limits>
#include <stdexcept>
#include <tuple>

#include "Bexlan/DecimalFormatter.hpp"
#include "Bexlan/Formatted.hpp"
#include "Bexlan/Value.hpp"
#include "Platform/Foundation/Region.hpp"

namespace Bexlan {
namespace {

using platform::Number;
using platform::ScopedRegion;

TEST(FormattedTest, WritesExactlyTheDigitsCutTowardZeroWithoutGrouping) {
  ScopedRegion region("en_US", "UTC", {"en-US"});
  const std::tuple<double, int, const char*> cases[] = {
      {1.25, 1, "1.2"},   {-1.25, 1, "-1.2"}, {4.35, 2, "4.35"},  // not floor(4.35 * 100) / 100
      {1.005, 2, "1.00"}, {9.99, 0, "9"},     {0.5, 3, "0.500"}, {1234567.891, 2, "1234567.89"}};
  for (auto [value, digits, text] : cases) EXPECT_EQ(formatted(value, digits), text) << value;
  ScopedRegion german("de_DE", "UTC", {"de-DE"});
  EXPECT_EQ(formatted(-1234567.891, 1), "-1234567,8");
}

TEST(FormattedTest, DecimalFormatterWritesAtMostTheDigitsHalfToEven) {
  ScopedRegion region("en_US", "UTC", {"en-US"});
  const std::tuple<Number, int, const char*> cases[] = {
      {Number::of(1.5), 2, "1.5"},
      {Number::of(2), 2, "2"},
      {Number::of(0.125), 2, "0.12"},
      {Number::of(0.375), 2, "0.38"},
      {Number::of(2.5f), 0, "2"},
      {Number::of(std::numeric_limits<std::uint64_t>::max()), 2, "18446744073709551615"}};
  for (const auto& [number, digits, text] : cases) EXPECT_EQ(DecimalFormatter::string(number, digits), text);
  ScopedRegion german("de_DE", "UTC", {"de-DE"});
  EXPECT_EQ(DecimalFormatter::string(Number::of(-1234.5678), 3), "-1234,568");
}

TEST(FormattedTest, FractionDigitCountsOutsideZeroTo999AreRejected) {
  EXPECT_THROW(formatted(1.0, -1), std::out_of_range);
  EXPECT_THROW(formatted(1.0, std::numeric_limits<std::int64_t>::max()), std::out_of_range);
  EXPECT_THROW(DecimalFormatter::string(Number::of(1), 1000), std::out_of_range);
  EXPECT_THROW(Value(IdentifierCategory::raw, true, -1), std::out_of_range);
  Value value(IdentifierCategory::raw, true, 999);
  EXPECT_THROW(value.setDecimals(1000), std::out_of_range);
  EXPECT_EQ(value.decimals(), 999);
}

}  // namespace
}  // namespace Bexlan
