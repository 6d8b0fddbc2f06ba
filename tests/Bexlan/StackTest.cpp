#include <gtest/gtest.h>

#include <string>

#include "Bexlan/Stack.hpp"

TEST(StackTest, PopsInReverseOrderOfPushingAndAnEmptyStackYieldsAbsent) {
  Bexlan::Stack<std::string> stack;
  EXPECT_EQ(stack.pop(), std::nullopt);
  EXPECT_EQ(stack.peek(), std::nullopt);
  for (const char* item : {"1", "2", "3"}) stack.push(item);
  EXPECT_EQ(stack.peek(), "3");
  EXPECT_EQ(stack.count(), 3);
  for (const char* item : {"3", "2", "1"}) EXPECT_EQ(stack.pop(), item);
  EXPECT_TRUE(stack.isEmpty());
  stack.push("a");
  stack.removeAll();
  EXPECT_TRUE(stack.isEmpty());
  EXPECT_EQ(stack.count(), 0);
  EXPECT_EQ(stack.pop(), std::nullopt);
}
