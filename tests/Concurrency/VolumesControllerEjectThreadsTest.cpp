// Eject threads of the volumes controller against a main thread that keeps refreshing, following unmounts
// and changing the listeners: the volume list, the listener table and the eject flags are shared between
// them.
#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <string>

#include "Draskel/VolumesController.hpp"
#include "tests/Draskel/FakeVolumePlatform.hpp"
#include "tests/Draskel/VolumesTestSupport.hpp"

namespace {

using Draskel::VolumesController;

TEST(VolumesControllerEjectThreadsTest, EjectsRunWhileTheMainThreadRefreshesAndChangesListeners) {
  constexpr int volumeCount = 8;
  constexpr int rounds = 40;
  volumetest::JoiningThreads threads;
  auto platform = std::make_shared<volumetest::FakeVolumePlatform>();
  const auto mountAll = [&] {
    for (int i = 0; i < volumeCount; ++i) {
      const std::string name = "sd" + std::string(1, static_cast<char>('b' + i));
      auto mount = volumetest::browsableVolume(name, name + "1", name);
      // Every other volume is busy: its eject fails.
      if (i % 2 == 0) mount.unmountError = {EBUSY, std::generic_category()};
      platform->mount("/media/" + name, mount);
    }
  };
  platform->mount("/", volumetest::browsableVolume("Root", "sda2", "sda", true));
  mountAll();
  const auto controller = VolumesController::create(platform, threads.starter());
  const auto listener = std::make_shared<volumetest::RecordingDelegate>();
  controller->delegates()->add(listener);

  for (int round = 0; round < rounds; ++round) {
    controller->ejectAll();
    const auto passer = std::make_shared<volumetest::RecordingDelegate>();
    controller->delegates()->add(passer);
    controller->refresh(1);
    for (const auto& volume : controller->volumes()) EXPECT_FALSE(volume->bsdName.empty());
    controller->delegates()->remove(passer);
    if (round % 10 == 9) {
      auto replacement = std::make_shared<VolumesController::Delegates>();
      replacement->add(listener);
      controller->setDelegates(replacement);
    }
    volumetest::pumpMainQueue();
    mountAll();
  }
  threads.joinAll();
  volumetest::pumpMainQueue();

  // Every eject began, and each one the system refused was reported with its error: a busy volume, or one
  // an earlier eject had unmounted already.
  const auto results = platform->unmountResults();
  EXPECT_EQ(listener->count("ejectStarted"), results.size());
  std::map<std::error_code, std::size_t> refused;
  std::size_t unmounted = 0;
  for (const auto& [path, error] : results) {
    if (error) {
      ++refused[error];
    } else {
      ++unmounted;
    }
  }
  std::map<std::error_code, std::size_t> reported;
  for (const auto& event : listener->eventsOf("ejectFailed")) ++reported[event.error];
  EXPECT_EQ(reported, refused);
  EXPECT_GT(refused[std::error_code(EBUSY, std::generic_category())], 0u);
  EXPECT_GT(unmounted, 0u);
}

}  // namespace
