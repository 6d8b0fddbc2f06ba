// The volumes controller over a fake system: removals, mount notifications, ejecting, and the threads each
// listener call comes on.
#include <gtest/gtest.h>

#include <algorithm>
#include <cerrno>
#include <thread>

#include "Draskel/VolumesController.hpp"
#include "tests/Draskel/FakeVolumePlatform.hpp"

namespace {

using Draskel::VolumesController;
using volumetest::browsableVolume;

class VolumesControllerEjectTest : public volumetest::FakeSystemTest {
 protected:
  void SetUp() override {
    platform_->mount("/", browsableVolume("Root", "sda2", "sda", true));
    platform_->mount("/media/stick", browsableVolume("Stick", "sdb1", "sdb"));
    platform_->mount("/media/card", browsableVolume("Card", "SDC1", "SDC"));
    controller().refresh(1);
    volumetest::pumpMainQueue();
    delegate_->clear();
  }
};

TEST_F(VolumesControllerEjectTest, ARefreshAddsOnItsThreadAndTellsOfVanishedVolumesAndUpdatesOnTheMainQueue) {
  // Without mount notifications every refresh reads the mount table.
  controller_->removeObservers();
  platform_->mount("/media/new", browsableVolume("New", "sdd1", "sdd"));
  const auto stick = find("/media/stick");
  // Unmounted and its directory removed, without a notification: it leaves at once.
  platform_->unmount("/media/stick");
  platform_->removeDirectory("/media/stick");
  std::thread::id refresher;
  std::thread([&] {
    refresher = std::this_thread::get_id();
    controller_->refresh(1);
  }).join();
  const auto added = delegate_->eventsOf("added");
  ASSERT_EQ(added.size(), 1u);
  EXPECT_EQ(added[0].thread, refresher);
  EXPECT_EQ(added[0].volume->url, "/media/new");
  EXPECT_EQ(find("/media/stick"), nullptr);
  EXPECT_EQ(delegate_->count("updated") + delegate_->count("removed"), 0u);
  volumetest::pumpMainQueue();
  const auto removed = delegate_->eventsOf("removed");
  const auto updated = delegate_->eventsOf("updated");
  ASSERT_EQ(removed.size() + updated.size(), 2u);
  EXPECT_EQ(removed.at(0).volume, stick);
  EXPECT_TRUE(removed[0].onMainThread && updated.at(0).onMainThread);
}

TEST_F(VolumesControllerEjectTest, AnUnmountDropsTheVolumesNoLongerMountedAndTellsAtOnce) {
  // A mount the controller never knew: nothing to remove, nobody told.
  platform_->unmount("/media/card");
  platform_->mount("/media/other", browsableVolume("Other", "sde1", "sde"));
  platform_->unmount("/media/other");
  const auto card = volumeAt("/media/card");

  std::thread::id handler;
  std::thread([&] {
    handler = std::this_thread::get_id();
    controller_->handleUnmount();
  }).join();
  const auto removed = delegate_->eventsOf("removed");
  ASSERT_EQ(removed.size(), 1u);
  EXPECT_EQ(removed[0].volume, card);
  EXPECT_EQ(removed[0].thread, handler);
  EXPECT_EQ(controller_->volumeCount(), 2);

  // Without a mount table nothing is removed; the notification path runs on the main thread.
  platform_->unmount("/media/stick");
  platform_->setMountTableReadable(false);
  controller_->handleUnmount();
  EXPECT_EQ(controller_->volumeCount(), 2);
  platform_->setMountTableReadable(true);
  platform_->postUnmount();
  ASSERT_TRUE(volumetest::pumpUntil([&] { return delegate_->count("removed") == 2; }));
  EXPECT_TRUE(delegate_->eventsOf("removed")[1].onMainThread);
  EXPECT_EQ(controller_->volumeCount(), 1);
}

TEST_F(VolumesControllerEjectTest, EjectAllLeavesOutTheStartupVolumeAndExactBsdNamesOnly) {
  // Other letter case excludes nothing.
  controller_->ejectAll({"SDB1", "sdc1"});
  threads_.joinAll();
  auto requests = platform_->unmountRequests();
  std::sort(requests.begin(), requests.end());
  EXPECT_EQ(requests, (std::vector<std::string>{"/media/card", "/media/stick"}));
  // One pass thread, then one thread per volume.
  EXPECT_EQ(threads_.started(), 3);
  ASSERT_TRUE(volumetest::pumpUntil([&] { return controller_->volumeCount() == 1; }));

  // With only the startup volume left, only the pass thread starts.
  controller_->ejectAll();
  threads_.joinAll();
  EXPECT_EQ(threads_.started(), 4);
  EXPECT_EQ(platform_->unmountRequests().size(), 2u);

  platform_->mount("/media/stick", browsableVolume("Stick", "sdb1", "sdb"));
  platform_->mount("/media/card", browsableVolume("Card", "SDC1", "SDC"));
  controller_->refresh(1);
  controller_->ejectAll({"sdb1"});
  threads_.joinAll();
  requests = platform_->unmountRequests();
  ASSERT_EQ(requests.size(), 3u);
  EXPECT_EQ(requests[2], "/media/card");

  // A single eject tries whatever it is given, the startup volume too.
  controller_->eject(volumeAt("/"));
  threads_.joinAll();
  EXPECT_EQ(platform_->unmountRequests().back(), "/");
}

TEST_F(VolumesControllerEjectTest, NullArgumentsAreRefusedAndAReleasedControllerStopsFollowingMounts) {
  EXPECT_THROW(controller_->setDelegates(nullptr), std::invalid_argument);
  EXPECT_THROW(controller_->eject(nullptr), std::invalid_argument);
  EXPECT_THROW(VolumesController::create(nullptr), std::invalid_argument);
  EXPECT_THROW(VolumesController::create(platform_, nullptr), std::invalid_argument);

  controller_->refresh(1);  // queues volumesUpdated
  platform_->postMount();
  controller_.reset();
  EXPECT_FALSE(platform_->isObserved());
  volumetest::pumpMainQueue();
  EXPECT_EQ(delegate_->count("updated"), 0u);
  // Read once, by the first refresh: the second had no notification, and the late one did nothing.
  EXPECT_EQ(platform_->tableReads(), 1);
}

}  // namespace
