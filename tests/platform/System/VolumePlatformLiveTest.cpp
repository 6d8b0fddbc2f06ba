// The volume platform's readers against the running machine, each compared with an independent reader at
// the same moment: findmnt, df, lsblk and blkid (util-linux, coreutils), and /proc/diskstats itself; then
// unmounting and ejecting real mounts, and the check that tells that the mount table changed.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <sys/sysmacros.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <iterator>
#include <memory>
#include <sstream>
#include <thread>

#include "Platform/System/BlockDevice.hpp"
#include "Platform/System/BlockDeviceStat.hpp"
#include "Platform/System/FileSystemLabel.hpp"
#include "Platform/System/FileSystemSize.hpp"
#include "Platform/System/MountInfo.hpp"
#include "Platform/System/MountWatcher.hpp"
#include "Platform/System/UdevDatabase.hpp"
#include "Platform/System/Unmount.hpp"
#include "Platform/System/VolumePlatform.hpp"
#include "tests/platform/System/LoopVolume.hpp"

namespace {

using platform::TextSource;
using platform::unmount;
using volumetest::runCommand;
using volumetest::shellQuoted;

constexpr std::uint64_t mebibyte = 1 << 20;

std::vector<std::string> wordsOf(const std::string& command) {
  const volumetest::CommandResult result = runCommand(command);
  EXPECT_EQ(result.status, 0) << command << ": " << result.output;
  std::istringstream stream(result.output);
  return {std::istream_iterator<std::string>(stream), std::istream_iterator<std::string>()};
}

// The size and the available bytes that df gives for the file system at `path`.
std::pair<std::uint64_t, std::uint64_t> dfSizes(const std::string& path) {
  const std::vector<std::string> words = wordsOf("df -B1 --output=size,avail " + shellQuoted(path));
  EXPECT_EQ(words.size(), 4u) << path;
  return {std::stoull(words.at(2)), std::stoull(words.at(3))};
}

TEST(VolumeReadersLiveTest, TheRootAgreesWithDfFindmntAndLsblk) {
  if (const std::string why = volumetest::whyNoRootMount(); !why.empty()) GTEST_SKIP() << why;
  const platform::FileSystemSize size = platform::FileSystemSize::read("/").value();
  const auto [total, available] = dfSizes("/");
  EXPECT_EQ(size.totalBytes, total);
  // Other programs write while the two read: allow 1 GiB, far below the blocks reserved for root that
  // separate free from available space on a usual ext4.
  EXPECT_LT(std::max(size.availableBytes, available) - std::min(size.availableBytes, available),
            1024 * mebibyte);
  EXPECT_FALSE(platform::FileSystemSize::read("/no/such/path").has_value());

  const platform::MountInfo table = platform::MountInfo::read(*TextSource::live()).value();
  const platform::MountInfoEntry* root = table.visibleAt("/");
  ASSERT_NE(root, nullptr);
  // -v: the source alone, without the "[/folder]" a bound root's source carries.
  EXPECT_EQ(wordsOf("findmnt -nv -o MAJ:MIN,FSTYPE,SOURCE /"),
            (std::vector{std::to_string(root->major) + ":" + std::to_string(root->minor),
                         root->fileSystemType, root->source}));

  const auto name = platform::BlockDevice::nameOfMount(*TextSource::live(), *root);
  if (!name) GTEST_SKIP() << "the root file system is not on a block device here (" << root->source << ")";
  const platform::BlockDevice device = platform::BlockDevice::read(*TextSource::live(), *name).value();
  const std::vector<std::string> facts = wordsOf("lsblk -ndo NAME,RM,ROTA /dev/" + *name);
  ASSERT_EQ(facts.size(), 3u);
  EXPECT_EQ(std::tuple(device.name, device.isRemovable, device.isRotational),
            std::tuple(facts[0], facts[1] == "1", facts[2] == "1"));
  // lsblk names the parent disk of a partition, nothing for a whole disk.
  const std::vector<std::string> parent = wordsOf("lsblk -ndo PKNAME /dev/" + *name);
  EXPECT_EQ(device.wholeDisk, parent.empty() ? device.name : parent[0]);
}

class LoopVolumeLiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (const std::string why = volumetest::whyNoLoopVolumes(); !why.empty()) GTEST_SKIP() << why;
    volume_ = std::make_unique<volumetest::LoopVolume>("Vol T");
    ASSERT_EQ(::stat(volume_->device().c_str(), &node_), 0);
  }

  // The device's counters from sysfs and from /proc/diskstats, read at one quiet moment: sysfs is read
  // before and after diskstats and must not have moved.
  std::pair<platform::BlockDeviceStat, platform::BlockDeviceStat> quietCounters() const {
    for (int attempt = 0; attempt < 20; ++attempt) {
      const auto before = platform::BlockDeviceStat::read(*TextSource::live(), volume_->name());
      const auto entries = platform::readDiskStats(*TextSource::live());
      const auto after = platform::BlockDeviceStat::read(*TextSource::live(), volume_->name());
      if (!before || !entries || before != after) continue;
      for (const platform::DiskStatsEntry& entry : *entries)
        if (entry.name == volume_->name()) return {*before, entry.stat};
    }
    ADD_FAILURE() << "no quiet moment with counters for " << volume_->name();
    return {};
  }

  std::unique_ptr<volumetest::LoopVolume> volume_;
  struct stat node_ {};  // the loop device's node
};

TEST_F(LoopVolumeLiveTest, TheMountIsFoundWithItsEscapedPathDeviceLabelAndTheSizesOfDf) {
  const platform::MountInfo table = platform::MountInfo::read(*TextSource::live()).value();
  const platform::MountInfoEntry* mount = table.visibleAt(volume_->mountPoint());
  ASSERT_NE(mount, nullptr) << volume_->mountPoint();
  EXPECT_EQ(std::tuple(mount->major, mount->minor, mount->fileSystemType, mount->source),
            std::tuple(major(node_.st_rdev), minor(node_.st_rdev), "ext4", volume_->device()));
  EXPECT_TRUE(table.isFirstMountOfDevice(*mount));

  const auto name = platform::BlockDevice::nameOfMount(*TextSource::live(), *mount);
  ASSERT_EQ(name, volume_->name());
  const platform::BlockDevice device = platform::BlockDevice::read(*TextSource::live(), *name).value();
  EXPECT_EQ(std::tuple(device.wholeDisk, device.deviceProtocol, device.devicePath),
            std::tuple(volume_->name(), "Disk Image", std::nullopt));

  EXPECT_EQ(runCommand("blkid -s LABEL -o value " + shellQuoted(volume_->device())).output, "Vol T\n");
  EXPECT_EQ(platform::fileSystemLabel(volume_->mountPoint()), "Vol T");
  EXPECT_EQ(platform::fileSystemLabel(volume_->mountPoint(), nullptr), "Vol T");

  const platform::FileSystemSize size = platform::FileSystemSize::read(volume_->mountPoint()).value();
  EXPECT_EQ(std::pair(size.totalBytes, size.availableBytes), dfSizes(volume_->mountPoint()));
  EXPECT_FALSE(size.isReadOnly);
}

TEST_F(LoopVolumeLiveTest, UdevRecordsComeThroughLibudevAsBlkidAndUdevadmSeeThem) {
  const bool udevRuns = std::filesystem::exists("/run/udev/control");
  // udev handles the new loop device's events in its own time: its record is complete once they are done.
  if (udevRuns) {
    ASSERT_EQ(runCommand("udevadm settle --timeout=30").status, 0);
  }
  const auto record = platform::UdevDatabase::live()->blockDevice(major(node_.st_rdev), minor(node_.st_rdev));
  if (!udevRuns) {
    EXPECT_FALSE(record.has_value()) << "a device udev never processed has no record";
    GTEST_SKIP() << "udev is not running (as in a container): no records to compare";
  }
  ASSERT_TRUE(record.has_value());
  const std::string device = shellQuoted(volume_->device());
  EXPECT_EQ(record->text("ID_FS_LABEL"), "Vol T");
  EXPECT_EQ(record->text("ID_FS_UUID").value_or("") + "\n",
            runCommand("blkid -s UUID -o value " + device).output);
  std::istringstream udevadm(runCommand("udevadm info --query=property --name=" + device).output);
  for (std::string line; std::getline(udevadm, line);) {
    const std::size_t equals = line.find('=');
    if (equals == std::string::npos || !line.starts_with("ID_")) continue;
    const auto found = record->properties.find(line.substr(0, equals));
    ASSERT_NE(found, record->properties.end()) << line;
    EXPECT_EQ(found->second, line.substr(equals + 1));
  }
}

TEST_F(LoopVolumeLiveTest, DirectIoShowsUpInTheCountersExactlyAsInDiskStats) {
  auto [last, lastInDiskStats] = quietCounters();
  EXPECT_EQ(last, lastInDiskStats);
  for (const bool write : {true, false}) {
    SCOPED_TRACE(write ? "write" : "read");
    // Eight MiB to a new file of the volume, or read back, bypassing the page cache.
    const std::string data = shellQuoted(volume_->mountPoint() + "/data");
    const auto dd = runCommand(write ? "dd if=/dev/zero of=" + data + " bs=1M count=8 oflag=direct conv=fsync"
                                     : "dd if=" + data + " of=/dev/null bs=1M count=8 iflag=direct");
    ASSERT_EQ(dd.status, 0) << dd.output;
    const auto [now, nowInDiskStats] = quietCounters();
    EXPECT_EQ(now, nowInDiskStats);
    // The data and, at most, a little metadata and journal.
    const std::uint64_t moved =
        write ? now.bytesWritten() - last.bytesWritten() : now.bytesRead() - last.bytesRead();
    EXPECT_GE(moved, 8 * mebibyte);
    EXPECT_LE(moved, 9 * mebibyte);
    last = now;
  }
}

TEST(FileSystemSizeTest, BlockCountsTimesTheFragmentSizeSaturate) {
  struct statvfs status {};
  status.f_bsize = 4096;
  status.f_frsize = 1024;
  status.f_blocks = 1000;
  status.f_bavail = 250;
  status.f_flag = ST_RDONLY | ST_NOSUID;
  EXPECT_EQ(platform::FileSystemSize::from(status), (platform::FileSystemSize{1024000, 256000, true}));
  status.f_frsize = 0;
  status.f_flag = ST_NOSUID;
  EXPECT_EQ(platform::FileSystemSize::from(status), (platform::FileSystemSize{4096000, 1024000, false}));
  status.f_blocks = ~0ul;
  EXPECT_EQ(platform::FileSystemSize::from(status).totalBytes, ~0ull);
}

std::error_code posix(int code) { return {code, std::generic_category()}; }

// The exit status of `body` run in a forked child, or -1 when there was none.
int exitStatusInChild(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

// Gives this process a mount namespace of its own, whose mounts reach no other process and end with it.
bool intoPrivateMountNamespace() {
  return ::unshare(CLONE_NEWNS) == 0 && ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) == 0;
}

bool rootIsReadOnly() {
  struct statvfs status {};
  return ::statvfs("/", &status) == 0 && (status.f_flag & ST_RDONLY) != 0;
}

TEST(UnmountTest, TheRootIsRefusedHoweverItIsSpeltAndStaysWritable) {
  if (const std::string why = volumetest::whyNoRootMount(); !why.empty()) GTEST_SKIP() << why;
  volumetest::TemporaryDirectory directory;
  const std::string link = directory.path() + "/root";
  std::filesystem::create_directory_symlink("/", link);
  const bool wasReadOnly = rootIsReadOnly();
  for (const std::string& root : std::vector<std::string>{"/", "//", "/.", "/tmp/..", link, link + "/"})
    EXPECT_EQ(unmount(root), posix(EBUSY)) << root;
  EXPECT_EQ(rootIsReadOnly(), wasReadOnly);
  EXPECT_EQ(unmount(directory.path() + "/missing"), posix(ENOENT));
  EXPECT_EQ(unmount(""), posix(ENOENT));
}

class UnmountLiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount file systems";
  }

  volumetest::TemporaryDirectory directory_;
};

TEST_F(UnmountLiveTest, ABusyFileSystemStaysMountedUntilItIsFree) {
  volumetest::ScopedMount mount(directory_.path() + "/busy");
  const int fd = ::open((mount.mountPoint() + "/held").c_str(), O_CREAT | O_RDWR | O_CLOEXEC, 0600);
  ASSERT_GE(fd, 0);
  EXPECT_EQ(unmount(mount.mountPoint()), posix(EBUSY));
  EXPECT_TRUE(volumetest::isMountPoint(mount.mountPoint()));
  ::close(fd);
  EXPECT_EQ(unmount(mount.mountPoint()), std::error_code());
  EXPECT_FALSE(volumetest::isMountPoint(mount.mountPoint()));
  // The directory is no mount point any more.
  EXPECT_EQ(unmount(mount.mountPoint()), posix(EINVAL));
}

TEST_F(UnmountLiveTest, AnUnprivilegedCallerGetsEpermAndTheMountStays) {
  volumetest::ScopedMount mount(directory_.path() + "/guarded");
  // Reachable for everyone, so that the refusal is the unmount's and not the path lookup's.
  std::filesystem::permissions(directory_.path(), std::filesystem::perms::owner_all |
                                                      std::filesystem::perms::group_exec |
                                                      std::filesystem::perms::others_exec);
  EXPECT_EQ(exitStatusInChild([&] {
              if (::setresgid(65534, 65534, 65534) != 0 || ::setresuid(65534, 65534, 65534) != 0) return 255;
              return unmount(mount.mountPoint()).value();
            }),
            EPERM);
  EXPECT_TRUE(volumetest::isMountPoint(mount.mountPoint()));
}

TEST_F(UnmountLiveTest, ALoopDeviceIsDetachedWithItsLastMountOnly) {
  if (const std::string why = volumetest::whyNoLoopVolumes(); !why.empty()) GTEST_SKIP() << why;
  volumetest::LoopVolume volume("Velmora Unmount");
  const std::string image = volumetest::backingFile(volume);
  ASSERT_FALSE(image.empty());
  {
    volumetest::ScopedMount second(directory_.path() + "/second", volume.device(), "ext4", "");
    EXPECT_EQ(unmount(volume.mountPoint()), std::error_code());
    EXPECT_FALSE(volumetest::isMountPoint(volume.mountPoint()));
    EXPECT_EQ(volumetest::backingFile(volume), image);
    EXPECT_EQ(unmount(second.mountPoint()), std::error_code());
    EXPECT_FALSE(volumetest::isMountPoint(second.mountPoint()));
    EXPECT_TRUE(volumetest::becomesDetached(volume, image)) << volume.device() << " still holds " << image;
  }
  volumetest::remount(volume, image);
}

// Ejecting under a scope, in a private mount namespace of this (child) process: paths that resolve outside
// the scope are refused with EPERM and leave the mount; paths that resolve inside it are unmounted, a bind
// mount of the root among them (it is not the root mount). Gives the number of failed checks.
int ejectEscapeChecks(const std::string& base) {
  if (!intoPrivateMountNamespace()) return 100;
  int failures = 0;
  auto check = [&](bool holds, const std::string& what) {
    if (!holds) std::fprintf(stderr, "failed: %s\n", what.c_str());
    failures += !holds;
  };
  const std::string scope = base + "/scope";
  std::filesystem::create_directories(scope);
  std::filesystem::create_directories(base + "/outside");
  std::filesystem::create_directory_symlink(base + "/outside", scope + "/link");
  volumetest::LoopVolume volume("Velmora Escape");
  volumetest::ScopedMount outside(base + "/outside/mp", volume.device(), "ext4", "");
  volumetest::ScopedMount inside(scope + "/inside");
  // Seen from this namespace only: the parent's clean-up never walks into it.
  std::filesystem::create_directory(scope + "/root");
  check(::mount("/", (scope + "/root").c_str(), nullptr, MS_BIND, nullptr) == 0, "bind the root");
  std::filesystem::create_directory_symlink(scope + "/inside", scope + "/inner");
  const auto platform = platform::VolumePlatform::live(platform::TextSource::live(), scope);

  for (const std::string& escape : {scope + "/../outside/mp", scope + "/link/mp", volume.mountPoint()})
    check(platform->unmountAndEject(escape) == posix(EPERM), "EPERM for " + escape);
  check(volumetest::isMountPoint(outside.mountPoint()) && volumetest::isMountPoint(volume.mountPoint()),
        "the mounts outside the scope stay");
  check(platform->unmountAndEject(scope + "/./inner/") == std::error_code(), "unmount through a link inside");
  check(!volumetest::isMountPoint(inside.mountPoint()), "the mount inside is gone");
  check(platform->unmountAndEject(scope + "/root") == std::error_code(), "unmount a bind of the root");
  check(!rootIsReadOnly(), "the root stays writable");

  // A directory of the path swapped with a link to the outside, over and over, while ejecting through it:
  // the swap may fail an eject, never lead it outside.
  std::filesystem::create_directories(scope + "/swap/mp");
  std::filesystem::create_directory_symlink(base + "/outside", scope + "/other");
  std::atomic<bool> swapping = true;
  std::thread swapper([&] {
    while (swapping)
      ::renameat2(AT_FDCWD, (scope + "/swap").c_str(), AT_FDCWD, (scope + "/other").c_str(), RENAME_EXCHANGE);
  });
  for (int attempt = 0; attempt < 500 && volumetest::isMountPoint(outside.mountPoint()); ++attempt)
    platform->unmountAndEject(scope + "/swap/mp");
  swapping = false;
  swapper.join();
  check(volumetest::isMountPoint(outside.mountPoint()), "the outside mount stays while links are swapped");
  return failures;
}

TEST_F(UnmountLiveTest, EjectPathsThatResolveOutsideTheScopeAreRefusedWithEperm) {
  if (const std::string why = volumetest::whyNoLoopVolumes(); !why.empty()) GTEST_SKIP() << why;
  if (rootIsReadOnly()) GTEST_SKIP() << "the root is read-only here";
  if (const std::string why = volumetest::whyNoPrivateMountNamespace(); !why.empty()) GTEST_SKIP() << why;
  EXPECT_EQ(exitStatusInChild([&] { return ejectEscapeChecks(directory_.path()); }), 0)
      << "failed checks (100: no private mount namespace)";
}

// In a private mount namespace of a forked child, where no other process's mounts arrive.
TEST_F(UnmountLiveTest, TheMountTableCheckSaysYesOnceAfterEachChangeOfTheTable) {
  const int failed = exitStatusInChild([&] {
    if (!intoPrivateMountNamespace()) return 100;
    platform::MountTableCheck check;
    const bool quietAtFirst = !check.changed();
    const bool mounted = ::mount("velmora-test", directory_.path().c_str(), "tmpfs", 0, "size=1m") == 0;
    const bool seen = check.changed();
    const bool quietAgain = !check.changed();
    return !quietAtFirst + !mounted + !seen + !quietAgain;
  });
  if (failed == 100) GTEST_SKIP() << "no private mount namespace here";
  EXPECT_EQ(failed, 0);
}

}  // namespace
