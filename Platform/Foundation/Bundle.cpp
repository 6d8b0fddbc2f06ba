#include "Platform/Foundation/Bundle.hpp"

#include <algorithm>
#include <cstdlib>
#include <map>
#include <mutex>
#include <system_error>
#include <utility>
#include <vector>

#include "Platform/Foundation/BuildInfo.hpp"
#include "Platform/Foundation/BundleInfo.hpp"
#include "Platform/Foundation/FatalError.hpp"
#include "Platform/Foundation/Region.hpp"

namespace platform {

namespace {

namespace fs = std::filesystem;

// Every bundle made so far, by directory and by module name; bundles live as long as the process.
struct Registry {
  std::mutex mutex;
  std::map<fs::path, std::shared_ptr<Bundle>> byDirectory;
  std::map<std::string, std::shared_ptr<Bundle>, std::less<>> byModule;
};

Registry& registry() {
  static Registry* shared = new Registry;  // never destroyed: usable from any static destructor
  return *shared;
}

// Where resource bundles are looked for, in order: the directory named by VELMORA_RESOURCE_DIR alone when it
// is set; else the resource directory beside the executable's directory (bin/../share/velmora, in the build
// tree as in the install tree), then the installed product's.
std::vector<fs::path> resourceDirectories() {
  if (const char* explicitDirectory = std::getenv("VELMORA_RESOURCE_DIR");
      explicitDirectory != nullptr && *explicitDirectory != '\0') {
    return {fs::path(explicitDirectory)};
  }
  std::vector<fs::path> places;
  std::error_code error;
  const fs::path executable = fs::read_symlink("/proc/self/exe", error);
  if (!error) {
    places.push_back((executable.parent_path() / ".." / buildinfo::resourceSubdirectory).lexically_normal());
  }
  places.emplace_back(buildinfo::installedResourceDirectory);
  return places;
}

bool isDirectory(const fs::path& path) {
  std::error_code error;
  return !path.empty() && fs::is_directory(path, error);
}

bool isCompiledIn(std::string_view name) {
  const auto tables = compiledStringTables();
  return std::any_of(tables.begin(), tables.end(),
                     [name](const CompiledStringTable& table) { return table.bundle == name; });
}

}  // namespace

Bundle::Bundle(fs::path directory) : directory_(directory), strings_(std::move(directory)) {
  BundleInfo info = BundleInfo::read(directory_);
  name_ = std::move(info.name);
  shortVersion_ = std::move(info.shortVersion);
  identifier_ = std::move(info.identifier);
}

Bundle::Bundle(LocalizedStrings::CompiledIn tables) : strings_(std::move(tables)) {}

std::shared_ptr<Bundle> Bundle::main() {
  static const std::shared_ptr<Bundle> bundle = [] {
    const std::vector<fs::path> places = resourceDirectories();
    const auto found = std::find_if(places.begin(), places.end(), isDirectory);
    std::shared_ptr<Bundle> made(new Bundle(found != places.end() ? *found : places.back()));
    made->name_ = buildinfo::productName;
    made->shortVersion_ = buildinfo::shortVersion;
    made->identifier_ = buildinfo::bundleIdentifier;
    return made;
  }();
  return bundle;
}

std::shared_ptr<Bundle> Bundle::module(std::string_view name) {
  Registry& bundles = registry();
  {
    std::lock_guard lock(bundles.mutex);
    if (auto found = bundles.byModule.find(name); found != bundles.byModule.end()) {
      return found->second;
    }
  }
  const std::string directoryName = std::string(name) + ".bundle";
  const std::vector<fs::path> places = resourceDirectories();
  std::shared_ptr<Bundle> bundle;
  for (auto directory = places.begin(); !bundle && directory != places.end(); ++directory) {
    bundle = atPath(*directory / directoryName);
  }
  if (!bundle && isCompiledIn(name)) {
    bundle.reset(new Bundle(LocalizedStrings::CompiledIn{std::string(name)}));
  }
  if (!bundle) {
    std::string message = "unable to find bundle named " + std::string(name) + " (looked in";
    for (const fs::path& directory : places) message += " " + directory.string() + ",";
    message.back() = ')';
    fatalError(message);
  }
  std::lock_guard lock(bundles.mutex);
  return bundles.byModule.try_emplace(std::string(name), std::move(bundle)).first->second;
}

std::shared_ptr<Bundle> Bundle::atPath(const fs::path& directory) {
  if (!isDirectory(directory)) {
    return nullptr;
  }
  std::error_code error;
  fs::path key = fs::weakly_canonical(directory, error);
  if (error) {
    key = fs::absolute(directory, error).lexically_normal();
  }
  Registry& bundles = registry();
  std::lock_guard lock(bundles.mutex);
  auto [entry, added] = bundles.byDirectory.try_emplace(key);
  if (added) {
    entry->second.reset(new Bundle(key));
  }
  return entry->second;
}

std::optional<fs::path> Bundle::path(std::string_view name, std::string_view extension) const {
  if (extension.starts_with('.')) {
    extension.remove_prefix(1);
  }
  std::string fileName(name);
  if (!extension.empty()) {
    fileName.append(".").append(extension);
  }
  // Resources sit at the top of the bundle: a name that names a directory, climbs out or is absolute
  // finds nothing.
  if (fileName.find_first_of(std::string_view("/\0", 2)) != std::string::npos || fileName == "." ||
      fileName == "..") {
    return std::nullopt;
  }
  fs::path candidate = directory_ / fileName;
  std::error_code error;
  if (directory_.empty() || fileName.empty() || !fs::exists(candidate, error)) {
    return std::nullopt;
  }
  return candidate;
}

std::string Bundle::localizedString(std::string_view key, std::string_view defaultValue,
                                    std::string_view table) const {
  const std::vector<std::string> languages =
      LocalizedStrings::searchOrder(Region::currentPreferredLanguages());
  if (std::optional<std::string> text = strings_.lookup(key, languages, table)) {
    return std::move(*text);
  }
  return std::string(defaultValue.empty() ? key : defaultValue);
}

}  // namespace platform
