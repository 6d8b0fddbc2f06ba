#include <cairo-pdf.h>
#include <cairo.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <filesystem>
#include <fstream>
#include <functional>
#include <optional>
#include <semaphore>
#include <string>
#include <thread>
#include <tuple>
#include <utility>
#include <vector>

#include "Bexlan/DirectoryObserver.hpp"
#include "Bexlan/URL.hpp"
#include "Platform/Dispatch/MainThread.hpp"
#include "tests/platform/System/MountTestGuards.hpp"
#include "tests/platform/System/SystemFixtures.hpp"

namespace Bexlan {
namespace {

namespace fs = std::filesystem;

// The kind libmagic's MIME type implies (`file` has a database of its own, independent of GIO's).
FileType kindOfMagicType(const fs::path& path) {
  const std::string output = systemtest::commandOutput("file --mime-type -b '" + path.string() + "'");
  const std::string type = output.substr(0, output.find('\n'));
  if (type.starts_with("image/")) return FileType::photo;
  if (type.starts_with("audio/")) return FileType::audio;
  if (type == "application/gzip" || type == "application/x-tar") return FileType::archive;
  return type == "application/pdf" ? FileType::document : FileType::other;
}

// Files of each kind in a directory of the test's own: a PNG and a PDF from cairo, text, a WAVE sound, gzip
// and tar archives; a directory and a link to it.
class FileKinds : public testing::Test {
 protected:
  void SetUp() override {
    cairo_surface_t* png = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, 4, 4);
    cairo_surface_write_to_png(png, (dir / "picture.png").c_str());
    cairo_surface_destroy(png);
    cairo_surface_destroy(cairo_pdf_surface_create((dir / "paper.pdf").c_str(), 100, 100));  // one blank page
    std::ofstream(dir / "notes.txt") << "Plain words on a line.\nAnother line.\n";
    auto le32 = [](unsigned v) { return std::string{char(v), char(v >> 8), char(v >> 16), char(v >> 24)}; };
    std::ofstream(dir / "sound.wav", std::ios::binary)
        << "RIFF" << le32(36 + 800) << "WAVEfmt " << le32(16) << std::string("\1\0\1\0", 4) << le32(8000)
        << le32(8000) << std::string("\1\0\x08\0", 4) << "data" << le32(800) << std::string(800, '\x80');
    const std::string archive =
        "cd '" + dir.string() + "' && gzip -c notes.txt > letters.gz && tar cf bundle.tar *.*";
    ASSERT_EQ(std::system(archive.c_str()), 0);
    fs::create_directory(dir / "folder");
    fs::create_directory_symlink(dir / "folder", dir / "link");
  }

  const volumetest::TemporaryDirectory temporary;
  const fs::path dir = temporary.path();
};

TEST_F(FileKinds, AgreeWithLibmagicOnFilesOfEveryKind) {
  const std::pair<std::string, FileType> cases[] = {
      {"picture.png", FileType::photo}, {"paper.pdf", FileType::document}, {"notes.txt", FileType::other},
      {"sound.wav", FileType::audio},   {"letters.gz", FileType::archive}, {"bundle.tar", FileType::archive}};
  std::vector<std::pair<std::string, FileType>> named = {
      {"folder", FileType::other}, {"link", FileType::other}, {"missing.png", FileType::other}};
  for (const auto& [name, kind] : cases) {
    // The same bytes under a name without an extension: the content alone decides.
    const std::string unnamed = "unnamed-" + fs::path(name).stem().string();
    fs::copy_file(dir / name, dir / unnamed);
    named.insert(named.end(), {{name, kind}, {unnamed, kind}});
  }
  for (const auto& [name, kind] : named) {
    SCOPED_TRACE(name + " is " + URL::typeIdentifier(dir / name).value_or("nothing"));
    EXPECT_EQ(std::tuple(URL::fileType(dir / name), kindOfMagicType(dir / name)), std::tuple(kind, kind));
    EXPECT_EQ(URL::isImage(dir / name), kind == FileType::photo);
    EXPECT_EQ(URL::isAudio(dir / name), kind == FileType::audio);
    EXPECT_EQ(URL::isArchive(dir / name), kind == FileType::archive);
    EXPECT_EQ(URL::isPDF(dir / name), kind == FileType::document);
    EXPECT_FALSE(URL::isMovie(dir / name));
    EXPECT_EQ(URL::isDirectory(dir / name), name == "folder");  // a link is examined itself, not followed
  }
  EXPECT_EQ(URL::typeIdentifier(dir / "unnamed-picture"), "image/png");
  EXPECT_EQ(URL::typeIdentifier(dir / "folder"), "inode/directory");
  EXPECT_EQ(URL::typeIdentifier(dir / "link"), "inode/symlink");
  EXPECT_EQ(URL::contentType(dir / "missing.png"), std::nullopt);
  EXPECT_EQ(URL::fileName("/data/photos/"), "photos");
  EXPECT_TRUE(platform::UniformType("application/x-gzip").conforms(platform::UniformType::Category::archive));
}

struct Calls {
  using Clock = std::chrono::steady_clock;
  std::atomic<int> count = 0, onMainThread = 0;
  std::atomic<Clock::time_point> last;  // when the latest call started
  std::function<void()> handler() {
    return [this] { onMainThread += platform::isMainThread(), ++count, last = Clock::now(); };
  }
  bool riseWithinASecond() const {
    for (int i = 0; i < 200 && count == 0; ++i) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    return count > 0 && onMainThread == 0;
  }
};

TEST(DirectoryObserverTest, EachChangeCallsTheHandlerOffTheMainThreadWithinASecond) {
  const std::pair<const char*, void (*)(const fs::path&)> changes[] = {
      {"file made", [](const fs::path& dir) { std::ofstream(dir / "new") << "x"; }},
      {"renamed", [](const fs::path& dir) { fs::rename(dir, dir.string() + "-moved"); }},
      {"chmod", [](const fs::path& dir) { ::chmod(dir.c_str(), 0700); }},
      {"deleted", [](const fs::path& dir) { fs::remove(dir); }}};
  for (const auto& [name, change] : changes) {
    volumetest::TemporaryDirectory temporary;
    const fs::path watched = fs::path(temporary.path()) / "watched";
    fs::create_directory(watched);
    Calls calls;
    DirectoryObserver observer(watched, calls.handler());
    change(watched);
    EXPECT_TRUE(calls.riseWithinASecond()) << name;
  }
}

// Files made as fast as the machine allows: events that arrive while a call is waiting or running merge into
// one next call, so the burst is a few calls rather than a backlog, and the last sees the last file soon.
TEST(DirectoryObserverTest, ABurstOfFilesGivesAFewCallsTheLastWithinASecond) {
  using Clock = Calls::Clock;
  // In memory where the machine has /dev/shm (a disk under load makes the files too slowly to be a burst),
  // else in the temporary folder.
  struct BurstFolder {
    const fs::path path = (fs::is_directory("/dev/shm") ? fs::path("/dev/shm") : fs::temp_directory_path()) /
                          ("velmora-burst-" + std::to_string(::getpid()));
    BurstFolder() { fs::create_directory(path); }
    ~BurstFolder() { fs::remove_all(path); }
  } folder;
  Calls calls;
  DirectoryObserver observer(folder.path, calls.handler());
  Clock::time_point beforeLastFile;
  for (int i = 0; i < 100'000; ++i)
    beforeLastFile = Clock::now(), std::ofstream(folder.path / std::to_string(i));
  const Clock::time_point burstEnd = Clock::now();
  std::this_thread::sleep_for(std::chrono::seconds(2));
  EXPECT_LT(calls.count, 100);
  EXPECT_GT(calls.last.load(), beforeLastFile) << "the last file called no handler";
  EXPECT_LT(calls.last.load() - burstEnd, std::chrono::seconds(1));
}

// The first call is held while the watched folder is written, changed, renamed and removed: all of that
// comes as one more call, whose source data holds the kinds of every one of those events.
TEST(DirectoryObserverTest, EventsDuringACallMergeIntoOneNextCallWithTheirKindsOred) {
  using enum platform::FileSystemObjectSource::Event;
  volumetest::TemporaryDirectory temporary;
  const std::string watched = temporary.path();  // renamed and removed by the test
  std::counting_semaphore<> calls{0};
  std::binary_semaphore releaseFirst{0};
  std::vector<std::uint32_t> data;  // what each call read (calls never overlap)
  std::optional<DirectoryObserver> observer;
  observer.emplace(watched, [&] {
    data.push_back(observer->source().data());
    calls.release();
    if (data.size() == 1) releaseFirst.acquire();
  });
  std::ofstream(watched + "/first") << "x";
  ASSERT_TRUE(calls.try_acquire_for(std::chrono::seconds(5)));
  const std::function<void()> changes[] = {[&] { std::ofstream(watched + "/second") << "grows"; },
                                           [&] { fs::permissions(watched, fs::perms::owner_all); },
                                           [&] { fs::rename(watched, watched + "-moved"); },
                                           [&] { fs::remove_all(watched + "-moved"); }};
  for (const auto& change : changes) {
    change();
    // Each change is read off the descriptor before the next, so the kinds come in separate wake-ups.
    for (int unread = 1, i = 0; unread > 0 && i < 5000; ++i) {
      ::ioctl(observer->fileDescriptor(), FIONREAD, &unread);
      std::this_thread::sleep_for(std::chrono::milliseconds(1));
    }
  }
  releaseFirst.release();
  ASSERT_TRUE(calls.try_acquire_for(std::chrono::seconds(5)));
  EXPECT_FALSE(calls.try_acquire_for(std::chrono::milliseconds(300))) << "a third call";
  observer.reset();
  EXPECT_EQ(data[1], written | extended | attributesChanged | linkCountChanged | renamed | deleted);
}

// That no handler runs after destruction is DirectoryObserverDestructionTest's, under load.
TEST(DirectoryObserverTest, DestructionClosesTheDescriptorAndAWatchedTmpfsStillUnmounts) {
  volumetest::TemporaryDirectory temporary;
  Calls calls;
  const int fd = DirectoryObserver(temporary.path(), calls.handler()).fileDescriptor();
  ASSERT_GE(fd, 0);
  std::error_code closed;
  EXPECT_NE(fs::read_symlink("/proc/self/fd/" + std::to_string(fd), closed), "anon_inode:inotify");
  EXPECT_EQ(DirectoryObserver("/nonexistent/velmora", calls.handler()).fileDescriptor(), -1);

  if (::geteuid() != 0) GTEST_SKIP() << "mounting a tmpfs needs root";
  volumetest::ScopedMount mount(temporary.path() + "/tmpfs");
  Calls unmounted;
  DirectoryObserver observer(mount.mountPoint(), unmounted.handler());
  ASSERT_EQ(::umount2(mount.mountPoint().c_str(), 0), 0) << "the observer holds the mount busy";
  EXPECT_TRUE(unmounted.riseWithinASecond());
}

}  // namespace
}  // namespace Bexlan
