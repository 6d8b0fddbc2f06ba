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

}  // namespace

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
