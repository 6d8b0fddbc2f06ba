#include "Bexlan/DirectoryObserver.hpp"

#include <gtest/gtest.h>

#include <fstream>
#include <thread>

#include "tests/platform/System/MountTestGuards.hpp"

TEST(DirectoryObserverDestructionTest, WritesDuringDestructionRunNoHandlerAfterwards) {
  volumetest::TemporaryDirectory temporary;
  std::atomic<bool> writing = true;
  std::thread writer([&] {
    while (writing) std::ofstream(temporary.path() + "/file") << "x";
  });
  std::atomic<int> lateCalls = 0;
  for (int round = 0; round < 100; ++round) {
    auto alive = std::make_shared<std::atomic<bool>>(true);
    Bexlan::DirectoryObserver(temporary.path(), [alive, &lateCalls] { lateCalls += !*alive; });
    *alive = false;  // the observer above is gone
  }
  writing = false;
  writer.join();
  std::this_thread::sleep_for(std::chrono::milliseconds(100));
  EXPECT_EQ(lateCalls, 0);
}
