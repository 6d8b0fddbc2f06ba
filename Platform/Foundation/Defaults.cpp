#include "Platform/Foundation/Defaults.hpp"

#include <sys/stat.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <new>
#include <string_view>
#include <system_error>

#include "Platform/Foundation/FileLock.hpp"
#include "Platform/Foundation/FileReplacement.hpp"
#include "Platform/Foundation/WholeFile.hpp"

namespace platform {

namespace {

bool isPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

// Whether the names of a suite's file, its lock file and its temporaries are all within the file-name limit.
bool namesFit(const std::string& fileName) {
  return std::max(platform::FileLock::lockFileName(fileName).size(),
                  platform::FileReplacement::longestTemporaryName(fileName.size())) <= NAME_MAX;
}

// Whether `text` is valid UTF-8, as JSON text must be: the writer would store another text in its place.
bool isUtf8(const std::string& text) {
  try {
    (void)nlohmann::json(text).dump();
    return true;
  } catch (const nlohmann::json::type_error&) {
    return false;
  }
}

std::optional<std::filesystem::path> settingsDirectory() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') return config;
  if (const char* home = std::getenv("HOME"); home && home[0] == '/')
    return std::filesystem::path(home) / ".config";
  return std::nullopt;
}

long long nanoseconds(const timespec& time) { return time.tv_sec * 1'000'000'000LL + time.tv_nsec; }

// Whether JSON text nests arrays and objects deeper than `limit`, brackets within strings not counted.
bool nestsDeeperThan(std::string_view text, std::size_t limit) {
  std::size_t depth = 0;
  bool inString = false, escaped = false;
  for (const char c : text) {
    if (inString) {
      if (escaped) {
        escaped = false;
      } else if (c == '\\') {
        escaped = true;
      } else if (c == '"') {
        inString = false;
      }
    } else if (c == '"') {
      inString = true;
    } else if (c == '[' || c == '{') {
      if (++depth > limit) return true;
    } else if ((c == ']' || c == '}') && depth > 0) {
      --depth;
    }
  }
  return false;
}

// How deep a suite file may nest its values; a deeper one is malformed. Settings nest a few levels; a file
// thousands deep would take a stack frame per level to write, and an indentation per level in each line.
constexpr std::size_t deepestNesting = 512;

// A new suite file is private.
constexpr mode_t newFileMode = 0600;
// How long a change waits for another writer's lock.
constexpr std::chrono::seconds lockWait(2);

}  // namespace

std::shared_ptr<Defaults> Defaults::suite(const std::string& name) {
  try {
    const std::optional<std::filesystem::path> directory = settingsDirectory();
    return directory ? openSuite(name, *directory) : nullptr;
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

std::shared_ptr<Defaults> Defaults::suite(const std::string& name, const std::filesystem::path& directory) {
  try {
    return openSuite(name, directory);
  } catch (const std::bad_alloc&) {
    return nullptr;
  }
}

std::shared_ptr<Defaults> Defaults::openSuite(const std::string& name,
                                              const std::filesystem::path& directory) {
  std::error_code error;
  std::filesystem::path folder = std::filesystem::absolute(directory, error);
  const std::string fileName = name + ".json";
  if (!isPlainFileName(name) || !namesFit(fileName) || error) return nullptr;
  // The folder the system resolves: symbolic links followed, ".." after one naming the parent of its
  // target; only the part that does not exist yet is taken as spelled. One that cannot be looked into, or is
  // spelled through a file ("file/..", which weakly_canonical takes as missing and steps back out of), keeps
  // its spelling: the system reaches no file in it, and neither does the suite.
  std::filesystem::path resolved = std::filesystem::weakly_canonical(folder, error);
  struct stat status {};
  if (!error && (::stat(folder.c_str(), &status) == 0 || errno == ENOENT)) folder = std::move(resolved);
  const std::filesystem::path path = folder / fileName;
  // The lock guards only the table: a suite reads its file at first use, under its own lock, so a huge
  // suite being read holds up no other.
  static std::mutex openMutex;
  static std::map<std::filesystem::path, std::shared_ptr<Defaults>> opened;
  std::lock_guard lock(openMutex);
  std::shared_ptr<Defaults>& suite = opened[path];
  if (!suite) suite = std::make_shared<Defaults>(path);
  return suite;
}

Defaults::Defaults(std::filesystem::path path) : path_(std::move(path)), values_(nlohmann::json::object()) {}

bool Defaults::boolForKey(const std::string& key) const {
  std::unique_lock lock(mutex_);
  refresh(lock);
  const auto found = values_.find(key);
  if (found == values_.end()) return false;
  if (found->is_boolean()) return found->get<bool>();
  return found->is_number() && found->get<double>() != 0;
}

double Defaults::doubleForKey(const std::string& key) const {
  std::unique_lock lock(mutex_);
  refresh(lock);
  const auto found = values_.find(key);
  if (found == values_.end()) return 0;
  if (found->is_boolean()) return found->get<bool>() ? 1 : 0;
  return found->is_number() ? found->get<double>() : 0;
}

bool Defaults::set(const std::string& key, bool value) { return change(key, value); }

bool Defaults::set(const std::string& key, double value) {
  return change(key, std::isfinite(value) ? Change(value) : std::nullopt);
}

Defaults::FileIdentity Defaults::identityOf(const struct stat& status) {
  return {status.st_dev, status.st_ino, status.st_size, nanoseconds(status.st_mtim),
          nanoseconds(status.st_ctim)};
}

Defaults::FileIdentity Defaults::identityOf(const std::filesystem::path& path, int directory) {
  struct stat status {};
  return ::fstatat(directory, path.c_str(), &status, 0) == 0 ? identityOf(status) : FileIdentity{};
}

std::optional<Defaults::Stored> Defaults::readStored(const std::filesystem::path& path,
                                                     int directory) noexcept {
  try {
    struct stat status {};
    const std::optional<std::string> text = readWholeFile(path, &status, directory);
    if (!text) {
      if (errno == ENOENT) return Stored{nlohmann::json::object(), {}};
      return std::nullopt;
    }
    nlohmann::json values = nestsDeeperThan(*text, deepestNesting)
                                ? nlohmann::json()
                                : nlohmann::json::parse(*text, nullptr, /*allow_exceptions=*/false);
    if (!values.is_object()) values = nlohmann::json::object();
    return Stored{std::move(values), identityOf(status)};
  } catch (const std::bad_alloc&) {
    return std::nullopt;  // too large to hold: as a file that cannot be read
  }
}

void Defaults::apply(nlohmann::json& values, const Changes& changes) {
  for (const auto& [key, value] : changes) {
    if (value) {
      values[key] = *value;
    } else {
      values.erase(key);
    }
  }
}

void Defaults::install(nlohmann::json values, const FileIdentity& identity) const noexcept {
  ++installed_;
  try {
    apply(values, changes_);
  } catch (const std::bad_alloc&) {
    read_.reset();  // the values held stay, and the file is read again at the next use
    return;
  }
  values_ = std::move(values);
  read_ = identity;
}

// The file is read with the suite's mutex let go, so that no set waits for a slow read; one thread reads at
// a time, and others that need the file meanwhile take what it read. A file that cannot be read leaves the
// values held, and is tried again at the next read.
void Defaults::refresh(std::unique_lock<std::mutex>& lock) const {
  if (read_ == identityOf(path_)) return;
  if (reading_) {
    readDone_.wait(lock, [this] { return !reading_; });
    return;
  }
  reading_ = true;
  const std::uint64_t installed = installed_;
  lock.unlock();
  std::optional<Stored> stored = readStored(path_);
  lock.lock();
  reading_ = false;
  readDone_.notify_all();
  // A write meanwhile installed the file it made, which is newer than this one.
  if (stored && installed_ == installed) install(std::move(stored->values), stored->identity);
}

bool Defaults::change(const std::string& key, Change value) {
  try {
    if (!isUtf8(key)) return false;
    {
      std::lock_guard lock(mutex_);
      changes_[key] = value;
      apply(values_, {{key, std::move(value)}});
    }
    return write();
  } catch (const std::bad_alloc&) {
    return false;  // no memory to keep or write the change
  }
}

// A folder replaced after the lock was taken is no longer the suite's: the lock is taken again, and the
// folder made anew when it was moved away meanwhile.
bool Defaults::write() {
  const FileLock::Clock::time_point deadline = FileLock::Clock::now() + lockWait;
  const std::filesystem::path& folder = path_.parent_path();
  for (;;) {
    std::error_code error;
    std::filesystem::create_directories(folder, error);
    if (error) return false;
    const FileLock lock(path_, newFileMode, deadline);
    if (lock.held()) {
      if (const std::optional<bool> written = writeLocked(lock)) return *written;
    } else if (std::filesystem::exists(folder, error)) {
      return false;
    }
    if (FileLock::Clock::now() >= deadline) return false;
  }
}

// Works in the folder the lock is in, whatever its path names meanwhile: no other writer of this process is
// at work there. The suite's mutex is held only to take the changes and to settle the outcome, never while
// touching the file, so reads go on meanwhile; a change made meanwhile stays for the next write.
std::optional<bool> Defaults::writeLocked(const FileLock& lock) {
  const std::filesystem::path name = path_.filename();
  // Under the lock no other writer of the suite is at work: any temporary of it was left by a killed one.
  FileReplacement::removeTemporariesOf(name, lock.directory());
  // Another process may have written since this one last read: merge into the file as it is now. One that
  // cannot be read is not replaced, as that would lose what it holds.
  std::optional<Stored> stored = readStored(name, lock.directory());
  if (!stored) return false;
  Changes written;
  {
    std::lock_guard hold(mutex_);
    written = changes_;
  }
  // Changes made after the folder was moved away belong in the new one.
  if (!lock.stillNamed()) return std::nullopt;
  try {
    apply(stored->values, written);
    std::string text = stored->values.dump(2, ' ', false, nlohmann::json::error_handler_t::replace);
    text += '\n';
    FileReplacement file(name, newFileMode, lock.directory());
    file.write(text.data(), text.size());
    file.commit();
  } catch (const std::system_error&) {
    return false;
  }
  std::lock_guard hold(mutex_);
  for (const auto& [key, value] : written) {
    const auto found = changes_.find(key);
    if (found != changes_.end() && found->second == value) changes_.erase(found);
  }
  // Still under the lock: the file this process wrote (a folder moved since has another at the path).
  install(std::move(stored->values), identityOf(name, lock.directory()));
  return true;
}

}  // namespace platform
