#pragma once

#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <system_error>
#include <utility>
#include <vector>

#include "Platform/System/MountInfo.hpp"

namespace testsupport {

// Whether anything is mounted at or under `directory` (or the mount table cannot be read: then nothing
// below it may be removed either).
inline bool hasMountsWithin(const std::string& directory) {
  const auto table = platform::MountInfo::read(*platform::TextSource::live());
  return !table || std::any_of(table->entries.begin(), table->entries.end(), [&](const auto& entry) {
    return entry.mountPoint == directory || entry.mountPoint.starts_with(directory + "/");
  });
}

// Removes `directory` with everything in it, unless something is mounted there (removing would reach into
// that file system). Gives whether it is gone.
inline bool removeUnlessMounted(const std::string& directory) {
  if (hasMountsWithin(directory)) {
    std::fprintf(stderr, "scratch directory %s still holds a mount; left in place\n", directory.c_str());
    return false;
  }
  std::error_code ignored;
  std::filesystem::remove_all(directory, ignored);
  return !std::filesystem::exists(directory, ignored);
}

// A new directory "<prefix>-<pid>-XXXXXX" in the temporary folder (TMPDIR, else /tmp), removed with
// everything in it when the object goes. A process that dies keeps its directory (a crash, or the child of
// a death test, which ends without unwinding): every scratch directory, when it is made and when it goes,
// removes those of its prefix whose process is gone, so they last until the next one at most.
class ScratchDirectory {
 public:
  explicit ScratchDirectory(std::string prefix) : prefix_(std::move(prefix)) {
    removeLeftovers();
    std::string pattern =
        (std::filesystem::temp_directory_path() / (prefix_ + "-" + std::to_string(::getpid()) + "-XXXXXX"))
            .string();
    if (::mkdtemp(pattern.data()) == nullptr)
      throw std::system_error(errno, std::generic_category(), "mkdtemp " + pattern);
    path_ = pattern;
  }
  ~ScratchDirectory() {
    removeUnlessMounted(path_);
    removeLeftovers();
  }
  ScratchDirectory(const ScratchDirectory&) = delete;
  ScratchDirectory& operator=(const ScratchDirectory&) = delete;

  const std::string& path() const { return path_; }

  // The entries of `folder` (by default the temporary folder) named "<prefix>-<pid>" or "<prefix>-<pid>-..."
  // whose process is gone.
  static std::vector<std::string> leftovers(const std::string& prefix,
                                            const std::filesystem::path& folder = {}) {
    std::vector<std::string> paths;
    std::error_code error;
    const auto place = folder.empty() ? std::filesystem::temp_directory_path() : folder;
    for (const auto& entry : std::filesystem::directory_iterator(place, error)) {
      const std::string name = entry.path().filename().string();
      if (!name.starts_with(prefix + "-")) continue;
      const char* digits = name.c_str() + prefix.size() + 1;
      char* end = nullptr;
      const long pid = std::strtol(digits, &end, 10);
      if (end == digits || (*end != '\0' && *end != '-') || pid <= 0) continue;
      if (::kill(static_cast<pid_t>(pid), 0) != 0 && errno == ESRCH) paths.push_back(entry.path().string());
    }
    return paths;
  }

 private:
  void removeLeftovers() const {
    for (const std::string& path : leftovers(prefix_)) removeUnlessMounted(path);
  }

  std::string prefix_;
  std::string path_;
};

}  // namespace testsupport
