#include "Platform/Foundation/Region.hpp"

#include <unicode/unistr.h>

#include <algorithm>
#include <mutex>
#include <optional>
#include <system_error>
#include <utility>

namespace platform {

namespace {

constexpr std::string_view posixLocaleId = "en_US_POSIX";
constexpr std::string_view developmentLanguage = "en";

// The active overrides, the most recent last. Each is removed by its own token, so an override destroyed
// out of order (from another thread) still leaves the others intact.
struct OverrideStack {
  std::mutex mutex;
  std::vector<std::pair<std::uint64_t, Region>> entries;
  std::uint64_t nextToken = 1;
};

OverrideStack& overrides() {
  static OverrideStack* stack = new OverrideStack;  // never destroyed: usable from any static destructor
  return *stack;
}

// `pinned` of the active override, else `fromEnvironment` of the environment (read outside the lock).
template <class Pinned, class FromEnvironment>
auto pinnedElse(Pinned pinned, FromEnvironment fromEnvironment)
    -> decltype(fromEnvironment(Region::Source{})) {
  {
    OverrideStack& stack = overrides();
    std::lock_guard lock(stack.mutex);
    if (!stack.entries.empty()) {
      return pinned(stack.entries.back().second);
    }
  }
  return fromEnvironment(Region::Source{});
}

// The first of the named variables that is set and not empty, as POSIX orders locale variables.
std::string_view firstSet(const Region::Source& source, std::initializer_list<const char*> names) {
  for (const char* name : names) {
    const char* value = source.variable(name);
    if (value != nullptr && *value != '\0') {
      return value;
    }
  }
  return {};
}

// "de_DE.UTF-8@euro" -> "de_DE".
std::string_view withoutCodesetAndModifier(std::string_view posixLocale) {
  return posixLocale.substr(0, posixLocale.find_first_of(".@"));
}

bool isPosixLocale(std::string_view name) { return name.empty() || name == "C" || name == "POSIX"; }

// "de_DE.UTF-8" -> "de_DE"; "C", "POSIX" and "" -> "en_US_POSIX".
std::string normalizedLocaleId(std::string_view posixLocale) {
  const std::string_view name = withoutCodesetAndModifier(posixLocale);
  return std::string(isPosixLocale(name) ? posixLocaleId : name);
}

// "de_DE.UTF-8" -> "de-DE"; "C" and "POSIX" -> "en"; "" stays "".
std::string languageTag(std::string_view posixLocale) {
  if (posixLocale.empty()) {
    return {};
  }
  const std::string_view name = withoutCodesetAndModifier(posixLocale);
  if (isPosixLocale(name)) {
    return std::string(developmentLanguage);
  }
  std::string tag(name);
  std::replace(tag.begin(), tag.end(), '_', '-');
  return tag;
}

// The zone name in a path under a zoneinfo directory ("/usr/share/zoneinfo/Europe/Berlin" ->
// "Europe/Berlin"), skipping the "posix/" and "right/" variants of the database; nullopt when the path is
// not under one.
std::optional<std::string> zoneNameInPath(std::string_view path) {
  constexpr std::string_view marker = "zoneinfo/";
  for (std::size_t at = path.find(marker); at != std::string_view::npos; at = path.find(marker, at + 1)) {
    if (at == 0 || path[at - 1] == '/') {
      std::string_view zone = path.substr(at + marker.size());
      for (std::string_view variant : {"posix/", "right/"}) {
        if (zone.starts_with(variant)) {
          zone.remove_prefix(variant.size());
        }
      }
      if (!zone.empty()) {
        return std::string(zone);
      }
    }
  }
  return std::nullopt;
}

std::string localeIdFrom(const Region::Source& source) {
  return normalizedLocaleId(firstSet(source, {"LC_ALL", "LC_NUMERIC", "LANG"}));
}

std::string timeZoneIdFrom(const Region::Source& source) {
  if (const char* tz = source.variable("TZ"); tz != nullptr) {
    std::string_view zone = tz;
    if (zone.starts_with(':')) {
      zone.remove_prefix(1);
    }
    if (zone.empty()) {
      return "UTC";
    }
    return zoneNameInPath(zone).value_or(std::string(zone));
  }
  std::error_code error;
  const std::filesystem::path target = std::filesystem::read_symlink(source.localtimeLink, error);
  if (!error) {
    if (std::optional<std::string> zone = zoneNameInPath(target.string())) {
      return *zone;
    }
  }
  return "UTC";
}

// Tags in order of preference, without empty entries or duplicates, with "en" appended when missing.
std::vector<std::string> normalizedLanguages(const std::vector<std::string>& names) {
  std::vector<std::string> tags;
  for (const std::string& name : names) {
    std::string tag = languageTag(name);
    if (!tag.empty() && std::find(tags.begin(), tags.end(), tag) == tags.end()) {
      tags.push_back(std::move(tag));
    }
  }
  if (std::find(tags.begin(), tags.end(), developmentLanguage) == tags.end()) {
    tags.emplace_back(developmentLanguage);
  }
  return tags;
}

std::vector<std::string> languagesFrom(const Region::Source& source) {
  std::vector<std::string> names;
  if (std::string_view list = firstSet(source, {"LANGUAGE"}); !list.empty()) {
    for (std::size_t start = 0; start <= list.size();) {
      const std::size_t end = std::min(list.find(':', start), list.size());
      names.emplace_back(list.substr(start, end - start));
      start = end + 1;
    }
  } else {
    names.emplace_back(firstSet(source, {"LC_ALL", "LC_MESSAGES", "LANG"}));
  }
  return normalizedLanguages(names);
}

}  // namespace

Region Region::current() {
  return pinnedElse([](const Region& region) { return region; }, read);
}

std::string Region::currentLocaleId() {
  return pinnedElse([](const Region& region) { return region.localeId; }, localeIdFrom);
}

std::string Region::currentTimeZoneId() {
  return pinnedElse([](const Region& region) { return region.timeZoneId; }, timeZoneIdFrom);
}

std::vector<std::string> Region::currentPreferredLanguages() {
  return pinnedElse([](const Region& region) { return region.preferredLanguages; }, languagesFrom);
}

// Dates follow the override's locale too.
std::string Region::currentTimeLocaleId() {
  return pinnedElse([](const Region& region) { return region.localeId; }, timeLocaleId);
}

std::string Region::timeLocaleId(const Source& source) {
  return normalizedLocaleId(firstSet(source, {"LC_ALL", "LC_TIME", "LANG"}));
}

Region Region::read(const Source& source) {
  return Region{localeIdFrom(source), timeZoneIdFrom(source), languagesFrom(source)};
}

icu::Locale Region::makeIcuLocale(std::string_view localeId) {
  // ICU takes both "de_DE" and "de-DE"; the string must be NUL-terminated.
  return icu::Locale(std::string(localeId).c_str());
}

std::unique_ptr<icu::TimeZone> Region::makeIcuTimeZone(std::string_view timeZoneId) {
  const auto id = icu::UnicodeString::fromUTF8(
      icu::StringPiece(timeZoneId.data(), static_cast<int32_t>(timeZoneId.size())));
  return std::unique_ptr<icu::TimeZone>(icu::TimeZone::createTimeZone(id));
}

ScopedRegion::ScopedRegion(std::string localeId, std::string timeZoneId,
                           std::vector<std::string> preferredLanguages) {
  Region region{normalizedLocaleId(localeId), std::move(timeZoneId), normalizedLanguages(preferredLanguages)};
  OverrideStack& stack = overrides();
  std::lock_guard lock(stack.mutex);
  token_ = stack.nextToken++;
  stack.entries.emplace_back(token_, std::move(region));
}

ScopedRegion::~ScopedRegion() {
  OverrideStack& stack = overrides();
  std::lock_guard lock(stack.mutex);
  std::erase_if(stack.entries, [this](const auto& entry) { return entry.first == token_; });
}

}  // namespace platform
