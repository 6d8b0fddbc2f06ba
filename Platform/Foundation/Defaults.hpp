#pragma once

#include <filesystem>
#include <memory>
#include <mutex>
#include <nlohmann/json.hpp>
#include <string>

namespace platform {

// A suite of user settings: one JSON object in a file named after the suite. It is read once when the suite
// is opened; every change writes the whole file anew (a temporary file in the same directory, synced, then
// renamed over the old one), so a crash at any moment leaves either the old file or the new one. A file that
// is missing or not a JSON object reads as empty and is replaced at the next change. Safe from any thread.
class Defaults {
 public:
  // The suite `name` in the user's settings directory ($XDG_CONFIG_HOME, else ~/.config), one shared object
  // per file in the process. Null when the name is not a plain file name (empty, ".", "..", or holding "/"
  // or a zero byte) or there is no settings directory.
  static std::shared_ptr<Defaults> suite(const std::string& name);
  // The same in `directory`.
  static std::shared_ptr<Defaults> suite(const std::string& name, const std::filesystem::path& directory);

  // false when missing; a number reads as whether it is not 0.
  bool boolForKey(const std::string& key) const;
  // 0 when missing or not a number; true and false read as 1 and 0.
  double doubleForKey(const std::string& key) const;

  // Store the value and write the file; false when the file cannot be written (the value stays set in
  // memory and goes to disk with the next change that can be written). A double that is not finite is
  // stored as absent (JSON has no such number).
  bool set(const std::string& key, bool value);
  bool set(const std::string& key, double value);

  const std::filesystem::path& path() const noexcept { return path_; }

  explicit Defaults(std::filesystem::path path);  // use suite()

 private:
  bool write() const;  // the caller holds mutex_

  const std::filesystem::path path_;
  mutable std::mutex mutex_;
  nlohmann::json values_;
};

}  // namespace platform
