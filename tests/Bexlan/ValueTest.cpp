#include "Bexlan/Value.hpp"

#include <gtest/gtest.h>

#include <cstdint>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>

#include "Platform/Foundation/Region.hpp"

namespace Bexlan {
namespace {

using platform::Number;
using platform::ScopedRegion;

class ValueTest : public ::testing::Test {
 protected:
  ScopedRegion region_{"en_US", "UTC", {"en-US"}};
};

Value valueOf(IdentifierCategory category, bool isSigned, std::optional<std::int64_t> decimals, Number number) {
  Value value(category, isSigned, decimals);
  value.setNumber(number);
  return value;
}

Value raw(std::optional<std::int64_t> decimals, double number) {
  return valueOf(IdentifierCategory::raw, true, decimals, Number::of(number));
}

Value percent(std::optional<std::int64_t> decimals, double number) {
  return valueOf(IdentifierCategory::percentage, true, decimals, Number::of(number));
}

TEST_F(ValueTest, AbsentNumberShowsADashInEveryTextOfEveryCategory) {
  for (auto category : {IdentifierCategory::raw, IdentifierCategory::size, IdentifierCategory::percentage}) {
    for (auto decimals : {std::optional<std::int64_t>(), std::optional<std::int64_t>(2)}) {
      Value value(category, false, decimals);
      EXPECT_FALSE(value.rawValue());
      EXPECT_EQ(value.description(), "-");
      EXPECT_EQ(value.rawString(), "-");
      EXPECT_EQ(value.percentString(), "-");
    }
  }
  Value value(IdentifierCategory::raw, true, std::nullopt);
  value.setInt8(-7);
  EXPECT_EQ(value.rawValue()->doubleValue(), -7.0);
  value.setOptionalInt8(std::nullopt);
  EXPECT_FALSE(value.value());
  EXPECT_EQ(value.description(), "-");
}

TEST_F(ValueTest, IntegerTextsReadTheNumberAsSignedOrUnsigned64BitWithoutLocale) {
  EXPECT_EQ(valueOf(IdentifierCategory::raw, true, std::nullopt, Number::of(-5)).description(), "-5");
  EXPECT_EQ(valueOf(IdentifierCategory::raw, false, std::nullopt, Number::of(42)).description(), "42");
  EXPECT_EQ(valueOf(IdentifierCategory::raw, false, std::nullopt, Number::of(std::int8_t{-1})).description(),
            "18446744073709551615");
  EXPECT_EQ(valueOf(IdentifierCategory::raw, true, std::nullopt,
                    Number::of(std::numeric_limits<std::uint64_t>::max())).description(),
            "-1");
  // A fraction is cut toward zero when shown as an integer.
  EXPECT_EQ(raw(std::nullopt, -7.9).description(), "-7");
  ScopedRegion german("de_DE", "UTC", {"de-DE"});
  EXPECT_EQ(raw(std::nullopt, 1234567).description(), "1234567");
  EXPECT_EQ(percent(std::nullopt, 1234567).description(), "1234567 %");
}

TEST_F(ValueTest, DecimalsShowExactlyThatManyDigitsCutTowardZero) {
  EXPECT_EQ(raw(2, 3.14159).description(), "3.14");
  EXPECT_EQ(raw(2, 2.999).description(), "2.99");
  EXPECT_EQ(raw(2, -2.999).description(), "-2.99");
  EXPECT_EQ(raw(2, 5).description(), "5.00");
  EXPECT_EQ(raw(2, 4.35).description(), "4.35");
  EXPECT_EQ(raw(2, 0.5).description(), "0.50");
  EXPECT_EQ(raw(0, 7.9).description(), "7");
  EXPECT_EQ(raw(1, 1234.56).description(), "1234.5");
  // An integer number with decimals goes through the same text.
  EXPECT_EQ(valueOf(IdentifierCategory::raw, false, 1, Number::of(std::uint16_t{12})).description(), "12.0");
  ScopedRegion german("de_DE", "UTC", {"de-DE"});
  EXPECT_EQ(raw(2, 3.14159).description(), "3,14");
  EXPECT_EQ(raw(1, 1234.56).description(), "1234,5");
}

TEST_F(ValueTest, PercentTextsRoundHalfToEvenWithoutTrailingZeros) {
  EXPECT_EQ(percent(std::nullopt, 42).description(), "42 %");
  EXPECT_EQ(percent(1, 12.34).description(), "12.3 %");
  EXPECT_EQ(percent(1, 12).description(), "12 %");
  EXPECT_EQ(percent(1, 12.25).description(), "12.2 %");
  EXPECT_EQ(percent(1, 12.35).description(), "12.4 %");
  EXPECT_EQ(percent(1, 12.97).description(), "13 %");
  EXPECT_EQ(percent(0, 99.5).description(), "100 %");
  EXPECT_EQ(percent(2, -0.125).description(), "-0.12 %");
  EXPECT_EQ(valueOf(IdentifierCategory::percentage, false, std::nullopt, Number::of(-1)).description(),
            "18446744073709551615 %");
  // The raw category's percent text follows the same rules.
  EXPECT_EQ(raw(1, 12.34).percentString(), "12.3 %");
  EXPECT_EQ(raw(1, 12.34).rawString(), "12.3");
  ScopedRegion german("de_DE", "UTC", {"de-DE"});
  EXPECT_EQ(percent(1, 12.34).description(), "12,3 %");
}

TEST_F(ValueTest, SizeIsTheByteTextOfTheUnsignedNumberWhateverTheDecimalsAndSign) {
  EXPECT_EQ(valueOf(IdentifierCategory::size, true, std::nullopt, Number::of(1536)).description(), "1.5 KB");
  EXPECT_EQ(valueOf(IdentifierCategory::size, true, 3, Number::of(2048.9)).description(), "2 KB");
  EXPECT_EQ(valueOf(IdentifierCategory::size, false, std::nullopt, Number::of(std::uint64_t{0})).description(),
            "0 B");
  Value size = valueOf(IdentifierCategory::size, true, 2, Number::of(1536));
  EXPECT_EQ(size.rawString(), "1536.00");
  ScopedRegion german("de_DE", "UTC", {"de-DE"});
  EXPECT_EQ(size.description(), "1.5 KB");
}

TEST_F(ValueTest, EachSetterKeepsItsOwnNumberType) {
  Value value(IdentifierCategory::raw, true, std::nullopt);
  auto typeAfter = [&value](auto set) {
    set(value);
    return value.rawValue() ? value.rawValue()->typeCode() : '-';
  };
  EXPECT_EQ(typeAfter([](Value& v) { v.setInt(5); }), 'q');
  EXPECT_EQ(typeAfter([](Value& v) { v.setInt8(5); }), 'c');
  EXPECT_EQ(typeAfter([](Value& v) { v.setInt16(5); }), 's');
  EXPECT_EQ(typeAfter([](Value& v) { v.setInt32(5); }), 'i');
  EXPECT_EQ(typeAfter([](Value& v) { v.setInt64(5); }), 'q');
  EXPECT_EQ(typeAfter([](Value& v) { v.setUInt(5); }), 'Q');
  EXPECT_EQ(typeAfter([](Value& v) { v.setUInt8(5); }), 'C');
  EXPECT_EQ(typeAfter([](Value& v) { v.setUInt16(5); }), 'S');
  EXPECT_EQ(typeAfter([](Value& v) { v.setUInt32(5); }), 'I');
  EXPECT_EQ(typeAfter([](Value& v) { v.setUInt64(5); }), 'Q');
  EXPECT_EQ(typeAfter([](Value& v) { v.setFloat(5); }), 'f');
  EXPECT_EQ(typeAfter([](Value& v) { v.setDouble(5); }), 'd');
  EXPECT_EQ(typeAfter([](Value& v) { v.setOptionalInt(5); }), 'q');
  EXPECT_EQ(typeAfter([](Value& v) { v.setOptionalInt8(5); }), 'c');
  EXPECT_EQ(typeAfter([](Value& v) { v.setOptionalUInt16(5); }), 'S');
  EXPECT_EQ(typeAfter([](Value& v) { v.setOptionalUInt32(std::nullopt); }), '-');
  EXPECT_EQ(typeAfter([](Value& v) { v.setOptionalFloat(5); }), 'f');
  EXPECT_EQ(typeAfter([](Value& v) { v.setOptionalDouble(std::nullopt); }), '-');
  // The generic setter takes the argument's exact type; long long is 64-bit like long.
  EXPECT_EQ(typeAfter([](Value& v) { v.set(5); }), 'i');
  EXPECT_EQ(typeAfter([](Value& v) { v.set(5LL); }), 'q');
  EXPECT_EQ(typeAfter([](Value& v) { v.set(5ULL); }), 'Q');
  EXPECT_EQ(typeAfter([](Value& v) { v.set(std::optional<std::uint8_t>(5)); }), 'C');
  EXPECT_EQ(typeAfter([](Value& v) { v.set(std::optional<short>()); }), '-');
  EXPECT_EQ(typeAfter([](Value& v) { v.set(2.5f); }), 'f');
}

TEST_F(ValueTest, RejectsFractionDigitCountsOutsideZeroTo999) {
  EXPECT_THROW(Value(IdentifierCategory::raw, true, -1), std::out_of_range);
  EXPECT_THROW(Value(IdentifierCategory::raw, true, 1000), std::out_of_range);
  Value value(IdentifierCategory::percentage, true, 999);
  EXPECT_THROW(value.setDecimals(std::numeric_limits<std::int64_t>::min()), std::out_of_range);
  EXPECT_EQ(value.decimals(), 999);
  value.setDecimals(std::nullopt);
  value.setCategory(IdentifierCategory::raw);
  value.setSigned(false);
  value.setInt(-1);
  EXPECT_EQ(value.description(), "18446744073709551615");
}

}  // namespace
}  // namespace Bexlan
