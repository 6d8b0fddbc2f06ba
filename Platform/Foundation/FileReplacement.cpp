#include "Platform/Foundation/FileReplacement.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <limits>
#include <string>
#include <string_view>
#include <system_error>

namespace platform {

namespace {

std::atomic<unsigned> temporaryCount{0};

// A temporary file is named ".<file>.<process id>.<count>.replacing": no other writer in this process picks
// the same name, and one in another process seldom does (a clash is tried again).
constexpr std::string_view temporarySuffix = ".replacing";
// The most digits of a process id (the kernel's limit is 4194304) and of a count.
constexpr std::size_t processIdDigits = 7, countDigits = std::numeric_limits<unsigned>::digits10 + 1;

std::string temporaryName(const std::filesystem::path& file) {
  return "." + file.filename().string() + "." + std::to_string(::getpid()) + "." +
         std::to_string(temporaryCount.fetch_add(1)) + std::string(temporarySuffix);
}

bool isNumber(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// Whether `name` is that of a temporary file made for the file named `file`.
bool isTemporaryOf(std::string_view name, const std::string& file) {
  const std::string prefix = "." + file + ".";
  if (name.size() < prefix.size() + temporarySuffix.size() || !name.starts_with(prefix) ||
      !name.ends_with(temporarySuffix))
    return false;
  name = name.substr(prefix.size(), name.size() - prefix.size() - temporarySuffix.size());
  const std::size_t dot = name.find('.');
  return dot != std::string_view::npos && isNumber(name.substr(0, dot)) && isNumber(name.substr(dot + 1));
}

}  // namespace

FileReplacement::FileReplacement(std::filesystem::path path, mode_t newFileMode, int directory)
    : path_(std::move(path)), directory_(directory) {
  struct stat status {};
  if (::fstatat(directory_, path_.c_str(), &status, 0) == 0 && S_ISDIR(status.st_mode)) fail(EISDIR);
  // A name of our own that no other writer picks: the process and a count, retried on a clash.
  for (;;) {
    temporary_ = path_.parent_path() / temporaryName(path_);
    descriptor_ =
        ::openat(directory_, temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, newFileMode);
    if (descriptor_ >= 0) return;
    if (errno != EEXIST) fail(errno);
  }
}

FileReplacement::~FileReplacement() {
  if (descriptor_ >= 0) {
    ::close(descriptor_);
    ::unlinkat(directory_, temporary_.c_str(), 0);
  }
}

void FileReplacement::write(const void* bytes, std::size_t count) {
  const auto* next = static_cast<const char*>(bytes);
  while (count > 0) {
    const ssize_t written = ::write(descriptor_, next, count);
    if (written < 0) {
      if (errno == EINTR) continue;
      fail(errno);
    }
    next += written;
    count -= static_cast<std::size_t>(written);
  }
}

void FileReplacement::commit() {
  keepPermissions();
  if (::fsync(descriptor_) != 0) fail(errno);
  const int descriptor = descriptor_;
  descriptor_ = -1;
  if (::close(descriptor) != 0 ||
      ::renameat(directory_, temporary_.c_str(), directory_, path_.c_str()) != 0) {
    const int error = errno;
    ::unlinkat(directory_, temporary_.c_str(), 0);
    fail(error);
  }
}

// A file made private stays private, and one shared stays shared. Only the read, write and execute bits
// pass: a set-user-id bit is never handed to a file of ours. A symbolic link at the path is replaced, not
// followed, so its target's bits do not count.
void FileReplacement::keepPermissions() const {
  struct stat old {};
  if (::fstatat(directory_, path_.c_str(), &old, AT_SYMLINK_NOFOLLOW) != 0 || !S_ISREG(old.st_mode)) return;
  if (::fchmod(descriptor_, old.st_mode & 0777) != 0) fail(errno);
}

void FileReplacement::removeTemporariesOf(const std::filesystem::path& file, int directory) {
  const std::filesystem::path folder = file.has_parent_path() ? file.parent_path() : ".";
  const int listed = ::openat(directory, folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  DIR* const entries = listed >= 0 ? ::fdopendir(listed) : nullptr;
  if (!entries) {
    if (listed >= 0) ::close(listed);
    return;
  }
  const std::string name = file.filename().string();
  while (const dirent* entry = ::readdir(entries)) {
    struct stat status {};
    if (isTemporaryOf(entry->d_name, name) &&
        ::fstatat(listed, entry->d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 && S_ISREG(status.st_mode) &&
        status.st_uid == ::geteuid())
      ::unlinkat(listed, entry->d_name, 0);
  }
  ::closedir(entries);
}

std::size_t FileReplacement::longestTemporaryName(std::size_t length) {
  return std::string_view("...").size() + length + processIdDigits + countDigits + temporarySuffix.size();
}

void FileReplacement::fail(int error) const {
  throw std::system_error(error, std::generic_category(), "cannot write " + path_.string());
}

}  // namespace platform
