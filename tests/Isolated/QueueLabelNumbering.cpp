// Runs in a process of its own: the queue numbers count every guarded value made since the process began.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "Bexlan/BXDictionary.hpp"
#include "Bexlan/ThreadedObject.hpp"

TEST(QueueLabelNumberingTest, CountsEveryGuardedValueOfEveryElementTypeFromZero) {
  Bexlan::ThreadedObject<int> first(0, Bexlan::ThreadingType::serial);
  Bexlan::BXDictionary<std::string, double> second;
  Bexlan::ThreadedObject<std::map<int, int>> third({}, Bexlan::ThreadingType::concurrent);
  EXPECT_EQ(first.queue()->label(), "com.threading.dispatchqueue_0");
  EXPECT_EQ(second.queue()->label(), "com.threading.dispatchqueue_1");
  EXPECT_EQ(third.queue()->label(), "com.threading.dispatchqueue_2");
}
