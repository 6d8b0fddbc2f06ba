#include <gtest/gtest.h>

#include <cmath>
#include <cstdint>
#include <limits>
#include <optional>
#include <sstream>
#include <string>
#include <tuple>

#include "Bexlan/String.hpp"
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
  EXPECT_EQ(String::truncated("ab", 3), "ab");
  EXPECT_EQ(String::truncated("ab", -1), "");
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

}  // namespace
}  // namespace Bexlan
