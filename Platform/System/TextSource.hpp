#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// Where the Linux readers get their raw text: the live system, a recorded tree of /proc and /sys files, or
// a map in memory. Paths are absolute, as on the live system ("/proc/meminfo"). A failed read is absent,
// never an empty text.
class TextSource {
 public:
  virtual ~TextSource() = default;

  // The whole content of the file at `path`, or absent when it cannot be read.
  virtual std::optional<std::string> read(const std::string& path) const = 0;
  // The names of the entries of `directory` ("." and ".." left out, in no set order), or absent.
  virtual std::optional<std::vector<std::string>> list(const std::string& directory) const = 0;
  // The target of the symbolic link at `path`, or absent.
  virtual std::optional<std::string> readLink(const std::string& path) const = 0;

  // The same as read, into `buffer` (its storage is kept for the next call): the text is the returned view,
  // valid until `buffer` changes. For files the kernel writes in one piece (/proc/[pid]/stat and statm,
  // /proc/stat, /proc/meminfo, sysfs attributes) a live read takes one system call: a read that leaves
  // room in the buffer is the end, so none is made only to find it. The base reads through read().
  virtual std::optional<std::string_view> readInto(const std::string& path, std::string& buffer) const;
  // The same as list, into `names`, reusing its strings; false when the directory cannot be listed.
  virtual bool listInto(const std::string& directory, std::vector<std::string>& names) const;

  // The running system, rooted at "/".
  static const std::shared_ptr<const TextSource>& live();
};

// Files under a root directory: "/" for the live system, or a recorded tree in which "/proc/meminfo" is
// "<root>/proc/meminfo".
class FileTreeTextSource final : public TextSource {
 public:
  explicit FileTreeTextSource(std::filesystem::path root);

  std::optional<std::string> read(const std::string& path) const override;
  std::optional<std::vector<std::string>> list(const std::string& directory) const override;
  std::optional<std::string> readLink(const std::string& path) const override;
  std::optional<std::string_view> readInto(const std::string& path, std::string& buffer) const override;
  bool listInto(const std::string& directory, std::vector<std::string>& names) const override;

 private:
  std::string resolve(const std::string& path) const;
  std::string root_;
};

// Files and links held in memory, for tests. Directories exist implicitly as the parents of the paths set.
// Thread-safe: a test may change a file while a reader on another thread reads it.
class MemoryTextSource final : public TextSource {
 public:
  void setFile(const std::string& path, std::string text);
  void setLink(const std::string& path, std::string target);
  void remove(const std::string& path);

  std::optional<std::string> read(const std::string& path) const override;
  std::optional<std::vector<std::string>> list(const std::string& directory) const override;
  std::optional<std::string> readLink(const std::string& path) const override;

 private:
  mutable std::mutex mutex_;
  std::map<std::string, std::string> files_;
  std::map<std::string, std::string> links_;
};

}  // namespace platform
