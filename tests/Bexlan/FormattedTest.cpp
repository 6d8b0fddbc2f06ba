#include "Bexlan/Formatted.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <stdexcept>

#include "Bexlan/DecimalFormatter.hpp"
#include "Bexlan/Value.hpp"
#include "Platform/Foundation/Region.hpp"

namespace Bexlan {
namespace {

using platform::Number;
using platform::ScopedRegion;

class FormattedTest : public ::testing::Test {
 protected:
  ScopedRegion region_{"en_US", "UTC", {"en-US"}};
};

TEST_F(FormattedTest, WritesExactlyTheDigitsCutTowardZeroWithoutGrouping) {
  EXPECT_EQ(formatted(1.25, 1), "1.2");
  EXPECT_EQ(formatted(-1.25, 1), "-1.2");
  EXPECT_EQ(formatted(4.35, 2), "4.35");
  EXPECT_EQ(formatted(1.005, 2), "1.00");
  EXPECT_EQ(formatted(9.99, 0), "9");
  EXPECT_EQ(formatted(0.5, 3), "0.500");
  EXPECT_EQ(formatted(1234567.891, 2), "1234567.89");
  ScopedRegion german("de_DE", "UTC", {"de-DE"});
  EXPECT_EQ(formatted(-1234567.891, 1), "-1234567,8");
}

TEST_F(FormattedTest, DecimalFormatterWritesAtMostTheDigitsHalfToEven) {
  EXPECT_EQ(DecimalFormatter::string(Number::of(1.5), 2), "1.5");
  EXPECT_EQ(DecimalFormatter::string(Number::of(2), 2), "2");
  EXPECT_EQ(DecimalFormatter::string(Number::of(0.125), 2), "0.12");
  EXPECT_EQ(DecimalFormatter::string(Number::of(0.375), 2), "0.38");
  EXPECT_EQ(DecimalFormatter::string(Number::of(2.5f), 0), "2");
  EXPECT_EQ(DecimalFormatter::string(Number::of(std::numeric_limits<std::uint64_t>::max()), 2),
            "18446744073709551615");
  ScopedRegion german("de_DE", "UTC", {"de-DE"});
  EXPECT_EQ(DecimalFormatter::string(Number::of(-1234.5678), 3), "-1234,568");
}

TEST_F(FormattedTest, FractionDigitCountsOutsideZeroTo999AreRejected) {
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
