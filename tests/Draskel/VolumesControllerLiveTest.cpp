// The volumes controller on the running system, as root: an ext4 image on a loop device, mounted under a
// temporary directory that the controller's platform is limited to, so that the test sees and ejects no
// mount but its own. References: df for sizes and the mount table itself. (The counters against
// /proc/diskstats are the platform readers' live test; the controller's arithmetic on them, the recorded
// machine tests.)
#include <fcntl.h>
#include <gtest/gtest.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <memory>
#include <sstream>
#include <tuple>

#include "tests/Draskel/VolumesTestSupport.hpp"
#include "tests/platform/System/LoopVolume.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

namespace {

using Draskel::Volume;
using volumetest::runCommand;
using volumetest::shellQuoted;

class VolumesControllerLiveTest : public volumetest::ControllerTest {
 protected:
  void SetUp() override {
    if (const std::string why = volumetest::whyNoLoopVolumes(); !why.empty()) GTEST_SKIP() << why;
    loop_ = std::make_unique<volumetest::LoopVolume>("Velmora Live");
    image_ = volumetest::backingFile(*loop_);
    ASSERT_FALSE(image_.empty());
    // Taken down for a moment, so that the controller sees the volume come through the mount watcher.
    const std::string mountPoint = shellQuoted(loop_->mountPoint());
    ASSERT_EQ(runCommand("umount " + mountPoint).status, 0);
    const std::string scope = std::filesystem::path(loop_->mountPoint()).parent_path().string();
    controller(platform::VolumePlatform::live(platform::TextSource::live(), scope)).refresh(1);
    ASSERT_EQ(controller_->volumeCount(), 0);
    ASSERT_EQ(runCommand("mount -t ext4 " + shellQuoted(loop_->device()) + " " + mountPoint).status, 0);
    ASSERT_TRUE(volumetest::pumpUntil([&] { return delegate_->count("added") == 1; }));
    volume_ = controller_->volumes().at(0);
  }

  void TearDown() override {
    ControllerTest::TearDown();
    if (loop_ && !volumetest::isMountPoint(loop_->mountPoint())) volumetest::remount(*loop_, image_);
  }

  std::unique_ptr<volumetest::LoopVolume> loop_;
  std::string image_;
  std::shared_ptr<Volume> volume_;
};

TEST_F(VolumesControllerLiveTest, AMountedLoopVolumeAppearsWithItsFactsAndTheSizesDfShows) {
  EXPECT_TRUE(delegate_->eventsOf("added")[0].onMainThread);
  EXPECT_EQ(std::tuple(volume_->url.string(), volume_->name, volume_->bsdName, volume_->rootBsdName),
            std::tuple(loop_->mountPoint(), "Velmora Live", loop_->name(), loop_->name()));
  EXPECT_EQ(std::tuple(volume_->fileSystem, volume_->deviceProtocol), std::tuple("ext4", "Disk Image"));
  EXPECT_TRUE(volume_->isEjectable);
  EXPECT_FALSE(volume_->isInternal || volume_->isStartupVolume || volume_->isReadOnly);
  const auto df = runCommand("df -B1 --output=size,avail " + shellQuoted(loop_->mountPoint()));
  ASSERT_EQ(df.status, 0) << df.output;
  std::istringstream sizes(df.output.substr(df.output.find('\n') + 1));
  std::uint64_t size = 0, available = 0;
  ASSERT_TRUE(sizes >> size >> available);
  EXPECT_EQ(std::tuple(volume_->totalBytes, volume_->freeBytes), std::tuple(size, available));
}

TEST_F(VolumesControllerLiveTest, EjectFailsWhileTheVolumeIsBusyAndThenUnmountsAndDetachesIt) {
  const std::string held = loop_->mountPoint() + "/held";
  const int fd = ::open(held.c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  controller_->eject(volume_);
  threads_.joinAll();
  ::close(fd);
  const auto failed = delegate_->eventsOf("ejectFailed");
  ASSERT_EQ(failed.size(), 1u);
  EXPECT_EQ(failed[0].error, std::error_code(EBUSY, std::generic_category()));
  EXPECT_FALSE(failed[0].onMainThread);
  EXPECT_EQ(delegate_->eventsOf("ejectStarted").at(0).thread, failed[0].thread);
  EXPECT_FALSE(volume_->isEjecting);
  EXPECT_TRUE(volumetest::isMountPoint(loop_->mountPoint()));

  controller_->eject(volume_);
  threads_.joinAll();
  EXPECT_EQ(delegate_->count("ejectFailed"), 1u);
  ASSERT_TRUE(volumetest::pumpUntil([&] { return delegate_->count("removed") == 1; }));
  EXPECT_EQ(delegate_->eventsOf("removed")[0].volume, volume_);
  EXPECT_TRUE(volume_->isEjecting);  // until the volume is gone for good
  EXPECT_EQ(controller_->volumeCount(), 0);
  EXPECT_FALSE(volumetest::isMountPoint(loop_->mountPoint()));
  EXPECT_TRUE(volumetest::becomesDetached(*loop_, image_)) << loop_->device() << " still holds " << image_;
}

}  // namespace
