// onePixel is read once per process, so it is tested in a process of its own.
#include <gtest/gtest.h>

#include "Platform/UI/Screen.hpp"
#include "Tavrix/Controls/Constants.hpp"
#include "Tavrix/Controls/Environment.hpp"

using Tavrix::Constants;

TEST(OnePixel, TakesTheMainScreenOfTheFirstReadAndKeepsIt) {
  {
    platform::ScopedMainScreen retina(platform::Screen{2});
    EXPECT_EQ(Constants::onePixel(), 0.5);
  }
  EXPECT_EQ(Tavrix::mainScreenScale(), 1);
  EXPECT_EQ(Constants::onePixel(), 0.5);
  platform::ScopedMainScreen other(platform::Screen{3});
  EXPECT_EQ(Tavrix::mainScreenScale(), 3);
  EXPECT_EQ(Constants::onePixel(), 0.5);
}
