// Eject threads of the volumes controller against a main thread that keeps refreshing, following unmounts
// and changing the listeners: the volume list, the listener table and the eject flags are shared between
// them.
#include <gtest/gtest.h>

#include <cerrno>
#include <map>
#include <string>

#include "tests/Draskel/VolumesTestSupport.hpp"

namespace {

using VolumesControllerEjectThreadsTest = volumetest::ControllerTest;

TEST_F(VolumesControllerEjectThreadsTest, EjectsRunWhileTheMainThreadRefreshesAndChangesListeners) {
  const auto mountAll = [&] {
    for (int i = 0; i < 8; ++i) {
      const std::string name = "sd" + std::string(1, static_cast<char>('b' + i));
      auto mount = volumetest::browsableVolume(name, name + "1", name);
      // Every other volume is busy: its eject fails.
      if (i % 2 == 0) mount.unmountError = {EBUSY, std::generic_category()};
      platform_->mount("/media/" + name, mount);
    }
  };
  platform_->mount("/", volumetest::browsableVolume("Root", "sda2", "sda", true));
  mountAll();
  for (int round = 0; round < 40; ++round) {
    controller().ejectAll();
    const auto passer = std::make_shared<volumetest::RecordingDelegate>();
    controller().delegates()->add(passer);
    controller().refresh(1);
    for (const auto& volume : controller().volumes()) EXPECT_FALSE(volume->bsdName.empty());
    controller().delegates()->remove(passer);
    if (round % 10 == 9) {
      auto replacement = std::make_shared<Draskel::VolumesController::Delegates>();
      replacement->add(delegate_);
      controller().setDelegates(replacement);
    }
    volumetest::pumpMainQueue();
    mountAll();
  }
  threads_.joinAll();
  volumetest::pumpMainQueue();

  // Every eject began, and each one the system refused was reported with its error: a busy volume, or one
  // an earlier eject had unmounted already.
  const auto results = platform_->unmountResults();
  EXPECT_EQ(delegate_->count("ejectStarted"), results.size());
  std::map<std::error_code, std::size_t> refused, reported;
  std::size_t unmounted = 0;
  for (const auto& [path, error] : results) ++(error ? refused[error] : unmounted);
  for (const auto& event : delegate_->eventsOf("ejectFailed")) ++reported[event.error];
  EXPECT_EQ(reported, refused);
  EXPECT_GT(refused[std::error_code(EBUSY, std::generic_category())], 0u);
  EXPECT_GT(unmounted, 0u);
}

}  // namespace
