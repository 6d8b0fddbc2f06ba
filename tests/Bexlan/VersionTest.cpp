#include "Bexlan/Version.hpp"

#include <gtest/gtest.h>

#include <string>

namespace {

using Bexlan::Version;

// Checks every operator on the pair both ways round, against the expected order of a and b.
void expectOrder(const std::string& a, const std::string& b, int expected) {
  SCOPED_TRACE("'" + a + "' against '" + b + "'");
  const Version left(a);
  const Version right(b);
  EXPECT_EQ(left < right, expected < 0);
  EXPECT_EQ(left > right, expected > 0);
  EXPECT_EQ(left == right, expected == 0);
  EXPECT_EQ(left <= right, expected <= 0);
  EXPECT_EQ(left >= right, expected >= 0);
  EXPECT_EQ(right < left, expected > 0);
  EXPECT_EQ(right > left, expected < 0);
  EXPECT_EQ(right == left, expected == 0);
}

TEST(VersionTest, NumbersCompareByValue) {
  expectOrder("1.10", "1.9", 1);
  expectOrder("10.0", "9.9", 1);
  expectOrder("2.0", "2.0.1", -1);
  expectOrder("1.2.3", "1.2.3", 0);
  expectOrder("", "", 0);
  expectOrder("", "0", -1);
  // Leading zeros do not count; digit runs beyond any integer type still compare by value.
  expectOrder("1.01", "1.1", 0);
  expectOrder("1.0010", "1.9", 1);
  expectOrder("123456789012345678901234567890", "123456789012345678901234567891", -1);
  expectOrder("99999999999999999999", "100000000000000000000", -1);
}

TEST(VersionTest, OtherCharactersCompareOneByOne) {
  expectOrder("2.0b2", "2.0b10", -1);
  expectOrder("2.0a9", "2.0b1", -1);
  expectOrder("1.0", "1-0", 1);  // '.' comes after '-'
  expectOrder("1.0", "1.0 ", -1);
  expectOrder("v2", "v10", -1);
  expectOrder("1.\xC3\xA9", "1.z", 1);  // code-point order: U+00E9 after 'z'
}

TEST(VersionTest, KeepsItsTextAsDescription) {
  Version version("2.1.3");
  EXPECT_EQ(version.string(), "2.1.3");
  EXPECT_EQ(version.description(), "2.1.3");
  version.setString("2.1.10");
  EXPECT_EQ(version.description(), "2.1.10");
  EXPECT_TRUE(version > Version("2.1.9"));
}

}  // namespace
