#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>

#include "Bexlan/Value.hpp"
#include "Platform/Foundation/Region.hpp"

namespace Bexlan {
namespace {

using platform::Number;
using platform::ScopedRegion;
constexpr auto raw = IdentifierCategory::raw;
constexpr auto size = IdentifierCategory::size;
constexpr auto percentage = IdentifierCategory::percentage;

std::string text(IdentifierCategory category, std::optional<std::int64_t> decimals, Number number,
                 bool isSigned = true) {
  Value value(category, isSigned, decimals);
  value.setNumber(number);
  return value.description();
}

class ValueTest : public ::testing::Test {
 protected:
  ScopedRegion region_{"en_US", "UTC", {"en-US"}};
};

TEST_F(ValueTest, AbsentNumberShowsADashInEveryText) {
  for (auto category : {raw, size, percentage}) {
    Value value(category, false, 2);
    value.setInt8(-7);
    EXPECT_EQ(value.rawValue()->doubleValue(), -7.0);
    value.setOptionalInt8(std::nullopt);
    EXPECT_FALSE(value.value());
    EXPECT_EQ(value.description() + value.rawString() + value.percentString(), "---");
  }
}

TEST_F(ValueTest, IntegerTextsReadSignedOrUnsigned64BitWithoutLocale) {
  ScopedRegion german("de_DE", "UTC", {"de-DE"});
  EXPECT_EQ(text(raw, std::nullopt, Number::of(-5)), "-5");
  EXPECT_EQ(text(raw, std::nullopt, Number::of(-7.9)), "-7");
  EXPECT_EQ(text(raw, std::nullopt, Number::of(1234567u), false), "1234567");
  EXPECT_EQ(text(raw, std::nullopt, Number::of(std::numeric_limits<std::uint64_t>::max())), "-1");
  EXPECT_EQ(text(percentage, std::nullopt, Number::of(42)), "42 %");
}

// The digit rules themselves are formatted's and DecimalFormatter's (FormattedTest); a text here shows which
// one a category uses, and that both follow a change of region at the next call.
TEST_F(ValueTest, PlainTextsCutPercentTextsRoundHalfToEvenBothInTheCurrentLocale) {
  EXPECT_EQ(text(raw, 2, Number::of(2.999)), "2.99");
  EXPECT_EQ(text(raw, 2, Number::of(5)), "5.00");
  EXPECT_EQ(text(percentage, 1, Number::of(12)), "12 %");
  {
    ScopedRegion german("de_DE", "UTC", {"de-DE"});
    EXPECT_EQ(text(raw, 2, Number::of(3.14159)), "3,14");
    EXPECT_EQ(text(percentage, 1, Number::of(1234.56)), "1234,6 %");
  }
  EXPECT_EQ(text(percentage, 1, Number::of(1.25)), "1.2 %");
}

TEST_F(ValueTest, SizeIsTheByteTextWhateverTheDecimalsAndSign) {
  EXPECT_EQ(text(size, std::nullopt, Number::of(1536)), "1.5 KB");
  EXPECT_EQ(text(size, 3, Number::of(2048.9), false), "2 KB");
  ScopedRegion german("de_DE", "UTC", {"de-DE"});
  EXPECT_EQ(text(size, 1, Number::of(1536)), "1.5 KB");
}

}  // namespace
}  // namespace Bexlan
