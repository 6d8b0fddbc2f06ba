#include "Platform/Foundation/LocalizedStrings.hpp"

#include <algorithm>
#include <mutex>
#include <nlohmann/json.hpp>

#include "Platform/Foundation/WholeFile.hpp"

namespace platform {

LocalizedStrings::LocalizedStrings(std::filesystem::path directory) : source_(std::move(directory)) {}

LocalizedStrings::LocalizedStrings(CompiledIn tables) : source_(std::move(tables)) {}

std::optional<std::string> LocalizedStrings::lookup(std::string_view key,
                                                    const std::vector<std::string>& languages,
                                                    std::string_view table) const {
  for (const std::string& language : languages) {
    const std::shared_ptr<const Table> entries = this->table(language, table);
    if (auto found = entries->find(key); found != entries->end()) {
      return found->second;
    }
  }
  return std::nullopt;
}

std::vector<std::string> LocalizedStrings::searchOrder(const std::vector<std::string>& preferredLanguages) {
  std::vector<std::string> order;
  const auto add = [&order](std::string_view language) {
    if (!language.empty() && std::find(order.begin(), order.end(), language) == order.end()) {
      order.emplace_back(language);
    }
  };
  for (const std::string& tag : preferredLanguages) {
    add(tag);
    add(std::string_view(tag).substr(0, tag.find('-')));
  }
  add("en");
  return order;
}

std::shared_ptr<const LocalizedStrings::Table> LocalizedStrings::table(const std::string& language,
                                                                       std::string_view name) const {
  std::pair<std::string, std::string> cacheKey(language, name);
  {
    std::shared_lock lock(mutex_);
    if (auto found = tables_.find(cacheKey); found != tables_.end()) {
      return found->second;
    }
  }
  // Read outside the lock; if another thread read the same table meanwhile, its copy is kept.
  auto loaded = std::make_shared<const Table>(load(language, name));
  std::unique_lock lock(mutex_);
  return tables_.try_emplace(std::move(cacheKey), std::move(loaded)).first->second;
}

LocalizedStrings::Table LocalizedStrings::load(const std::string& language, std::string_view name) const {
  if (const auto* directory = std::get_if<std::filesystem::path>(&source_)) {
    const std::optional<std::string> text =
        readWholeFile(*directory / (language + ".lproj") / (std::string(name) + ".json"));
    return text ? parse(*text) : Table{};
  }
  const std::string& bundle = std::get<CompiledIn>(source_).bundle;
  for (const CompiledStringTable& table : compiledStringTables()) {
    if (table.bundle == bundle && table.language == language && table.table == name) {
      return parse(table.json);
    }
  }
  return {};
}

LocalizedStrings::Table LocalizedStrings::parse(std::string_view json) {
  const nlohmann::json document =
      nlohmann::json::parse(json.begin(), json.end(), nullptr, /*allow_exceptions=*/false);
  if (!document.is_object()) {
    return {};  // malformed (a parse failure gives a discarded value) or not a key-to-text object
  }
  Table entries;
  for (const auto& [key, value] : document.items()) {
    if (value.is_string()) {
      entries.emplace(key, value.get<std::string>());
    }
  }
  return entries;
}

}  // namespace platform
