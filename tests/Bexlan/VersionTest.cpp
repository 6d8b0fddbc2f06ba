#include <gtest/gtest.h>

#include <string>

#include "Bexlan/Version.hpp"

namespace {

using Bexlan::Version;

// Checks every operator on the pair both ways round against the expected order of a and b.
void expectOrder(const std::string& a, const std::string& b, int expected) {
  SCOPED_TRACE("'" + a + "' against '" + b + "'");
  const Version left(a), right(b);
  EXPECT_EQ(left < right, expected < 0);
  EXPECT_EQ(left > right, expected > 0);
  EXPECT_EQ(left == right, expected == 0);
  EXPECT_EQ(left <= right, expected <= 0);
  EXPECT_EQ(left >= right, expected >= 0);
  EXPECT_EQ(Version::compare(b, a), -expected);
}

TEST(VersionTest, NumbersCompareByValueAndOtherCharactersOneByOne) {
  expectOrder("1.10", "1.9", 1);
  expectOrder("2.0", "2.0.1", -1);
  expectOrder("", "0", -1);
  expectOrder("1.01", "1.1", 0);                                     // leading zeros do not count
  expectOrder("99999999999999999999", "100000000000000000000", -1);  // beyond any integer type
  expectOrder("2.0b2", "2.0b10", -1);
  expectOrder("1.0", "1-0", 1);
  expectOrder("1.\xC3\xA9", "1.z", 1);  // code-point order: U+00E9 after 'z'
}

}  // namespace
