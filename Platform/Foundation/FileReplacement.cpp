#include "Platform/Foundation/FileReplacement.hpp"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <string>
#include <string_view>
#include <system_error>

namespace platform {

namespace {

std::atomic<unsigned> temporaryCount{0};

// A temporary file is named ".<file>.<process id>.<count>.replacing": no other writer in this process picks
// the same name, and one in another process seldom does (a clash is tried again).
constexpr std::string_view temporarySuffix = ".replacing";

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

FileReplacement::FileReplacement(std::filesystem::path path, mode_t newFileMode) : path_(std::move(path)) {
  struct stat status {};
  if (::stat(path_.c_str(), &status) == 0 && S_ISDIR(status.st_mode)) fail(EISDIR);
  const std::filesystem::path directory = path_.has_parent_path() ? path_.parent_path() : ".";
  // A name of our own that no other writer picks: the process and a count, retried on a clash.
  for (;;) {
    temporary_ = directory / temporaryName(path_);
    descriptor_ = ::open(temporary_.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, newFileMode);
    if (descriptor_ >= 0) return;
    if (errno != EEXIST) fail(errno);
  }
}

FileReplacement::~FileReplacement() {
  if (descriptor_ >= 0) {
    ::close(descriptor_);
    ::unlink(temporary_.c_str());
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
  if (::close(descriptor) != 0 || ::rename(temporary_.c_str(), path_.c_str()) != 0) {
    const int error = errno;
    ::unlink(temporary_.c_str());
    fail(error);
  }
}

// A file made private stays private, and one shared stays shared. Only the read, write and execute bits
// pass: a set-user-id bit is never handed to a file of ours. A symbolic link at the path is replaced, not
// followed, so its target's bits do not count.
void FileReplacement::keepPermissions() const {
  struct stat old {};
  if (::lstat(path_.c_str(), &old) != 0 || !S_ISREG(old.st_mode)) return;
  if (::fchmod(descriptor_, old.st_mode & 0777) != 0) fail(errno);
}

void FileReplacement::removeTemporariesOf(const std::filesystem::path& file) {
  const std::filesystem::path directory = file.has_parent_path() ? file.parent_path() : ".";
  const std::string name = file.filename().string();
  std::error_code error;
  for (std::filesystem::directory_iterator entry(directory, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::filesystem::path& found = entry->path();
    struct stat status {};
    if (isTemporaryOf(found.filename().native(), name) && ::lstat(found.c_str(), &status) == 0 &&
        S_ISREG(status.st_mode) && status.st_uid == ::geteuid())
      ::unlink(found.c_str());
  }
}

void FileReplacement::fail(int error) const {
  throw std::system_error(error, std::generic_category(), "cannot write " + path_.string());
}

}  // namespace platform
