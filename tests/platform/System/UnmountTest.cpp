#include <fcntl.h>
#include <gtest/gtest.h>
#include <sched.h>
#include <sys/statvfs.h>
#include <sys/wait.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "Platform/System/Unmount.hpp"
#include "Platform/System/VolumePlatform.hpp"
#include "tests/platform/System/LoopVolume.hpp"

namespace {

using platform::unmount;

std::error_code posix(int code) { return {code, std::generic_category()}; }

// The exit status of `body` run in a forked child, or -1 when there was none.
int exitStatusInChild(const std::function<int()>& body) {
  const pid_t child = ::fork();
  if (child == 0) ::_exit(body());
  int status = 0;
  return child > 0 && ::waitpid(child, &status, 0) == child && WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

bool rootIsReadOnly() {
  struct statvfs status {};
  return ::statvfs("/", &status) == 0 && (status.f_flag & ST_RDONLY) != 0;
}

TEST(UnmountTest, TheRootIsRefusedHoweverItIsSpeltAndStaysWritable) {
  volumetest::TemporaryDirectory directory;
  const std::string link = directory.path() + "/root";
  std::filesystem::create_directory_symlink("/", link);
  const bool wasReadOnly = rootIsReadOnly();
  for (const std::string& root :
       {std::string("/"), std::string("//"), std::string("/."), std::string("/tmp/.."), link, link + "/"}) {
    EXPECT_EQ(unmount(root), posix(EBUSY)) << root;
  }
  EXPECT_EQ(rootIsReadOnly(), wasReadOnly);
  EXPECT_EQ(unmount(directory.path() + "/missing"), posix(ENOENT));
  EXPECT_EQ(unmount(""), posix(ENOENT));
}

class UnmountLiveTest : public ::testing::Test {
 protected:
  void SetUp() override {
    if (::geteuid() != 0) GTEST_SKIP() << "needs root to mount file systems";
    directory_ = std::make_unique<volumetest::TemporaryDirectory>();
  }

  std::unique_ptr<volumetest::TemporaryDirectory> directory_;
};

TEST_F(UnmountLiveTest, ABusyFileSystemStaysMountedUntilItIsFree) {
  volumetest::ScopedMount mount(directory_->path() + "/busy");
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
  volumetest::ScopedMount mount(directory_->path() + "/guarded");
  // Reachable for everyone, so that the refusal is the unmount's and not the path lookup's.
  std::filesystem::permissions(directory_->path(), std::filesystem::perms::owner_all |
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
    volumetest::ScopedMount second(directory_->path() + "/second", volume.device(), "ext4", "");
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
  if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
    return 100;
  }
  int failures = 0;
  auto check = [&](bool holds, const std::string& what) {
    if (holds) return;
    std::fprintf(stderr, "failed: %s\n", what.c_str());
    ++failures;
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

  for (const std::string& escape : {scope + "/../outside/mp", scope + "/link/mp", volume.mountPoint()}) {
    check(platform->unmountAndEject(escape) == posix(EPERM), "EPERM for " + escape);
  }
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
  for (int attempt = 0; attempt < 500 && volumetest::isMountPoint(outside.mountPoint()); ++attempt) {
    platform->unmountAndEject(scope + "/swap/mp");
  }
  swapping = false;
  swapper.join();
  check(volumetest::isMountPoint(outside.mountPoint()), "the outside mount stays while links are swapped");
  return failures;
}

TEST_F(UnmountLiveTest, EjectPathsThatResolveOutsideTheScopeAreRefusedWithEperm) {
  if (const std::string why = volumetest::whyNoLoopVolumes(); !why.empty()) GTEST_SKIP() << why;
  if (rootIsReadOnly()) GTEST_SKIP() << "the root is read-only here";
  EXPECT_EQ(exitStatusInChild([&] { return ejectEscapeChecks(directory_->path()); }), 0)
      << "failed checks (100: no private mount namespace)";
}

}  // namespace
