// The volumes controller over the Linux volume platform. At recorded machines: which mounts become volumes,
// what discovery reads for each and the platform's scope, with the sizes and labels the live platform asks
// the file systems for given by the test. On the running system, as root: an ext4 image on a loop device,
// mounted in a temporary directory the platform is limited to (so the test sees and ejects only its own
// mount), against df and the mount table; the counters against /proc/diskstats are the readers' live test.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <sys/utsname.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <functional>
#include <map>
#include <memory>
#include <sstream>
#include <string>
#include <thread>
#include <tuple>

#include "Draskel/VolumesController.hpp"
#include "Platform/System/VolumePlatform.hpp"
#include "tests/Draskel/VolumesTestSupport.hpp"
#include "tests/platform/System/LoopVolume.hpp"
#include "tests/platform/System/MountTestGuards.hpp"
#include "tests/platform/System/VolumeFixtures.hpp"

namespace {

using Draskel::Volume;
using Draskel::VolumesController;
using platform::VolumePlatform;
using volumetest::runCommand;
using volumetest::shellQuoted;

// A text source that counts the reads of the mount table.
class TableReadsCounted final : public platform::TextSource {
 public:
  TableReadsCounted(std::shared_ptr<const TextSource> source, int& reads)
      : source_(std::move(source)), reads_(reads) {}
  std::optional<std::string> read(const std::string& path) const override {
    reads_ += path == "/proc/self/mountinfo";
    return source_->read(path);
  }
  std::optional<std::vector<std::string>> list(const std::string& directory) const override {
    return source_->list(directory);
  }
  std::optional<std::string> readLink(const std::string& path) const override {
    return source_->readLink(path);
  }

 private:
  const std::shared_ptr<const TextSource> source_;
  int& reads_;
};

class VolumesControllerRecordedMachineTest : public ::testing::Test {
 protected:
  // Sizes by path length, read-only for the optical disc; labels from udev, else from `labels_`.
  VolumePlatform::FileSystemCalls calls() {
    return {
        [this](const std::string& path) -> std::optional<platform::FileSystemSize> {
          ++sizeReads_[path];
          return platform::FileSystemSize{4096 * path.size(), 1024, path == "/media/cdrom"};
        },
        [this](const std::string& mountPoint, const platform::UdevData* udev) -> std::optional<std::string> {
          if (const auto label = labels_.find(mountPoint); label != labels_.end()) return label->second;
          return udev ? udev->text("ID_FS_LABEL") : std::nullopt;
        },
    };
  }

  std::shared_ptr<const VolumePlatform> machine(std::string scope = "/") {
    return VolumePlatform::live(
        std::make_shared<TableReadsCounted>(volumetest::fixtureTree("machine"), tableReads_),
        std::move(scope), calls(), udev_);
  }

  std::map<std::string, std::string> labels_{{"/mnt/pool", "Pool"}};
  const std::shared_ptr<const platform::UdevDatabase> udev_ = volumetest::fixtureUdev();
  std::map<std::string, int> sizeReads_;
  int tableReads_ = 0;
};

TEST_F(VolumesControllerRecordedMachineTest, EveryMountPointInScopeIsListedOnceWhereItsVisibleMountIs) {
  EXPECT_EQ(machine()->mountedVolumePaths(),
            (std::vector<std::string>{"/proc", "/sys", "/", "/boot/efi", "/home", "/media/user/My Stick",
                                      "/media/user/SD Card\tTab\\", "/mnt/bind", "/mnt/stick again",
                                      "/mnt/pool", "/tmp/image dir", "/media/cdrom", "/mnt/vm", "/tmp/ram"}));
  const auto empty =
      VolumePlatform::live(std::make_shared<platform::MemoryTextSource>(), "/", calls(), udev_);
  EXPECT_FALSE(empty->mountedVolumePaths().has_value());
  EXPECT_FALSE(empty->resources("/").has_value());

  // A scoped platform sees and unmounts only what lies in its directory.
  const auto scoped = machine("/media/user/");
  EXPECT_EQ(scoped->mountedVolumePaths(),
            (std::vector<std::string>{"/media/user/My Stick", "/media/user/SD Card\tTab\\"}));
  EXPECT_FALSE(scoped->resources("/mnt/vm").has_value());
  EXPECT_FALSE(scoped->diskName("/").has_value());
  // Refused before anything is tried: these paths are not even mounts of this machine.
  EXPECT_EQ(scoped->unmountAndEject("/mnt/vm"), std::error_code(EPERM, std::generic_category()));
  EXPECT_EQ(scoped->unmountAndEject("/media/username"), std::error_code(EPERM, std::generic_category()));
  EXPECT_EQ(scoped->wholeDiskName("/sys/class/block/dm-0"), "nvme0n1");
  EXPECT_FALSE(scoped->wholeDiskName("/sys/class/block/vda").has_value());
  EXPECT_THROW(VolumePlatform::live(volumetest::fixtureTree("machine"), "media", calls()),
               std::invalid_argument);
}

TEST_F(VolumesControllerRecordedMachineTest, BrowsableBlockVolumesBecomeVolumesThatKnowTheirDiskAndKind) {
  const auto controller = VolumesController::create(machine());
  controller->refresh(1);
  // Once for the listing and once for the size pass, whatever the number of mounts.
  EXPECT_EQ(tableReads_, 2);
  // In name order: name, path, device, whole disk, protocol, internal, ejectable.
  using Facts =
      std::tuple<std::string, std::string, std::string, std::string, std::optional<std::string>, bool, bool>;
  const Facts expected[] = {
      {"Data Disk", "/", "sda2", "sda", "SATA", true, false},
      {"My Stick", "/media/user/My Stick", "sdb1", "sdb", "USB", false, true},
      {"Pool", "/mnt/pool", "dm-0", "nvme0n1", "PCI-Express", true, false},
      {"SD Card\tTab\\", "/media/user/SD Card\tTab\\", "mmcblk0p1", "mmcblk0", "Secure Digital", false, true},
      {"cdrom", "/media/cdrom", "sr0", "sr0", "ATAPI", false, true},
      {"image dir", "/tmp/image dir", "loop0p1", "loop0", "Disk Image", false, true},
      {"vm", "/mnt/vm", "vda", "vda", "Virtual Interface", true, false},
  };
  ASSERT_EQ(controller->volumeCount(), std::ssize(expected));
  for (std::size_t i = 0; i < std::size(expected); ++i) {
    const Volume& volume = *controller->volumes()[i];
    const std::string path = volume.url.string();
    EXPECT_EQ(std::tuple(volume.name, path, volume.bsdName, volume.rootBsdName, volume.deviceProtocol,
                         volume.isInternal, volume.isEjectable, volume.mediaBsdName, volume.isStartupVolume,
                         volume.isReadOnly, volume.totalBytes, volume.freeBytes),
              std::tuple_cat(expected[i], std::tuple(volume.bsdName, path == "/", path == "/media/cdrom",
                                                     4096 * path.size(), std::uint64_t{1024})));
    // The counters of the whole disk were taken as the first sample.
    EXPECT_NE(volume.currentStatistics, nullptr) << path;
  }
  // System places, a bind mount of a subdirectory, a second mount of a device and memory file systems are
  // left out without asking their file systems anything.
  for (const char* path : {"/proc", "/boot/efi", "/home", "/mnt/bind", "/mnt/stick again", "/tmp/ram"})
    EXPECT_EQ(sizeReads_[path], 0) << path;

  const auto root = controller->volumes().front();
  using Texts = std::vector<std::optional<std::string>>;
  EXPECT_EQ((Texts{root->fileSystem, root->volumeKind, root->volumeType, root->vendor, root->model,
                   root->revision, root->volumeName, root->ioDiskPath}),
            (Texts{"ext4", "ext4", "ext4", "ATA", "Samsung SSD 860 EVO 500GB", "4B6Q", "Data Disk",
                   "/sys/devices/pci0000:00/0000:00:17.0/ata1/host0/target0:0:0/0:0:0:0"}));
  ASSERT_NE(root->characteristics, nullptr);
  EXPECT_EQ(root->characteristics->serialNumber(), Draskel::PropertyValue(std::string("S3Z9NB0K123456A")));
  const auto vm = controller->volumes().back();
  ASSERT_NE(vm->characteristics, nullptr);
  EXPECT_EQ(vm->characteristics->mediumType(), Draskel::PropertyValue(std::string("Rotational")));
  const auto sda = platform::BlockDeviceStat::read(*volumetest::fixtureTree("machine"), "sda").value();
  const Draskel::VolumeStatistics& first = *root->currentStatistics;
  EXPECT_EQ(std::tuple(first.bytesRead, first.bytesWritten, first.operationsRead),
            std::tuple(sda.sectorsRead * 512, sda.sectorsWritten * 512, sda.readsCompleted));
  EXPECT_EQ(controller->string("diskRead"), "-");
  volumetest::pumpMainQueue();
}

TEST_F(VolumesControllerRecordedMachineTest, OnlyRootsOfBlockFileSystemsOutsideSystemPlacesAreBrowsable) {
  auto source = std::make_shared<platform::MemoryTextSource>();
  std::string table;
  // The first five are browsable.
  std::vector<std::string> mountPoints;
  std::istringstream words(
      "/ /run/media/user/USB /srv2 /mnt/x /tmp/z /run/user/1000/doc /srv /srv/data /var/lib/docker "
      "/usr/local /snap/core/1 /efi /opt/x /dev/x /home /boot /sys/x");
  for (std::string point; words >> point; mountPoints.push_back(point)) {
    const std::size_t i = mountPoints.size();
    const std::string device = "sd" + std::to_string(i), number = "8:" + std::to_string(i);
    table += std::to_string(100 + i) + " 1 " + number + " / " + point + " rw - ext4 /dev/" + device + " rw\n";
    source->setLink("/sys/dev/block/" + number, "../../block/" + device);
    source->setFile("/sys/class/block/" + device + "/dev", number + "\n");
  }
  source->setFile("/proc/self/mountinfo", table);
  const auto platform = VolumePlatform::live(source, "/", calls(), udev_);
  ASSERT_TRUE(platform->mountedVolumePaths().has_value());
  for (std::size_t i = 0; i < mountPoints.size(); ++i) {
    const auto resources = platform->resources(mountPoints[i]);
    ASSERT_TRUE(resources.has_value()) << mountPoints[i];
    EXPECT_EQ(resources->isBrowsable, i < 5) << mountPoints[i];
  }
}

TEST_F(VolumesControllerRecordedMachineTest, TheRootIsAVolumeWhateverPartOfItsFileSystemItShows) {
  // A btrfs root mounted from a subvolume, and a chroot's root bound from a directory. Besides the root,
  // only a btrfs subvolume mounted elsewhere by its subvol= option shows the root of its file system; a
  // subdirectory bound elsewhere does not, nor does a second mount of a device.
  for (const auto& [tree, paths] : std::map<std::string, std::vector<std::string>>{
           {"btrfs-root", {"/", "/mnt/my data", "/mnt/photos", "/mnt/x,y"}}, {"bound-root", {"/"}}}) {
    const auto controller = VolumesController::create(
        VolumePlatform::live(volumetest::fixtureTree(tree.c_str()), "/", calls(), udev_));
    controller->refresh(1);
    controller->refresh(1);
    std::vector<std::string> urls;
    for (const auto& volume : controller->volumes()) urls.push_back(volume->url.string());
    EXPECT_EQ(urls, paths) << tree;
    const auto root = controller->volumes().at(0);
    EXPECT_EQ(
        std::tuple(root->url.string(), root->name, root->bsdName, root->rootBsdName, root->isStartupVolume),
        std::tuple("/", "Data Disk", "sda2", "sda", true))
        << tree;
    // Its disk's counters give the rates the store publishes.
    EXPECT_NE(root->readSpeed, "-") << tree;
    EXPECT_EQ(controller->string("diskRead"), root->readSpeed) << tree;
  }
  volumetest::pumpMainQueue();
}

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
    controller(VolumePlatform::live(platform::TextSource::live(), scope)).refresh(1);
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
  EXPECT_EQ(std::tuple(failed[0].error, failed[0].onMainThread, failed[0].thread, volume_->isEjecting.load()),
            std::tuple(std::error_code(EBUSY, std::generic_category()), false,
                       delegate_->eventsOf("ejectStarted").at(0).thread, false));
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

// Runs `body` in a forked child with a private mount namespace, whose mounts reach no other process and end
// with it, and expects it to give no failed check ("" for none; the child prints the one it gives). Skips
// the test without such a namespace (exit status 100).
void expectInPrivateMountNamespace(const std::function<std::string()>& body) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0)
      ::_exit(100);
    const std::string failure = body();
    if (!failure.empty()) std::fprintf(stderr, "failed: %s\n", failure.c_str());
    ::_exit(failure.empty() ? 0 : 1);
  }
  int status = 0;
  const int exitStatus =
      child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
  if (exitStatus == 100) GTEST_SKIP() << "no private mount namespace here";
  EXPECT_EQ(exitStatus, 0) << "the check that failed is printed above";
}

// A controller of the live system that sees only the mounts in the temporary directory of `loop`.
std::shared_ptr<VolumesController> controllerWithin(const volumetest::LoopVolume& loop) {
  return VolumesController::create(VolumePlatform::live(
      platform::TextSource::live(), std::filesystem::path(loop.mountPoint()).parent_path().string()));
}

// What a refresh lists: each volume's path and device ("<path>:loop3"), one a line.
std::string listedAfterRefresh(VolumesController& controller) {
  controller.refresh(1);
  std::string listed;
  for (const auto& volume : controller.volumes())
    listed += volume->url.native() + ':' + volume->bsdName + '\n';
  return listed;
}

// The forked children run no main loop: mount notifications never arrive, only the refreshes tell of mounts.
// The check for table changes is made in the child's namespace and must follow it into a second one,
// where the volume is mounted and unmounted.
TEST(VolumesControllerWithoutMainLoopTest, RefreshesListALoopVolumeFromItsMountToItsUnmountInANewNamespace) {
  if (const std::string why = volumetest::whyNoLoopVolumes(); !why.empty()) GTEST_SKIP() << why;
  const volumetest::LoopVolume loop("Velmora Later");
  expectInPrivateMountNamespace([&]() -> std::string {
    if (::umount2(loop.mountPoint().c_str(), 0) != 0) return "umount";
    const auto controller = controllerWithin(loop);
    if (!listedAfterRefresh(*controller).empty()) return "a volume before the mount";
    // Its mounts are private as those of the first.
    if (::unshare(CLONE_NEWNS) != 0) return "move";
    if (::mount(loop.device().c_str(), loop.mountPoint().c_str(), "ext4", 0, "") != 0) return "mount";
    if (listedAfterRefresh(*controller) != loop.mountPoint() + ":" + loop.name() + "\n")
      return "not listed after its mount in the second namespace";
    if (::umount2(loop.mountPoint().c_str(), 0) != 0) return "unmount";
    return listedAfterRefresh(*controller).empty() ? "" : "listed after its unmount";
  });
}

// Whether the kernel moves a mount beneath another (move_mount's MOVE_MOUNT_BENEATH, Linux 6.5 on).
bool mountsBeneath() {
  struct utsname system {};
  int major = 0, minor = 0;
  return ::uname(&system) == 0 && std::sscanf(system.release, "%d.%d", &major, &minor) == 2 &&
         std::pair(major, minor) >= std::pair(6, 5);
}

// A volume is for one mount. Between two refreshes the first volume's path comes to show another mount:
// the second device after the first's unmount, the second device over the first, the first device again,
// or another file system made on the first device (which may get the freed mount and device numbers). The
// next refresh lists what the path shows, with its size; the listeners heard the first volume leave and the
// new one come (the same device mounted again may be the same mount to the kernel, or a new one). A device
// is one volume, at its first mount seen at its place: bound elsewhere and covered, it moves to the bind,
// and back when uncovered. A mount that propagation or move_mount puts beneath the volume's changes nothing.
TEST(VolumesControllerWithoutMainLoopTest, AnotherMountAtAKnownPathIsAnotherVolumeAtTheNextRefresh) {
  if (const std::string why = volumetest::whyNoLoopVolumes(); !why.empty()) GTEST_SKIP() << why;
  // The first is mounted in each child only, so that a file system can be made on its device. It is
  // unmounted here at once: a process of another test that makes its own mount namespace meanwhile keeps a
  // copy of the mount, and with it the device, until it exits.
  const volumetest::LoopVolume first("AAA", 64);
  const std::string image = volumetest::backingFile(first), path = first.mountPoint(),
                    scope = std::filesystem::path(path).parent_path();
  ASSERT_EQ(::umount2(path.c_str(), 0), 0);
  const volumetest::LoopVolume second("BBB", 128);
  const std::string places = "P=" + shellQuoted(path) + " A=" + first.device() + " B=" + second.device() +
                             " S=" + shellQuoted(second.mountPoint()) + " T=" + shellQuoted(scope) + "; ";
  using Step = std::function<bool()>;  // a change, followed by a refresh
  const auto shell = [&](const char* command) -> Step {
    return [&, command] { return runCommand(places + command).status == 0; };
  };
  using Heard = std::vector<std::string>;  // what the listeners may have heard, in order
  const Heard swapped{"added AAA;removed AAA;added BBB;"},
      again{"added AAA;", "added AAA;removed AAA;added AAA;"};
  struct Case {
    std::vector<Step> changes;
    const volumetest::LoopVolume& shown;
    const char* label;
    Heard heard;
    std::string place;  // where the volume is at the end
  };
  // Bound at $T/b and covered at $P, then uncovered.
  const std::vector<Step> coveredAndUncovered{
      shell(R"(mkdir -p "$T/b" && mount --bind "$P" "$T/b" && mount -t tmpfs velmora-test "$P")"),
      shell(R"(umount "$P")")};
  // $S shared, $T/y its slave, the first device at $T/y/p: the second, mounted at $S/p, comes beneath it.
  const std::vector<Step> propagatedBeneath{
      shell(R"(umount "$P" && mkdir -p "$S/p" "$T/y" && mount --bind "$S" "$S" && mount --make-shared "$S")"
            R"( && mount --bind "$S" "$T/y" && mount --make-slave "$T/y" && mount $A "$T/y/p")"),
      shell(R"(mount $B "$S/p")")};
  std::vector<Case> cases{
      {{shell(R"(umount "$P" && mount $B "$P")")}, second, "BBB", swapped, path},
      {{shell(R"(mount $B "$P")")}, second, "BBB", swapped, path},
      {{shell(R"(umount "$P" && mount $A "$P")")}, first, "AAA", again, path},
      {coveredAndUncovered, first, "AAA", {"added AAA;removed AAA;added AAA;removed AAA;added AAA;"}, path},
      {propagatedBeneath, first, "AAA", {"added AAA;removed AAA;added AAA;"}, scope + "/y/p"}};
  if (mountsBeneath()) {
    // MOVE_MOUNT_BENEATH, newer than the C library's headers.
    const Step movedBeneath = [&] {
      return shell(R"(mount $B "$S")")() &&
             ::move_mount(AT_FDCWD, second.mountPoint().c_str(), AT_FDCWD, path.c_str(), 0x200) == 0;
    };
    cases.push_back({{movedBeneath}, first, "AAA", {"added AAA;"}, path});
  } else {
    std::printf("no row for a mount moved beneath: the kernel does that from Linux 6.5 on\n");
  }
  // Last, as it leaves another file system on the first device. mkfs refuses a device that is busy; such a
  // copy of the first's mount may still hold it for a while, so it is tried for ten seconds.
  const Step madeAnew = shell(R"(umount "$P" && n=0 && until mkfs.ext4 -q -F -L CCC $A; do)"
                              R"( [ $((n += 1)) -lt 100 ] || exit 1; sleep 0.1; done && mount $A "$P")");
  cases.push_back({{madeAnew}, first, "CCC", {"added AAA;removed AAA;added CCC;"}, path});
  for (const Case& change : cases) {
    SCOPED_TRACE(testing::Message() << "row " << &change - cases.data() + 1);
    expectInPrivateMountNamespace([&]() -> std::string {
      // The second device's only mount is to be the one at the first's path.
      if (!shell(R"(umount "$S" && mount $A "$P")")()) return "set up";
      const auto controller = controllerWithin(first);
      const auto delegate = std::make_shared<volumetest::RecordingDelegate>();
      controller->delegates()->add(delegate);
      controller->refresh(1);
      for (const Step& step : change.changes) {
        if (!step()) return "change";
        controller->refresh(1);
      }
      struct statvfs size {};
      if (controller->volumeCount() != 1 || ::statvfs(change.place.c_str(), &size) != 0)
        return "not one volume";
      const Volume& volume = *controller->volumes()[0];
      if (std::tuple(volume.url.native(), volume.name, volume.bsdName, volume.rootBsdName,
                     volume.totalBytes) != std::tuple(change.place, change.label, change.shown.name(),
                                                      change.shown.name(), size.f_blocks * size.f_frsize))
        return "listed " + volume.name + " on " + volume.bsdName + " of " +
               std::to_string(volume.totalBytes) + " at " + volume.url.native();
      std::string heard;
      for (const auto& event : delegate->eventsOf()) heard += event.kind + " " + event.volume->name + ";";
      return std::ranges::find(change.heard, heard) != change.heard.end() ? "" : "heard " + heard;
    });
  }
  volumetest::remount(first, image);
}

TEST(VolumesControllerWithoutMainLoopTest, AReadOnlyRemountAndBackShowAtTheNextRefreshEach) {
  if (const std::string why = volumetest::whyNoLoopVolumes(); !why.empty()) GTEST_SKIP() << why;
  const volumetest::LoopVolume loop("Velmora Remount");
  expectInPrivateMountNamespace([&]() -> std::string {
    const auto controller = controllerWithin(loop);
    controller->setStorageInterval(1e12);  // no size pass: the listing tells
    controller->refresh(1);
    const std::vector<std::shared_ptr<Volume>> listed = controller->volumes();
    if (listed.size() != 1 || listed[0]->isReadOnly) return "not listed writable";
    std::string seen;
    for (const unsigned long flags : {MS_REMOUNT | MS_RDONLY, int{MS_REMOUNT}}) {
      if (::mount(nullptr, loop.mountPoint().c_str(), nullptr, flags, nullptr) != 0) return "remount";
      controller->refresh(1);
      seen += controller->volumes() != listed ? "another volume " : listed[0]->isReadOnly ? "ro " : "rw ";
    }
    return seen == "ro rw " ? "" : "after the remounts: " + seen;
  });
}

// An error makes ext4 mounted with errors=remount-ro read-only with no mount event, statvfs perhaps unaware.
TEST(VolumesControllerWithoutMainLoopTest, AFileSystemAnErrorMadeReadOnlyIsReadOnlyAtTheNextSizePass) {
  if (const std::string why = volumetest::whyNoLoopVolumes(); !why.empty()) GTEST_SKIP() << why;
  const volumetest::LoopVolume loop("Velmora Error");
  const std::string trigger = "/sys/fs/ext4/" + loop.name() + "/trigger_fs_error";
  if (::access(trigger.c_str(), W_OK) != 0)
    GTEST_SKIP() << "ext4 cannot be made to fail here: no " << trigger;
  expectInPrivateMountNamespace([&]() -> std::string {
    if (runCommand("mount -o remount,errors=remount-ro " + shellQuoted(loop.mountPoint())).status != 0)
      return "remount";
    const auto controller = controllerWithin(loop);
    controller->setStorageInterval(0);
    controller->refresh(1);
    const std::vector<std::shared_ptr<Volume>> listed = controller->volumes();
    if (listed.size() != 1 || listed[0]->isReadOnly) return "not listed writable";
    if (runCommand("echo 1 > " + trigger).status != 0) return "trigger";
    controller->refresh(1);
    return controller->volumes() == listed && listed[0]->isReadOnly ? "" : "not read-only after the error";
  });
}

TEST(VolumesControllerWithoutMainLoopTest, MountChurnWhileRefreshingDoesNotGrowTheProgram) {
#ifdef __SANITIZE_ADDRESS__
  GTEST_SKIP() << "AddressSanitizer holds freed memory back, so the program grows whatever it keeps";
#endif
  if (const std::string why = volumetest::whyNoLoopVolumes(); !why.empty()) GTEST_SKIP() << why;
  const volumetest::LoopVolume loop("Velmora Churn");
  expectInPrivateMountNamespace([&]() -> std::string {
    // Bind mounts of the volume onto a directory in it: block-backed mounts in scope.
    const std::string churn = loop.mountPoint() + "/churn";
    std::filesystem::create_directory(churn);
    const auto controller = controllerWithin(loop);
    const auto residentKilobytes = [] {  // VmRSS is exact; the count in statm may be per-CPU approximate
      std::ifstream status("/proc/self/status");
      std::string line;
      while (std::getline(status, line) && !line.starts_with("VmRSS:")) continue;
      return status ? std::stol(line.substr(6)) : -1L;
    };
    long before = 0;
    // 100 pairs to settle, then 1,500 measured; each change given time to be seen, a refresh every 20 pairs.
    for (int pair = 0; pair < 1600; ++pair) {
      if (pair == 100) before = residentKilobytes();
      if (::mount(loop.mountPoint().c_str(), churn.c_str(), nullptr, MS_BIND, nullptr) != 0) return "bind";
      std::this_thread::sleep_for(std::chrono::microseconds(500));
      if (::umount2(churn.c_str(), 0) != 0) return "unbind";
      std::this_thread::sleep_for(std::chrono::microseconds(500));
      if (pair % 20 == 0) controller->refresh(0.02);
    }
    const long growth = residentKilobytes() - before;
    return growth < 150 ? "" : "grew by " + std::to_string(growth) + " kB over 1,500 mount pairs";
  });
}

// Each subvolume mounted alone by its id (subvol= cannot name a comma); the kernel writes subvol= escaped.
TEST(VolumesControllerNamespaceTest, BtrfsSubvolumesNamedWithABlankOrACommaAreVolumes) {
  if (const std::string why = volumetest::whyNoLoopVolumes(); !why.empty()) GTEST_SKIP() << why;
  if (runCommand("command -v btrfs && (grep -qw btrfs /proc/filesystems || modprobe btrfs)").status != 0)
    GTEST_SKIP() << "needs btrfs-progs and btrfs in the kernel";
  const volumetest::LoopVolume loop("Velmora Subvolumes", 128, "btrfs");
  std::map<std::string, std::string> ids;
  for (const std::string name : {"plain", "my data", "x,y"}) {
    const std::string subvolume = shellQuoted(loop.mountPoint() + "/" + name);
    ids[name] = platform::textfields::trimmed(systemtest::commandOutput(
        "btrfs -q subvolume create " + subvolume + " && btrfs inspect-internal rootid " + subvolume));
  }
  expectInPrivateMountNamespace([&]() -> std::string {
    if (::umount2(loop.mountPoint().c_str(), 0) != 0) return "umount";  // so each is the device's only mount
    for (const auto& [name, id] : ids) {
      const std::string mountPoint = loop.mountPoint() + "/" + name;
      std::filesystem::create_directory(mountPoint);
      if (::mount(loop.device().c_str(), mountPoint.c_str(), "btrfs", 0, ("subvolid=" + id).c_str()) != 0 ||
          listedAfterRefresh(*controllerWithin(loop)) != mountPoint + ":" + loop.name() + "\n")
        return "no volume for the subvolume " + name;
      if (::umount2(mountPoint.c_str(), 0) != 0) return "umount " + name;
    }
    return "";
  });
}

// A chroot into a directory bound onto itself, as containers are rooted: "/" shows a subdirectory of the
// file system that holds the directory.
TEST(VolumesControllerNamespaceTest, TheRootBoundFromASubdirectoryIsTheStartupVolumeWithRates) {
  if (::geteuid() != 0) GTEST_SKIP() << "needs root to bind, mount and chroot";
  volumetest::TemporaryDirectory directory;
  const std::string root = directory.path() + "/root";
  for (const char* place : {"/proc", "/sys"}) std::filesystem::create_directories(root + place);
  struct stat status {};
  ASSERT_EQ(::stat(root.c_str(), &status), 0);
  if (::major(status.st_dev) == 0) GTEST_SKIP() << "the temporary directory is on no block device here";
  const std::string device =
      std::filesystem::canonical("/sys/dev/block/" + std::to_string(::major(status.st_dev)) + ":" +
                                 std::to_string(::minor(status.st_dev)))
          .filename();
  expectInPrivateMountNamespace([&]() -> std::string {
    // Made before the chroot, where its resources are at hand; it reads no volume before the first refresh.
    const auto controller = VolumesController::create();
    // In this order: the directory bound first, then the file systems mounted inside the bound one.
    const bool rooted = ::mount(root.c_str(), root.c_str(), nullptr, MS_BIND, nullptr) == 0 &&
                        ::mount("proc", (root + "/proc").c_str(), "proc", 0, nullptr) == 0 &&
                        ::mount("sysfs", (root + "/sys").c_str(), "sysfs", 0, nullptr) == 0 &&
                        ::chroot(root.c_str()) == 0 && ::chdir("/") == 0;
    if (!rooted) return "bind, mount or chroot";
    controller->refresh(1);
    controller->refresh(1);
    for (const auto& volume : controller->volumes()) {
      if (volume->url != "/") continue;
      if (!volume->isStartupVolume || volume->bsdName != device) return "not the startup volume on " + device;
      const bool published =
          controller->string("diskWrite") == volume->writeSpeed && volume->writeSpeed != "-";
      return published ? "" : "no write speed published";
    }
    return "no volume at /";
  });
}

}  // namespace
