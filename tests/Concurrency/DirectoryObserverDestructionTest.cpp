#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "Bexlan/DirectoryObserver.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

// Each observer is destroyed while its handler calls are running and more are being posted; a call that
// runs on after the destructor has returned sees `alive` false.
TEST(DirectoryObserverDestructionTest, WritesDuringDestructionRunNoHandlerAfterwards) {
  volumetest::TemporaryDirectory temporary;
  std::atomic<bool> writing = true;
  std::thread writer([&] {
    while (writing) std::ofstream(temporary.path() + "/file") << "x";
  });
  std::atomic<int> lateCalls = 0;
  for (int round = 0; round < 50; ++round) {
    auto alive = std::make_shared<std::atomic<bool>>(true);
    auto started = std::make_shared<std::atomic<int>>(0);
    {
      Bexlan::DirectoryObserver observer(temporary.path(), [alive, started, &lateCalls] {
        ++*started;
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        lateCalls += !*alive;
      });
      for (int i = 0; i < 1000 && *started == 0; ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(1));
      ASSERT_GT(*started, 0) << "the writes called no handler";
    }
    *alive = false;
  }
  writing = false;
  writer.join();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(lateCalls, 0);
}
