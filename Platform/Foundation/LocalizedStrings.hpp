#pragma once

#include <filesystem>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <shared_mutex>
#include <span>
#include <string>
#include <string_view>
#include <utility>
#include <variant>
#include <vector>

namespace platform {

// A string table compiled into the library: the JSON text of resources/<bundle>.bundle/<language>.lproj/
// <table>.json as it was at build time.
struct CompiledStringTable {
  std::string_view bundle;
  std::string_view language;
  std::string_view table;
  std::string_view json;
};

// Every string table of resources/, compiled in (the build generates its definition).
std::span<const CompiledStringTable> compiledStringTables();

// The string tables of one bundle: <directory>/<language>.lproj/<table>.json, or those compiled in for a
// bundle name; each a flat JSON object from key to text. A table is read once, on first use, and kept; a
// missing or malformed table counts as empty, and entries whose value is not a text are ignored.
// Thread-safe.
class LocalizedStrings {
 public:
  // The compiled-in tables of the bundle "<bundle>.bundle".
  struct CompiledIn {
    std::string bundle;
  };

  explicit LocalizedStrings(std::filesystem::path directory);
  explicit LocalizedStrings(CompiledIn tables);

  // The text of `key` in the first of `languages` whose table has it.
  std::optional<std::string> lookup(std::string_view key, const std::vector<std::string>& languages,
                                    std::string_view table) const;

  // The languages to search for a list of preferred language tags: each tag, then its base language,
  // then "en", without duplicates ("de-DE", "fr" -> "de-DE", "de", "fr", "en").
  static std::vector<std::string> searchOrder(const std::vector<std::string>& preferredLanguages);

 private:
  using Table = std::map<std::string, std::string, std::less<>>;

  std::shared_ptr<const Table> table(const std::string& language, std::string_view name) const;
  Table load(const std::string& language, std::string_view name) const;
  static Table parse(std::string_view json);

  std::variant<std::filesystem::path, CompiledIn> source_;
  mutable std::shared_mutex mutex_;
  mutable std::map<std::pair<std::string, std::string>, std::shared_ptr<const Table>, std::less<>> tables_;
};

}  // namespace platform
