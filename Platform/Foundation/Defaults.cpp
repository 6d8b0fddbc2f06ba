#include "Platform/Foundation/Defaults.hpp"

#include <cmath>
#include <cstdlib>
#include <fstream>
#include <map>
#include <optional>
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

}  // namespace

std::shared_ptr<Defaults> Defaults::suite(const std::string& name) {
  const std::optional<std::filesystem::path> directory = settingsDirectory();
  return directory ? suite(name, *directory) : nullptr;
}

std::shared_ptr<Defaults> Defaults::suite(const std::string& name, const std::filesystem::path& directory) {
  if (!isPlainFileName(name)) return nullptr;
  const std::filesystem::path path = std::filesystem::absolute(directory) / (name + ".json");
  static std::mutex openMutex;
  static std::map<std::filesystem::path, std::shared_ptr<Defaults>> opened;
  std::lock_guard lock(openMutex);
  std::shared_ptr<Defaults>& suite = opened[path];
  if (!suite) suite = std::make_shared<Defaults>(path);
  return suite;
}

Defaults::Defaults(std::filesystem::path path) : path_(std::move(path)), values_(readObject(path_)) {}

bool Defaults::boolForKey(const std::string& key) const {
  std::lock_guard lock(mutex_);
  const auto found = values_.find(key);
  if (found == values_.end()) return false;
  if (found->is_boolean()) return found->get<bool>();
  return found->is_number() && found->get<double>() != 0;
}

double Defaults::doubleForKey(const std::string& key) const {
  std::lock_guard lock(mutex_);
  const auto found = values_.find(key);
  if (found == values_.end()) return 0;
  if (found->is_boolean()) return found->get<bool>() ? 1 : 0;
  return found->is_number() ? found->get<double>() : 0;
}

bool Defaults::set(const std::string& key, bool value) {
  std::lock_guard lock(mutex_);
  values_[key] = value;
  return write();
}

bool Defaults::set(const std::string& key, double value) {
  std::lock_guard lock(mutex_);
  if (std::isfinite(value)) {
    values_[key] = value;
  } else {
    values_.erase(key);
  }
  return write();
}

bool Defaults::write() const {
  const std::string text = values_.dump(2, ' ', false, nlohmann::json::error_handler_t::replace) + "\n";
  std::error_code ignored;
  std::filesystem::create_directories(path_.parent_path(), ignored);
  try {
    FileReplacement file(path_);
    file.write(text.data(), text.size());
    file.commit();
    return true;
  } catch (const std::system_error&) {
    return false;
  }
}

}  // namespace platform
