#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <stdexcept>

#include "Bexlan/StringIdentifier.hpp"
#include "Bexlan/WrappedIdentifier.hpp"
#include "Platform/Graphics/Image.hpp"
#include "tests/Bexlan/Samples.hpp"

namespace Bexlan {
namespace {

using platform::Number;

TEST(StringIdentifierTest, StartsWithTheGivenTextAndRecordsOnlyRawNumbers) {
  StringIdentifier absent("diskRead", "Read", std::nullopt);
  EXPECT_EQ(absent.description(), "-");
  EXPECT_FALSE(absent.value() || absent.min() || absent.max());
  EXPECT_EQ(doubles(absent.history()), std::vector<double>(60, 0.0));
  const Icon icon = platform::Image::create({});
  StringIdentifier entry("N_S_DL", "Download", "", icon);
  EXPECT_EQ(entry.description(), "");
  EXPECT_EQ(entry.icon(), icon);

  entry.setStringWithRaw("2 KB", Number::of(std::uint32_t{2048}));
  EXPECT_EQ(entry.description(), "2 KB");
  EXPECT_EQ(entry.value()->typeCode(), 'I');
  for (int raw : {9, 4, 6}) entry.setStringWithRaw(std::nullopt, Number::of(raw));
  entry.setStringWithRaw("nan", Number::of(std::numeric_limits<double>::quiet_NaN()));
  entry.setString("abc");  // text alone records nothing
  EXPECT_EQ(entry.description(), "abc");
  EXPECT_TRUE(std::isnan(entry.value()->doubleValue()));
  const auto samples = doubles(entry.history());
  ASSERT_EQ(samples.size(), 60u);
  EXPECT_EQ(std::vector<double>(samples.end() - 5, samples.end() - 1), (std::vector<double>{2048, 9, 4, 6}));
  EXPECT_EQ(entry.min()->doubleValue(), 4.0);
  EXPECT_EQ(entry.max()->doubleValue(), 2048.0);
  entry.setString(std::nullopt);
  EXPECT_EQ(entry.description(), "-");
}

TEST(StringIdentifierTest, ARawInitialNumberIsRecordedAndANewHistorySizeRestartsTheHistoryOnly) {
  StringIdentifier withoutRaw("K", "Name", "text", std::optional<Number>());
  EXPECT_FALSE(withoutRaw.value() || withoutRaw.min());
  StringIdentifier entry("K", "Name", "a", Number::of(8));
  const auto samples = doubles(entry.history());
  EXPECT_EQ(std::vector<double>(samples.end() - 2, samples.end()), (std::vector<double>{0, 8}));
  EXPECT_EQ(samples.size(), 60u);
  entry.setHistorySize(0);
  entry.setStringWithRaw("b", Number::of(3));
  entry.setStringWithRaw("c", Number::of(1));
  EXPECT_EQ(doubles(entry.history()), std::vector<double>{1.0});
  EXPECT_EQ(entry.max()->doubleValue(), 8.0);
  entry.setHistorySize(4);
  EXPECT_EQ(doubles(entry.history()), std::vector<double>(4, 0.0));
  EXPECT_EQ(entry.value()->longLongValue(), 1);
  EXPECT_THROW(entry.setHistorySize(-3), std::invalid_argument);
  EXPECT_EQ(entry.historySize(), 4);
}

TEST(WrappedIdentifierDeathTest, AskingTheAliasForItsTextOrNumberIsFatal) {
  std::shared_ptr<const Identifier> alias = std::make_shared<WrappedIdentifier>("A", "Alias", "B");
  const std::string where = "WrappedIdentifier\\.cpp:[0-9]+: Fatal error: ";
  EXPECT_DEATH(alias->description(), where + "Use IDataStore to get string of wrapped identifier\\.");
  EXPECT_DEATH(alias->value(), where + "Use IDataStore to get value of wrapped identifier\\.");
}

}  // namespace
}  // namespace Bexlan
