#include "Platform/Foundation/Defaults.hpp"

#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdlib>
#include <fstream>
#include <system_error>

#include "Platform/Foundation/FileReplacement.hpp"

namespace platform {

namespace {

bool isPlainFileName(const std::string& name) {
  return !name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos &&
         name.find('\0') == std::string::npos;
}

std::optional<std::filesystem::path> settingsDirectory() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && config[0] == '/') return config;
  if (const char* home = std::getenv("HOME"); home && home[0] == '/')
    return std::filesystem::path(home) / ".config";
  return std::nullopt;
}

nlohmann::json readObject(const std::filesystem::path& path) {
  std::ifstream file(path, std::ios::binary);
  if (!file) return nlohmann::json::object();
  nlohmann::json value = nlohmann::json::parse(file, nullptr, /*allow_exceptions=*/false);
  return value.is_object() ? value : nlohmann::json::object();
}

long long nanoseconds(const timespec& time) { return time.tv_sec * 1'000'000'000LL + time.tv_nsec; }

// An exclusive flock on the suite's lock file, ".<suite file>.lock" beside it, held while it lives. The lock
// file is never replaced or removed, so every writer locks the same file.
class SuiteLock {
 public:
  explicit SuiteLock(const std::filesystem::path& suite)
      : descriptor_(::open((suite.parent_path() / ("." + suite.filename().string() + ".lock")).c_str(),
                           O_RDONLY | O_CREAT | O_CLOEXEC | O_NOFOLLOW, 0600)) {
    while (descriptor_ >= 0 && ::flock(descriptor_, LOCK_EX) != 0) {
      if (errno != EINTR) {
        ::close(descriptor_);
        descriptor_ = -1;
      }
    }
  }
  ~SuiteLock() {
    if (descriptor_ >= 0) ::close(descriptor_);
  }
  SuiteLock(const SuiteLock&) = delete;
  SuiteLock& operator=(const SuiteLock&) = delete;

  bool held() const { return descriptor_ >= 0; }

 private:
  int descriptor_;
};

}  // namespace

std::shared_ptr<Defaults> Defaults::suite(const std::string& name) {
  const std::optional<std::filesystem::path> directory = settingsDirectory();
  return directory ? suite(name, *directory) : nullptr;
}

std::shared_ptr<Defaults> Defaults::suite(const std::string& name, const std::filesystem::path& directory) {
  if (!isPlainFileName(name)) return nullptr;
  const std::filesystem::path path = std::filesystem::absolute(directory) / (name + ".json");
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
  std::lock_guard lock(mutex_);
  refresh();
  const auto found = values_.find(key);
  if (found == values_.end()) return false;
  if (found->is_boolean()) return found->get<bool>();
  return found->is_number() && found->get<double>() != 0;
}

double Defaults::doubleForKey(const std::string& key) const {
  std::lock_guard lock(mutex_);
  refresh();
  const auto found = values_.find(key);
  if (found == values_.end()) return 0;
  if (found->is_boolean()) return found->get<bool>() ? 1 : 0;
  return found->is_number() ? found->get<double>() : 0;
}

bool Defaults::set(const std::string& key, bool value) { return change(key, value); }

bool Defaults::set(const std::string& key, double value) {
  return change(key, std::isfinite(value) ? Change(value) : std::nullopt);
}

Defaults::FileIdentity Defaults::identityOf(const std::filesystem::path& path) {
  struct stat status {};
  if (::stat(path.c_str(), &status) != 0) return {};
  return {status.st_dev, status.st_ino, status.st_size, nanoseconds(status.st_mtim),
          nanoseconds(status.st_ctim)};
}

void Defaults::refresh() const {
  if (read_ != identityOf(path_)) reload();
}

void Defaults::reload() const {
  // The identity is taken before the read: should the file be replaced in between, the next refresh sees a
  // file other than the one recorded and reads again.
  read_ = identityOf(path_);
  values_ = readObject(path_);
  for (const auto& [key, value] : changes_) apply(key, value);
}

void Defaults::apply(const std::string& key, const Change& value) const {
  if (value) {
    values_[key] = *value;
  } else {
    values_.erase(key);
  }
}

bool Defaults::change(const std::string& key, Change value) {
  std::lock_guard lock(mutex_);
  apply(key, value);
  changes_[key] = std::move(value);
  return write();
}

bool Defaults::write() {
  std::error_code ignored;
  std::filesystem::create_directories(path_.parent_path(), ignored);
  const SuiteLock lock(path_);
  if (!lock.held()) return false;
  FileReplacement::removeAbandonedTemporaries(path_.parent_path());
  // Another process may have written since this one last read: merge into the file as it is now.
  reload();
  const std::string text = values_.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  try {
    FileReplacement file(path_, 0600);
    file.write(text.data(), text.size());
    file.commit();
  } catch (const std::system_error&) {
    return false;
  }
  changes_.clear();
  read_ = identityOf(path_);
  return true;
}

}  // namespace platform
