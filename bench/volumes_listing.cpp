// A listing of the volumes controller (its first refresh) over a directory holding 500, 2,000 or 5,000
// tmpfs mounts and one ext4 volume, as on a container host; and its floor, one read of the whole mount table
// by a C program into a fixed buffer, at the same size. The mounts live in a private mount namespace of this
// process and go with it; without root the benchmarks stop with the reason.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <sched.h>
#include <stdlib.h>
#include <sys/mount.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "Draskel/VolumesController.hpp"
#include "Platform/Dispatch/RunLoop.hpp"

namespace {

// A temporary directory with an ext4 image mounted in it (through a loop device that detaches with its
// last mount) and a number of small tmpfs mounts beside it.
class MountedScope {
 public:
  MountedScope() {
    if (::geteuid() != 0) {
      why_ = "needs root to mount in a private mount namespace";
      return;
    }
    // Only this thread moves: /proc/self/mountinfo shows the table of the main thread, which this is.
    if (::unshare(CLONE_NEWNS) != 0 || ::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
      why_ = "cannot make a private mount namespace here";
      return;
    }
    char name[] = "/tmp/velmora-listing-XXXXXX";
    if (::mkdtemp(name) == nullptr) {
      why_ = "cannot make a temporary directory";
      return;
    }
    directory_ = name;
    const std::string image = directory_ + "/volume.img", volume = directory_ + "/volume";
    std::filesystem::create_directory(volume);
    const std::string setup = "truncate -s 16M " + image + " && mkfs.ext4 -q -F -L Listed " + image +
                              " && mount -o loop " + image + " " + volume;
    if (std::system(setup.c_str()) != 0) why_ = "cannot mount an ext4 image (mkfs.ext4, loop devices)";
  }

  ~MountedScope() {
    if (directory_.empty()) return;
    holdMounts(0);
    ::umount2((directory_ + "/volume").c_str(), 0);
    std::error_code ignored;
    std::filesystem::remove_all(directory_, ignored);
  }

  // Why there is no such directory, or empty.
  const std::string& why() const { return why_; }
  const std::string& directory() const { return directory_; }

  // Mounts or unmounts tmpfs mounts until `count` are there; false when a mount fails.
  bool holdMounts(int count) {
    for (; mounts_ > count; --mounts_) ::umount2(mountPoint(mounts_ - 1).c_str(), 0);
    for (; mounts_ < count; ++mounts_) {
      const std::string point = mountPoint(mounts_);
      std::filesystem::create_directory(point);
      if (::mount("velmora-listing", point.c_str(), "tmpfs", 0, "size=4k") != 0) return false;
    }
    return true;
  }

 private:
  std::string mountPoint(int index) const { return directory_ + "/m" + std::to_string(index); }

  std::string why_;
  std::string directory_;
  int mounts_ = 0;
};

// The scope of the whole run, set up at the first use.
MountedScope* scopeFor(benchmark::State& state) {
  static MountedScope scope;
  if (!scope.why().empty()) {
    state.SkipWithError(scope.why().c_str());
    return nullptr;
  }
  if (!scope.holdMounts(static_cast<int>(state.range(0)))) {
    state.SkipWithError("a tmpfs mount failed");
    return nullptr;
  }
  return &scope;
}

// The mount counts both benchmarks run at, in milliseconds, with the growth they show.
void mountCounts(benchmark::internal::Benchmark* benchmark) {
  benchmark->Arg(500)->Arg(2000)->Arg(5000)->Unit(benchmark::kMillisecond)->Complexity(benchmark::oN);
}

void drainMainQueue() { platform::RunLoop::main().runOnce(std::chrono::nanoseconds(0)); }

// A new controller of the directory, made and released outside the timing; its first refresh lists the
// mounts, finds the one volume and reads its counters and sizes.
void BM_Listing(benchmark::State& state) {
  MountedScope* scope = scopeFor(state);
  if (scope == nullptr) return;
  for (auto _ : state) {
    state.PauseTiming();
    auto controller = Draskel::VolumesController::create(
        platform::VolumePlatform::live(platform::TextSource::live(), scope->directory()));
    state.ResumeTiming();
    controller->refresh(1);
    state.PauseTiming();
    const std::int64_t volumes = controller->volumeCount();
    controller.reset();
    drainMainQueue();
    state.ResumeTiming();
    if (volumes != 1) {
      state.SkipWithError("the ext4 volume was not listed alone");
      break;
    }
  }
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_Listing)->Apply(mountCounts);

// The floor: the mount table read once, whole, into a fixed buffer.
void BM_FloorReadMountTable(benchmark::State& state) {
  if (scopeFor(state) == nullptr) return;
  static char buffer[1 << 16];
  std::size_t bytes = 0;
  for (auto _ : state) {
    const int fd = ::open("/proc/self/mountinfo", O_RDONLY | O_CLOEXEC);
    bytes = 0;
    for (ssize_t got; (got = ::read(fd, buffer, sizeof buffer)) > 0;) bytes += static_cast<std::size_t>(got);
    ::close(fd);
  }
  state.counters["tableBytes"] = static_cast<double>(bytes);
  state.SetComplexityN(state.range(0));
}
BENCHMARK(BM_FloorReadMountTable)->Apply(mountCounts);

}  // namespace
