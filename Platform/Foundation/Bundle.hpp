#pragma once

#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "Platform/Foundation/LocalizedStrings.hpp"

namespace platform {

// A directory of resources: files, and string tables in <language>.lproj/<table>.json. Bundles are
// shared: asking twice for the same bundle gives the same object, so its string tables are read once.
class Bundle {
 public:
  // Resource directories are looked for in this order: the directory that the environment variable
  // VELMORA_RESOURCE_DIR names, alone, when it is set; else <dir of the executable>/../share/velmora (in the
  // build tree as in the install tree), then share/velmora of the prefix the product was installed to.

  // The program's own bundle: the first resource directory that exists (else the installed one). Its info
  // values are the product's name, version and identifier.
  static std::shared_ptr<Bundle> main();

  // The resource bundle "<name>.bundle" of a module, in the first resource directory that holds it, else
  // the one compiled into the library from resources/ (its string tables only: it has no directory, no
  // files and no info values). So a bundle on disk, a translation added, is used first, and a program
  // finds its texts wherever it runs. A bundle found nowhere is a fatal error that names the directories
  // looked in: "unable to find bundle named <name> (looked in <directory>, <directory>)".
  static std::shared_ptr<Bundle> module(std::string_view name);

  // The bundle in a directory; nullptr when it is not a directory.
  static std::shared_ptr<Bundle> atPath(const std::filesystem::path& directory);

  // The bundle's directory; empty for a compiled-in bundle.
  const std::filesystem::path& bundlePath() const { return directory_; }

  // Info values: the main bundle's are the product's own; another bundle's come from its optional
  // Info.json (see BundleInfo).
  const std::optional<std::string>& name() const { return name_; }
  const std::optional<std::string>& shortVersion() const { return shortVersion_; }
  const std::optional<std::string>& identifier() const { return identifier_; }

  // The file or directory "<name>.<extension>" (or "<name>" when the extension is empty) at the top of the
  // bundle, when it exists. A leading dot of the extension is optional.
  std::optional<std::filesystem::path> path(std::string_view name, std::string_view extension) const;

  // The text of `key` in `table` for the region's preferred languages (each tag, then its base language),
  // then in English. When no table has the key: `defaultValue`, or the key itself when that is empty.
  std::string localizedString(std::string_view key, std::string_view defaultValue = "",
                              std::string_view table = "Localizable") const;

 private:
  explicit Bundle(std::filesystem::path directory);
  explicit Bundle(LocalizedStrings::CompiledIn tables);

  std::filesystem::path directory_;
  std::optional<std::string> name_;
  std::optional<std::string> shortVersion_;
  std::optional<std::string> identifier_;
  LocalizedStrings strings_;
};

}  // namespace platform
