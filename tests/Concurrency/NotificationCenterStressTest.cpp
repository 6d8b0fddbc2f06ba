#include <gtest/gtest.h>

#include <thread>

#include "Platform/Foundation/NotificationCenter.hpp"

// Posts race adds, removes and destructions; a call into a destroyed observer shows under the sanitizers.
TEST(NotificationCenterStressTest, PostsAgainstAddsRemovesAndDestructions) {
  platform::NotificationCenter center;
  const platform::NotificationName name("stress");
  std::atomic<bool> running = true;
  std::atomic<int> calls = 0;
  const auto handler = [&](void* observer, const platform::Notification&) {
    calls += *static_cast<int*>(observer);
  };
  std::vector<std::thread> posters, changers;
  for (int i = 0; i < 3; ++i) {
    posters.emplace_back([&] {
      while (running) center.post(name);
    });
    changers.emplace_back([&] {
      for (int round = 0; round < 2000; ++round) {
        auto observer = std::make_shared<int>(1);
        center.addObserver(observer, handler, name);
        if (round % 2 == 0) center.removeObserver(observer.get(), name);
      }
    });
  }
  for (auto& changer : changers) changer.join();
  running = false;
  for (auto& poster : posters) poster.join();
  const int before = calls;
  center.post(name);
  EXPECT_EQ(calls, before);  // every observer is gone, and so are their registrations
}
