#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <sstream>
#include <stdexcept>
#include <string>
#include <tuple>

#include "Bexlan/DecimalFormatter.hpp"
#include "Bexlan/DecimalText.hpp"
#include "Bexlan/Double.hpp"
#include "Bexlan/Float.hpp"
#include "Bexlan/FloatingPoint.hpp"
#include "Bexlan/Formatted.hpp"
#include "Bexlan/Int.hpp"
#include "Bexlan/String.hpp"
#include "Bexlan/Value.hpp"
#include "Platform/Foundation/Region.hpp"
#include "tests/Bexlan/ScopedCLocale.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

namespace Bexlan {
namespace {

constexpr std::int64_t huge = std::numeric_limits<std::int64_t>::max();
constexpr std::int64_t tiny = std::numeric_limits<std::int64_t>::min();

TEST(TextOperations, CountCharactersAsAReaderSeesThemHoldOffsetsToTheTextAndSplitPaths) {
  // "e" with a combining accent, a flag and a family joined by zero-width joiners: 3 characters, 29 bytes.
  const std::string e = "e\u0301", flag = "\U0001F1E9\U0001F1EA",
                    family = "\U0001F468\u200D\U0001F469\u200D\U0001F467";
  EXPECT_EQ(String::truncated(e + flag + family, 2), e + flag);
  EXPECT_EQ(String::substring(e + flag + family, 1, 1), flag);
  EXPECT_EQ(String::substringTo(e + flag + family, 2, 3), family);
  EXPECT_EQ(String::withoutLastFiveCharacters("ab" + e + flag + family + "cd"), "ab");
  EXPECT_EQ(String::truncated(std::string("\xff\xfe") + "abc", 3),
            std::string("\xff\xfe") + "a");  // stray bytes

  // text, from, to or length or n, expected
  using Case = std::tuple<const char*, std::int64_t, std::int64_t, const char*>;
  for (auto [text, from, to, expected] :
       {Case{"hello", -2, 100, "hello"}, Case{"hello", 1, 3, "el"}, Case{"hello", 9, 12, ""},
        Case{"hello", 3, 1, ""}, Case{"hello", tiny, huge, "hello"}, Case{"", 0, 1, ""}}) {
    EXPECT_EQ(String::substringTo(text, from, to), expected) << from << " to " << to;
  }
  for (auto [text, from, length, expected] :
       {Case{"hello", 1, 3, "ell"}, Case{"hello", -2, 3, "h"}, Case{"hello", 3, 100, "lo"},
        Case{"hello", 2, -1, ""}, Case{"hello", 4, huge, "o"}, Case{"hello", tiny, tiny, ""}}) {
    EXPECT_EQ(String::substring(text, from, length), expected) << from << " length " << length;
  }
  EXPECT_EQ(std::tuple(String::truncated("ab", 3), String::truncated("ab", -1)), std::tuple("ab", ""));
  EXPECT_EQ(String::withoutLastFiveCharacters("abc"), "");
  const std::tuple<const char*, const char*> paths[] = {
      {"/a/b/c.txt", "c.txt"}, {"/a/b/", "b"}, {"/", "/"}, {"//", "/"}, {"", ""}, {"a//b//", "b"}};
  for (auto [path, expected] : paths) EXPECT_EQ(String::lastPathComponent(path), expected) << path;
}

TEST(TextOperations, MacRomanCodeFoldsTheLastEightBytesAndAgreesWithIconv) {
  const std::tuple<std::string, std::uint64_t> cases[] = {{"abcd", 0x61626364},
                                                          {"", 0},
                                                          {"\U0001F600", 0},
                                                          {"a\u00e9", 0x618E},
                                                          {"123456789", 0x3233343536373839},
                                                          {"e\u0301", 0},
                                                          {"ab\xff", 0}};
  for (const auto& [text, code] : cases) EXPECT_EQ(String::macRomanCode(text), code) << text;

  std::string lines;  // printable ASCII but the quote, and the Latin-1 letters, one a line
  for (int c = 0x20; c <= 0xFF; ++c) {
    if (c == '\'' || (c >= 0x7F && c < 0xC0) || c == 0xD7 || c == 0xF7) continue;
    lines += c < 0x80 ? std::string{char(c)} : std::string{char(0xC0 | (c >> 6)), char(0x80 | (c & 0x3F))};
    lines += '\n';
  }
  const auto reference =
      systemtest::commandOutput("printf '%s' '" + lines + "' | iconv -c -f UTF-8 -t MACINTOSH");
  // iconv -c drops what it cannot convert, leaving that line empty.
  std::istringstream text(lines), converted(reference);
  for (std::string character, bytes; std::getline(text, character);) {
    ASSERT_TRUE(std::getline(converted, bytes)) << "iconv stopped before " << character;
    const std::uint64_t expected = bytes.empty() ? 0 : static_cast<unsigned char>(bytes[0]);
    EXPECT_EQ(String::macRomanCode(character), expected) << character;
  }
}

TEST(TextOperations, FloatValueReadsOnlyAWholeNumberWhateverTheLocale) {
  const ScopedCLocale german(
      "de_DE.UTF-8");  // where installed: its strtof would read "1,5" and stop at "0.1"
  const std::tuple<std::string, std::optional<double>> cases[] = {
      {"1", 1.0},         {" 1", std::nullopt},  {"1 ", std::nullopt}, {"\t1", std::nullopt}, {"1e3", 1000.0},
      {"", std::nullopt}, {"0.1", double(0.1f)}, {"-0x1p-2", -0.25},   {"1,5", std::nullopt}};
  for (const auto& [text, expected] : cases) EXPECT_EQ(String::floatValue(text), expected) << text;
  EXPECT_EQ(String::floatValue(std::string("1\0", 2)), std::nullopt);
  EXPECT_EQ(String::floatValue("1e50"), std::numeric_limits<double>::infinity());
  EXPECT_TRUE(std::isnan(String::floatValue("nan").value_or(0)));
}

using platform::ScopedRegion;
constexpr double nan = std::numeric_limits<double>::quiet_NaN();
constexpr double inf = std::numeric_limits<double>::infinity();

TEST(NumberTexts, FollowThePinnedLocale) {
  // locale, 1234567 grouped, -1234 grouped, separator, formatted2(-2.999), decimalText(-1234.125, 2)
  const std::tuple<const char*, const char*, const char*, const char*, const char*, const char*> cases[] = {
      {"en_US", "1,234,567", "-1,234", ".", "-2.99", "-1234.12"},
      {"de_DE", "1.234.567", "-1.234", ",", "-2,99", "-1234,12"},
  };
  for (auto [locale, grouped, negative, separator, cut, halfEven] : cases) {
    ScopedRegion region(locale, "UTC", {"en"});
    SCOPED_TRACE(locale);
    EXPECT_EQ(std::tuple(Int::formattedWithSeparator(1234567), Int::formattedWithSeparator(-1234),
                         Int::formattedWithSeparator(0), String::decimalSeparator()),
              std::tuple(grouped, negative, "0", separator));
    EXPECT_EQ(std::tuple(Double::formatted2(-2.999), Float::formatted2(-2.999f), decimalText(-1234.125, 2)),
              std::tuple(cut, cut, halfEven));
  }
  ScopedRegion region("en_US", "UTC", {"en"});
  const std::tuple<std::optional<std::string>, const char*> texts[] = {
      {Float::formatted(0.1f, 10), "0.1000000014"},  // widened first
      // At most the digits, halves to even, no trailing zeros, every integer digit.
      {decimalText(platform::Number::of(1.5), 2), "1.5"},
      {decimalText(platform::Number::of(2), 2), "2"},
      {decimalText(platform::Number::of(0.125), 2), "0.12"},
      {decimalText(2.5), "2"},
      {decimalText(3.5), "4"},
      {decimalText(std::numeric_limits<std::uint64_t>::max()), "18446744073709551615"},
  };
  for (const auto& [text, expected] : texts) EXPECT_EQ(text, expected);
}

TEST(NumberArithmetic, RoundsToPlacesAndMultiples) {
  const std::tuple<double, std::int64_t, double> places[] = {
      {1.234, 2, 1.23}, {0.125, 2, 0.13}, {2.5, 0, 3}, {-2.5, 0, -3}, {1234.5, -2, 1200}};
  for (auto [value, n, expected] : places) {
    EXPECT_DOUBLE_EQ(Double::rounded(value, n), expected) << value << " to " << n;
    EXPECT_FLOAT_EQ(Float::rounded(static_cast<float>(value), n), static_cast<float>(expected)) << value;
  }
  // Computed in double, the result lies beyond float's range; it narrows to the largest float.
  EXPECT_EQ(Float::rounded(std::numeric_limits<float>::max(), -31), std::numeric_limits<float>::max());

  using Rule = RoundingRule;  // value, rule, the multiple of 5 it rounds to
  const std::tuple<double, Rule, double> multiples[] = {{12.5, Rule::toNearestOrAwayFromZero, 15},
                                                        {12.5, Rule::toNearestOrEven, 10},
                                                        {17.5, Rule::toNearestOrEven, 20},
                                                        {-7.5, Rule::toNearestOrEven, -10},
                                                        {-7, Rule::up, -5},
                                                        {-7, Rule::down, -10},
                                                        {-7, Rule::towardZero, -5},
                                                        {-7, Rule::awayFromZero, -10}};
  for (auto [value, rule, expected] : multiples) {
    EXPECT_DOUBLE_EQ(FloatingPoint::rounded(value, 5.0, rule), expected) << value << " rule " << int(rule);
    EXPECT_FLOAT_EQ(FloatingPoint::rounded(float(value), 5.0f, rule), float(expected)) << value;
  }
}

TEST(NumberArithmetic, ConversionsToUnsignedGiveZeroOutsideTheirRange) {
  const std::tuple<double, std::uint32_t> conversions[] = {{-0.5, 0}, {4294967295.5, 0},         {nan, 0},
                                                           {inf, 0},  {4294967295, 4294967295u}, {3.99, 3}};
  for (auto [value, expected] : conversions) EXPECT_EQ(Double::uint32Value(value), expected) << value;
  const ScopedRegion region("en_US", "UTC", {"en"});
  EXPECT_EQ(Double::date(365 * 86400 + 43200).dayString(), "1971-01-01");  // seconds since 1970, not 2001
}

TEST(FormattedTest, WritesExactlyTheDigitsCutTowardZeroAndRefusesCountsOutsideZeroTo999) {
  ScopedRegion region("en_US", "UTC", {"en-US"});
  const std::tuple<double, int, const char*> cases[] = {
      {1.25, 1, "1.2"},   {-1.25, 1, "-1.2"}, {4.35, 2, "4.35"},  // not floor(4.35 * 100) / 100
      {1.005, 2, "1.00"}, {9.99, 0, "9"},     {0.5, 3, "0.500"}, {1234567.891, 2, "1234567.89"}};
  for (auto [value, digits, text] : cases) EXPECT_EQ(formatted(value, digits), text) << value;
  ScopedRegion german("de_DE", "UTC", {"de-DE"});
  EXPECT_EQ(formatted(-1234567.891, 1), "-1234567,8");
  EXPECT_THROW(formatted(1.0, -1), std::out_of_range);
  EXPECT_THROW(formatted(1.0, std::numeric_limits<std::int64_t>::max()), std::out_of_range);
  EXPECT_THROW(DecimalFormatter::string(platform::Number::of(1), 1000), std::out_of_range);
  EXPECT_THROW(Value(IdentifierCategory::raw, true, -1), std::out_of_range);
  Value value(IdentifierCategory::raw, true, 999);
  EXPECT_THROW(value.setDecimals(1000), std::out_of_range);
  EXPECT_EQ(value.decimals(), 999);
}

using platform::Number;
using enum IdentifierCategory;

std::string text(IdentifierCategory category, std::optional<std::int64_t> decimals, Number number,
                 bool isSigned = true) {
  Value value(category, isSigned, decimals);
  value.setNumber(number);
  return value.description();
}

// The digit rules themselves are formatted's and DecimalFormatter's (FormattedTest); a text here shows which
// one a category uses, and that both follow a change of region at the next call.
TEST(ValueTest, AnAbsentNumberIsADashPlainTextsCutPercentTextsRoundHalfToEvenSizesAreByteTexts) {
  const ScopedRegion region("en_US", "UTC", {"en-US"});
  for (auto category : {raw, size, percentage}) {
    Value value(category, false, 2);
    value.setInt8(-7);
    EXPECT_EQ(value.rawValue()->doubleValue(), -7.0);
    value.setOptionalInt8(std::nullopt);
    EXPECT_FALSE(value.value());
    EXPECT_EQ(value.description() + value.rawString() + value.percentString(), "---");
  }
  EXPECT_EQ(text(raw, 2, Number::of(2.999)), "2.99");
  EXPECT_EQ(text(raw, 2, Number::of(5)), "5.00");
  EXPECT_EQ(text(percentage, 1, Number::of(12)), "12 %");
  EXPECT_EQ(text(size, std::nullopt, Number::of(1536)), "1.5 KB");  // whatever the decimals and sign
  EXPECT_EQ(text(size, 3, Number::of(2048.9), false), "2 KB");
  {
    ScopedRegion german("de_DE", "UTC", {"de-DE"});
    EXPECT_EQ(text(raw, 2, Number::of(3.14159)), "3,14");
    EXPECT_EQ(text(percentage, 1, Number::of(1234.56)), "1234,6 %");
    // Without decimals: an integer read signed or unsigned in 64 bits, written without the locale.
    EXPECT_EQ(text(raw, std::nullopt, Number::of(-5)), "-5");
    EXPECT_EQ(text(raw, std::nullopt, Number::of(-7.9)), "-7");
    EXPECT_EQ(text(raw, std::nullopt, Number::of(1234567u), false), "1234567");
    EXPECT_EQ(text(raw, std::nullopt, Number::of(std::numeric_limits<std::uint64_t>::max())), "-1");
    EXPECT_EQ(text(percentage, std::nullopt, Number::of(42)), "42 %");
  }
  EXPECT_EQ(text(percentage, 1, Number::of(1.25)), "1.2 %");
}

}  // namespace
}  // namespace Bexlan
