#pragma once

#include <unicode/locid.h>
#include <unicode/timezone.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace platform {

// The user's regional settings: the locale that numbers and dates follow, the time zone, and the languages
// in which texts are looked up, in order of preference. Every formatter takes its locale and zone from
// here, never from ICU's process defaults (ICU caches those on first use).
//
// The settings are read from the environment on every call, unless a ScopedRegion overrides them:
// - locale: the first non-empty of LC_ALL, LC_NUMERIC, LANG. The codeset (".UTF-8") and modifier ("@euro")
//   are dropped: "de_DE.UTF-8" is "de_DE". "C", "POSIX" (with any codeset) and an unset locale are POSIX
//   English, "en_US_POSIX".
// - time zone: TZ without a leading ':' (a path under .../zoneinfo/ gives the zone name after it; an empty
//   TZ is UTC, as for the C library); else the target of the /etc/localtime link under .../zoneinfo/; else
//   "UTC".
// - preferred languages: the colon-separated list in LANGUAGE, else the first non-empty of LC_ALL,
//   LC_MESSAGES, LANG, written as language tags ("de_DE.UTF-8" is "de-DE"; "C" and "POSIX" are "en").
//   Duplicates are dropped and "en", the language every table is written in, is appended when missing.
struct Region {
  std::string localeId;
  std::string timeZoneId;
  std::vector<std::string> preferredLanguages;

  // Where the settings are read from: an environment variable lookup (nullptr when unset) and the path of
  // the link that names the system's time zone. The default reads the process environment.
  struct Source {
    std::function<const char*(const char*)> variable = [](const char* name) { return std::getenv(name); };
    std::filesystem::path localtimeLink = "/etc/localtime";
  };

  // The override when one is active, else the settings read from the environment now.
  static Region current();
  // The same fields one at a time, for callers that need only one (cheaper than current()).
  static std::string currentLocaleId();
  static std::string currentTimeZoneId();
  static std::vector<std::string> currentPreferredLanguages();

  // The locale that dates and times follow. Like the C library's times it comes from the first non-empty
  // of LC_ALL, LC_TIME, LANG (numbers keep LC_NUMERIC), normalised as localeId is; an override pins it to
  // the override's localeId.
  static std::string currentTimeLocaleId();
  static std::string timeLocaleId(const Source& source);

  // The settings as read from a source, ignoring any override.
  static Region read(const Source& source);

  // ICU objects for a locale and a zone. An unknown zone id gives ICU's unknown zone ("Etc/Unknown"), which
  // behaves as GMT.
  static icu::Locale makeIcuLocale(std::string_view localeId);
  static std::unique_ptr<icu::TimeZone> makeIcuTimeZone(std::string_view timeZoneId);

  bool operator==(const Region&) const = default;
};

// Pins the region for the lifetime of the object, in every thread (tests use it to make locale-dependent
// texts predictable). Overrides nest: destroying one brings back the one that was active before it, and
// the last one brings back the environment. Creating and destroying overrides is thread-safe, and so is
// reading the region while another thread does.
class ScopedRegion {
 public:
  // The locale and languages are normalised as the environment's are ("de_DE.UTF-8" -> "de_DE", "C" ->
  // "en_US_POSIX"; languages "de_DE" -> "de-DE", "en" appended); the zone is used as given.
  ScopedRegion(std::string localeId, std::string timeZoneId, std::vector<std::string> preferredLanguages);
  ~ScopedRegion();
  ScopedRegion(const ScopedRegion&) = delete;
  ScopedRegion& operator=(const ScopedRegion&) = delete;

 private:
  std::uint64_t token_;
};

}  // namespace platform
