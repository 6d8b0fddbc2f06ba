#include <gtest/gtest.h>

#include "Platform/Foundation/FatalError.hpp"

TEST(FatalErrorDeathTest, PrintsTheMessageWithItsPlaceAndAborts) {
  EXPECT_DEATH(platform::fatalError("queue is on fire"),
               "FatalErrorTest\\.cpp:[0-9]+: Fatal error: queue is on fire");
}
