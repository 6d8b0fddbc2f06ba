#include "Bexlan/Formatted.hpp"

#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <stdexcept>

#include "Bexlan/DecimalFormatter.hpp"
#include "Platform/Foundation/Region.hpp"

namespace Bexlan {
namespace {

using platform::Number;
using platform::ScopedRegion;

class FormattedTest : public ::testing::Test {
 protected:
  ScopedRegion region_{"en_US", "UTC", {"en-US"}};
};

TEST_F(FormattedTest, WritesExactlyTheDigitsCutTowardZeroInTheCurrentLocale) {
  EXPECT_EQ(formatted(1.25, 1), "1.2");
  EXPECT_EQ(formatted(-1.25, 1), "-1.2");
  EXPECT_EQ(formatted(4.35, 2), "4.35");
  EXPECT_EQ(formatted(0.29, 2), "0.29");
  EXPECT_EQ(formatted(1.005, 2), "1.00");
  EXPECT_EQ(formatted(9.99, 0), "9");
  EXPECT_EQ(formatted(3, 3), "3.000");
  EXPECT_EQ(formatted(1234567.891, 2), "1234567.89");
  EXPECT_EQ(formatted(1e20, 1), "100000000000000000000.0");
  ScopedRegion german("de_DE", "UTC", {"de-DE"});
  EXPECT_EQ(formatted(-1.25, 1), "-1,2");
  EXPECT_EQ(formatted(1234567.891, 2), "1234567,89");
}

TEST_F(FormattedTest, NonFiniteNumbersGetTheLocaleText) {
  EXPECT_EQ(formatted(std::numeric_limits<double>::quiet_NaN(), 2), "NaN");
  EXPECT_EQ(formatted(-std::numeric_limits<double>::infinity(), 2), "-∞");
}

TEST_F(FormattedTest, DigitCountsOutsideZeroTo999AreRejected) {
  EXPECT_THROW(formatted(1.0, -1), std::out_of_range);
  EXPECT_THROW(formatted(1.0, 1000), std::out_of_range);
  EXPECT_THROW(formatted(1.0, std::numeric_limits<std::int64_t>::max()), std::out_of_range);
  EXPECT_THROW(DecimalFormatter::string(Number::of(1), -1), std::out_of_range);
  EXPECT_EQ(formatted(0.5, 999).size(), 1001u);
}

TEST_F(FormattedTest, DecimalFormatterWritesAtMostTheDigitsHalfToEven) {
  EXPECT_EQ(DecimalFormatter::string(Number::of(1.5), 2), "1.5");
  EXPECT_EQ(DecimalFormatter::string(Number::of(2), 2), "2");
  EXPECT_EQ(DecimalFormatter::string(Number::of(0.125), 2), "0.12");
  EXPECT_EQ(DecimalFormatter::string(Number::of(0.375), 2), "0.38");
  EXPECT_EQ(DecimalFormatter::string(Number::of(2.5), 0), "2");
  EXPECT_EQ(DecimalFormatter::string(Number::of(3.5), 0), "4");
  EXPECT_EQ(DecimalFormatter::string(Number::of(-1234.5678), 3), "-1234.568");
  EXPECT_EQ(DecimalFormatter::string(Number::of(0.1f), 3), "0.1");
  ScopedRegion german("de_DE", "UTC", {"de-DE"});
  EXPECT_EQ(DecimalFormatter::string(Number::of(1.5), 2), "1,5");
}

TEST_F(FormattedTest, DecimalFormatterWritesEveryDigitOf64BitIntegers) {
  EXPECT_EQ(DecimalFormatter::string(Number::of(std::numeric_limits<std::uint64_t>::max()), 2),
            "18446744073709551615");
  EXPECT_EQ(DecimalFormatter::string(Number::of(std::numeric_limits<std::int64_t>::min()), 2),
            "-9223372036854775808");
  EXPECT_EQ(DecimalFormatter::string(Number::of(std::uint8_t{200}), 0), "200");
  EXPECT_EQ(DecimalFormatter::string(Number::of(true), 0), "1");
}

}  // namespace
}  // namespace Bexlan
