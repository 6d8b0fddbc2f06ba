#include <gtest/gtest.h>
#include <locale.h>
#include <unistd.h>

#include <clocale>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <stdexcept>
#include <string>
#include <tuple>

#include "Platform/Foundation/TextFormat.hpp"

namespace {

using platform::formatC;
using platform::shortestDouble;
using platform::shortestText;

TEST(TextFormatTest, FormatsLikePrintfAtAnyLengthAndRejectsWhatItCannotWrite) {
  EXPECT_EQ(formatC("%02d:%02d", 5, 7), "05:07");
  EXPECT_EQ(formatC("%.2f Gb/s %s %%", 1.005e3, "up"), "1005.00 Gb/s up %");
  EXPECT_EQ(formatC("%s", ""), "");
  for (const std::size_t length : {255u, 256u, 257u, 100'000u}) {
    const std::string longText(length, 'x');
    EXPECT_EQ(formatC("<%s>", longText.c_str()), "<" + longText + ">");
  }
  const char* none = nullptr;
  EXPECT_THROW(formatC(none, 1), std::invalid_argument);
  // "é" has no form in the C locale's character set, so printf fails there (it would succeed in UTF-8).
  EXPECT_THROW(formatC("%ls", L"caf\u00e9"), std::runtime_error);
}

constexpr const char* german = "de_DE.UTF-8";

// While it lives, de_DE.UTF-8 (decimal comma) can be loaded even where the machine lacks it: it is then
// compiled with localedef into a temporary directory that LOCPATH names.
struct GermanLocaleAvailable {
  GermanLocaleAvailable() {
    const std::string previous = std::setlocale(LC_NUMERIC, nullptr);
    if (std::setlocale(LC_NUMERIC, german) != nullptr) {
      std::setlocale(LC_NUMERIC, previous.c_str());
      return;
    }
    directory = std::filesystem::path(testing::TempDir()) / ("locales-" + std::to_string(getpid()));
    std::filesystem::create_directories(directory);
    const std::string target = (directory / german).string();
    const std::string command = "localedef -i de_DE -f UTF-8 '" + target + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) == 0) setenv("LOCPATH", directory.c_str(), 1);
  }
  ~GermanLocaleAvailable() {
    if (!directory.empty()) unsetenv("LOCPATH"), std::filesystem::remove_all(directory);
  }
  std::filesystem::path directory;
};

TEST(TextFormatTest, IgnoresTheProcessAndTheThreadLocale) {
  const GermanLocaleAvailable available;
  const std::string previous = std::setlocale(LC_ALL, nullptr);
  if (std::setlocale(LC_ALL, german) == nullptr) GTEST_SKIP() << german << " is missing and cannot be built";
  char plain[8];
  std::snprintf(plain, sizeof plain, "%.1f", 1.5);
  const std::string formatted = formatC("%.1f", 1.5);
  // A locale object made from the global locale: glibc's newlocale leaks its search path under LOCPATH.
  const locale_t comma = duplocale(LC_GLOBAL_LOCALE);
  std::setlocale(LC_ALL, previous.c_str());
  EXPECT_STREQ(plain, "1,5");  // the locale really writes a decimal comma
  EXPECT_EQ(formatted, "1.5");

  ASSERT_NE(comma, locale_t{});
  const locale_t before = uselocale(comma);
  const std::string formattedInThread = formatC("%.1f", 1.5);
  const locale_t after = uselocale(before);
  freelocale(comma);
  EXPECT_EQ(formattedInThread, "1.5");
  EXPECT_EQ(after, comma);  // formatC gave the thread its own locale back
}

TEST(TextFormatTest, ShortestDoubleWritesDoublesAsSwiftDoesAndShortestTextKeepsFloatDigits) {
  constexpr double nan = std::numeric_limits<double>::quiet_NaN();
  constexpr double inf = std::numeric_limits<double>::infinity();
  std::string texts;
  for (const double value : {1.0, 0.1, -0.0, 0.30000000000000004, 1e15, 0x1p53, 0x1p53 + 2, -1e16, 1e-4, 1e-5,
                             5e-324, std::numeric_limits<double>::max(), -nan, inf, -inf}) {
    texts += shortestDouble(value) + " ";
  }
  EXPECT_EQ(texts,
            "1.0 0.1 -0.0 0.30000000000000004 1000000000000000.0 9007199254740992.0 9.007199254740994e+15 "
            "-1e+16 0.0001 1e-05 5e-324 1.7976931348623157e+308 nan inf -inf ");
  // shortestText drops the ".0" and keeps a float's own digits.
  EXPECT_EQ(std::tuple(shortestText(1.0), shortestText(-0.0), shortestText(0.1f), shortestText(16777216.0f),
                       shortestText(16777218.0f), shortestText(std::numeric_limits<float>::max())),
            std::tuple("1", "-0", "0.1", "16777216", "1.6777218e+07", "3.4028235e+38"));
}

}  // namespace
