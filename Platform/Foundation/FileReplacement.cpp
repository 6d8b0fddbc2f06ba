#include "Platform/Foundation/FileReplacement.hpp"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <charconv>
#include <optional>
#include <string>
#include <string_view>
#include <system_error>

namespace platform {

namespace {

std::atomic<unsigned> temporaryCount{0};

// A temporary file is named ".<file>.<writer's process id>.<count>.replacing", so that the writer can be
// read back from the name alone.
constexpr std::string_view temporarySuffix = ".replacing";

std::string temporaryName(const std::filesystem::path& file) {
  return "." + file.filename().string() + "." + std::to_string(::getpid()) + "." +
         std::to_string(temporaryCount.fetch_add(1)) + std::string(temporarySuffix);
}

// The number after the last '.' of `text`, which is then cut off at that '.'; none when that part is not a
// number.
std::optional<long> takeLastNumber(std::string_view& text) {
  const std::size_t dot = text.rfind('.');
  if (dot == std::string_view::npos || dot + 1 == text.size()) return std::nullopt;
  long number = 0;
  const char* end = text.data() + text.size();
  const auto [stop, error] = std::from_chars(text.data() + dot + 1, end, number);
  if (error != std::errc() || stop != end) return std::nullopt;
  text = text.substr(0, dot);
  return number;
}

// The process that wrote the temporary file of this name; none when the name is not one of a temporary file.
std::optional<pid_t> writerOf(std::string_view name) {
  if (name.size() <= temporarySuffix.size() || name.front() != '.' || !name.ends_with(temporarySuffix))
    return std::nullopt;
  name.remove_suffix(temporarySuffix.size());
  if (!takeLastNumber(name)) return std::nullopt;
  const std::optional<long> writer = takeLastNumber(name);
  if (!writer || *writer <= 0 || pid_t(*writer) != *writer || name.size() < 2) return std::nullopt;
  return pid_t(*writer);
}

bool isAlive(pid_t process) { return ::kill(process, 0) == 0 || errno == EPERM; }

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

void FileReplacement::removeAbandonedTemporaries(const std::filesystem::path& directory) {
  std::error_code error;
  for (std::filesystem::directory_iterator entry(directory, error), end; !error && entry != end;
       entry.increment(error)) {
    const std::optional<pid_t> writer = writerOf(entry->path().filename().native());
    if (writer && !isAlive(*writer)) ::unlink(entry->path().c_str());
  }
}

void FileReplacement::fail(int error) const {
  throw std::system_error(error, std::generic_category(), "cannot write " + path_.string());
}

}  // namespace platform
