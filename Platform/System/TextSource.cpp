#include "Platform/System/TextSource.hpp"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cerrno>
#include <set>

namespace platform {

namespace {

// Reads to the end: files under /proc and /sys report a size of 0 and must be read until read() gives 0.
std::optional<std::string> readWholeFile(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  std::string text;
  char buffer[4096];
  for (;;) {
    ssize_t count = ::read(fd, buffer, sizeof buffer);
    if (count > 0) {
      text.append(buffer, static_cast<size_t>(count));
    } else if (count == 0) {
      break;
    } else if (errno != EINTR) {
      ::close(fd);
      return std::nullopt;
    }
  }
  ::close(fd);
  return text;
}

// The smallest buffer a one-piece read starts with: a page, the most a sysfs attribute holds.
constexpr std::size_t firstBufferSize = 4096;

}  // namespace

std::optional<std::string_view> TextSource::readInto(const std::string& path, std::string& buffer) const {
  std::optional<std::string> text = read(path);
  if (!text) return std::nullopt;
  buffer = std::move(*text);
  return std::string_view(buffer);
}

bool TextSource::listInto(const std::string& directory, std::vector<std::string>& names) const {
  std::optional<std::vector<std::string>> listed = list(directory);
  if (!listed) return false;
  names = std::move(*listed);
  return true;
}

const std::shared_ptr<const TextSource>& TextSource::live() {
  static const std::shared_ptr<const TextSource> root = std::make_shared<FileTreeTextSource>("/");
  return root;
}

FileTreeTextSource::FileTreeTextSource(std::filesystem::path root) : root_(root.string()) {
  while (root_.size() > 1 && root_.back() == '/') root_.pop_back();
}

std::string FileTreeTextSource::resolve(const std::string& path) const {
  if (root_ == "/") return path;
  return root_ + (path.empty() || path.front() != '/' ? "/" : "") + path;
}

std::optional<std::string> FileTreeTextSource::read(const std::string& path) const {
  return readWholeFile(resolve(path));
}

std::optional<std::vector<std::string>> FileTreeTextSource::list(const std::string& directory) const {
  DIR* stream = ::opendir(resolve(directory).c_str());
  if (stream == nullptr) return std::nullopt;
  std::vector<std::string> names;
  while (const dirent* entry = ::readdir(stream)) {
    std::string name = entry->d_name;
    if (name != "." && name != "..") names.push_back(std::move(name));
  }
  ::closedir(stream);
  return names;
}

std::optional<std::string> FileTreeTextSource::readLink(const std::string& path) const {
  char target[4096];
  ssize_t length = ::readlink(resolve(path).c_str(), target, sizeof target);
  if (length < 0 || static_cast<size_t>(length) >= sizeof target) return std::nullopt;
  return std::string(target, static_cast<size_t>(length));
}

std::optional<std::string_view> FileTreeTextSource::readInto(const std::string& path,
                                                             std::string& buffer) const {
  const int fd = ::open(resolve(path).c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  // The buffer's whole size is room to read into; only the text read counts.
  if (buffer.size() < firstBufferSize) buffer.resize(firstBufferSize);
  std::size_t length = 0;
  for (;;) {
    const ssize_t count = ::read(fd, buffer.data() + length, buffer.size() - length);
    if (count < 0 && errno == EINTR) continue;
    if (count < 0) {
      ::close(fd);
      return std::nullopt;
    }
    length += static_cast<std::size_t>(count);
    if (count == 0 || length < buffer.size()) break;
    buffer.resize(buffer.size() * 2);
  }
  ::close(fd);
  return std::string_view(buffer.data(), length);
}

bool FileTreeTextSource::listInto(const std::string& directory, std::vector<std::string>& names) const {
  DIR* stream = ::opendir(resolve(directory).c_str());
  if (stream == nullptr) return false;
  std::size_t count = 0;
  while (const dirent* entry = ::readdir(stream)) {
    const std::string_view name = entry->d_name;
    if (name == "." || name == "..") continue;
    if (count == names.size()) names.emplace_back();
    names[count++].assign(name);
  }
  ::closedir(stream);
  names.resize(count);
  return true;
}

void MemoryTextSource::setFile(const std::string& path, std::string text) {
  std::lock_guard lock(mutex_);
  files_.insert_or_assign(path, std::move(text));
}

void MemoryTextSource::setLink(const std::string& path, std::string target) {
  std::lock_guard lock(mutex_);
  links_.insert_or_assign(path, std::move(target));
}

void MemoryTextSource::remove(const std::string& path) {
  std::lock_guard lock(mutex_);
  files_.erase(path);
  links_.erase(path);
}

std::optional<std::string> MemoryTextSource::read(const std::string& path) const {
  std::lock_guard lock(mutex_);
  auto found = files_.find(path);
  if (found == files_.end()) return std::nullopt;
  return found->second;
}

std::optional<std::vector<std::string>> MemoryTextSource::list(const std::string& directory) const {
  std::string prefix = directory;
  if (prefix.empty() || prefix.back() != '/') prefix += '/';
  std::set<std::string> names;
  std::lock_guard lock(mutex_);
  for (const auto* table : {&files_, &links_}) {
    for (auto it = table->lower_bound(prefix); it != table->end() && it->first.starts_with(prefix); ++it) {
      std::string rest = it->first.substr(prefix.size());
      names.insert(rest.substr(0, rest.find('/')));
    }
  }
  if (names.empty()) return std::nullopt;
  return std::vector<std::string>(names.begin(), names.end());
}

std::optional<std::string> MemoryTextSource::readLink(const std::string& path) const {
  std::lock_guard lock(mutex_);
  auto found = links_.find(path);
  if (found == links_.end()) return std::nullopt;
  return found->second;
}

}  // namespace platform
