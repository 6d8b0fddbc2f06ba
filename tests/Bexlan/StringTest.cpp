#include "Bexlan/String.hpp"

#include <gtest/gtest.h>

TEST(StringConstantsTest, HoldTheirExactCharacters) {
  EXPECT_EQ(Bexlan::String::dash(), "\x2d");
  EXPECT_TRUE(Bexlan::String::empty().empty());
  EXPECT_EQ(Bexlan::String::bullet(), "\xE2\x80\xA2");
  EXPECT_EQ(Bexlan::String::indent(), std::string(4, ' '));
  EXPECT_EQ(Bexlan::String::newline(), "\x0a");
  EXPECT_EQ(Bexlan::String::doubleSpace(), std::string(2, ' '));
  // Made once: every call hands out the same text.
  EXPECT_EQ(&Bexlan::String::dash(), &Bexlan::String::dash());
}
