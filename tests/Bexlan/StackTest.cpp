#include "Bexlan/Stack.hpp"

#include <gtest/gtest.h>

#include <string>

TEST(StackTest, PopsInReverseOrderOfPushing) {
  Bexlan::Stack<int> stack;
  stack.push(1);
  stack.push(2);
  stack.push(3);
  EXPECT_EQ(stack.peek(), 3);
  EXPECT_EQ(stack.count(), 3);
  EXPECT_EQ(stack.pop(), 3);
  EXPECT_EQ(stack.pop(), 2);
  EXPECT_EQ(stack.pop(), 1);
  EXPECT_TRUE(stack.isEmpty());
}

TEST(StackTest, EmptyStackYieldsAbsent) {
  Bexlan::Stack<std::string> stack;
  EXPECT_EQ(stack.pop(), std::nullopt);
  EXPECT_EQ(stack.peek(), std::nullopt);
  stack.push("a");
  stack.removeAll();
  EXPECT_TRUE(stack.isEmpty());
  EXPECT_EQ(stack.count(), 0);
  EXPECT_EQ(stack.pop(), std::nullopt);
}
