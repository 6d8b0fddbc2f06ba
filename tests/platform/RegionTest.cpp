#include "Platform/Foundation/Region.hpp"

#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include <unicode/unistr.h>

namespace platform {
namespace {

using Languages = std::vector<std::string>;

// A region source over a fixed set of variables and a time-zone link path.
struct FakeSource {
  std::map<std::string, std::string> variables;
  std::filesystem::path localtimeLink = "/nonexistent/localtime";

  Region read() const {
    Region::Source source{[this](const char* name) -> const char* {
                            auto found = variables.find(name);
                            return found == variables.end() ? nullptr : found->second.c_str();
                          },
                          localtimeLink};
    return Region::read(source);
  }
};

// The region read from "NAME=value NAME=value ..." (values without blanks).
Region readVariables(std::string_view assignments) {
  FakeSource source;
  while (!assignments.empty()) {
    const std::string_view assignment = assignments.substr(0, assignments.find(' '));
    assignments.remove_prefix(std::min(assignments.size(), assignment.size() + 1));
    const std::size_t equals = assignment.find('=');
    source.variables[std::string(assignment.substr(0, equals))] = assignment.substr(equals + 1);
  }
  return source.read();
}

// Sets one environment variable for the lifetime of the object and restores it afterwards.
class ScopedVariable {
 public:
  ScopedVariable(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      old_ = old;
    }
    ::setenv(name, value, 1);
  }
  ~ScopedVariable() {
    if (old_) {
      ::setenv(name_, old_->c_str(), 1);
    } else {
      ::unsetenv(name_);
    }
  }

 private:
  const char* name_;
  std::optional<std::string> old_;
};

TEST(RegionLocale, FirstSetVariableWinsAndEmptyCountsAsUnset) {
  EXPECT_EQ(readVariables("LC_ALL=fr_FR LC_NUMERIC=de_DE LANG=it_IT").localeId,
            "fr_FR");
  EXPECT_EQ(readVariables("LC_ALL= LC_NUMERIC=de_DE LANG=it_IT").localeId, "de_DE");
  EXPECT_EQ(readVariables("LC_TIME=de_DE LANG=it_IT").localeId, "it_IT");
}

TEST(RegionLocale, DropsCodesetAndModifierAndMapsPosixToPosixEnglish) {
  EXPECT_EQ(Region::normalizedLocaleId("de_DE.UTF-8"), "de_DE");
  EXPECT_EQ(Region::normalizedLocaleId("de_DE@euro"), "de_DE");
  EXPECT_EQ(Region::normalizedLocaleId("sr_RS.UTF-8@latin"), "sr_RS");
  for (const char* posix : {"C", "POSIX", "C.UTF-8", "C.utf8", ""}) {
    EXPECT_EQ(Region::normalizedLocaleId(posix), "en_US_POSIX") << posix;
  }
  EXPECT_EQ(readVariables("").localeId, "en_US_POSIX");
}

TEST(RegionTimeZone, ReadsTzWithoutColonAndZoneinfoPaths) {
  EXPECT_EQ(readVariables("TZ=Europe/Berlin").timeZoneId, "Europe/Berlin");
  EXPECT_EQ(readVariables("TZ=:Asia/Tokyo").timeZoneId, "Asia/Tokyo");
  EXPECT_EQ(readVariables("TZ=:/usr/share/zoneinfo/America/New_York").timeZoneId,
            "America/New_York");
  EXPECT_EQ(readVariables("TZ=").timeZoneId, "UTC");
}

TEST(RegionTimeZone, FollowsTheLocaltimeLinkElseUtc) {
  namespace fs = std::filesystem;
  const fs::path directory = fs::temp_directory_path() / ("region-test-" + std::to_string(::getpid()));
  fs::create_directories(directory);
  FakeSource source;
  source.localtimeLink = directory / "localtime";

  fs::create_symlink("../usr/share/zoneinfo/posix/Europe/Paris", source.localtimeLink);
  EXPECT_EQ(source.read().timeZoneId, "Europe/Paris");
  source.variables["TZ"] = "Asia/Tokyo";
  EXPECT_EQ(source.read().timeZoneId, "Asia/Tokyo") << "TZ wins over the link";
  source.variables.clear();

  fs::remove(source.localtimeLink);
  fs::create_symlink("/opt/somewhere/else", source.localtimeLink);
  EXPECT_EQ(source.read().timeZoneId, "UTC");
  fs::remove(source.localtimeLink);
  EXPECT_EQ(source.read().timeZoneId, "UTC");
  fs::remove_all(directory);
}

TEST(RegionLanguages, LanguageListWinsAndEndsWithEnglish) {
  EXPECT_EQ(readVariables("LANGUAGE=de_DE:fr::pt_BR.UTF-8 LANG=it_IT").preferredLanguages,
            (Languages{"de-DE", "fr", "pt-BR", "en"}));
  EXPECT_EQ(readVariables("LANGUAGE=en_GB:en:de").preferredLanguages,
            (Languages{"en-GB", "en", "de"}));
  EXPECT_EQ(readVariables("LANGUAGE=fr:fr:de").preferredLanguages, (Languages{"fr", "de", "en"}));
}

TEST(RegionLanguages, FallsBackToLocaleVariables) {
  EXPECT_EQ(readVariables("LC_ALL=es_ES.UTF-8 LC_MESSAGES=de_DE").preferredLanguages,
            (Languages{"es-ES", "en"}));
  EXPECT_EQ(readVariables("LANGUAGE= LC_MESSAGES=de_DE LANG=it").preferredLanguages,
            (Languages{"de-DE", "en"}));
  EXPECT_EQ(readVariables("LANG=C.UTF-8").preferredLanguages, (Languages{"en"}));
  EXPECT_EQ(readVariables("").preferredLanguages, (Languages{"en"}));
}

TEST(RegionCurrent, ReadsTheEnvironmentOnEveryCall) {
  {
    ScopedVariable locale("LC_ALL", "de_AT.UTF-8");
    ScopedVariable zone("TZ", ":Europe/Vienna");
    EXPECT_EQ(Region::current(), (Region{"de_AT", "Europe/Vienna", {"de-AT", "en"}}));
  }
  ScopedVariable locale("LC_ALL", "nl_NL");
  EXPECT_EQ(Region::currentLocaleId(), "nl_NL");
}

TEST(ScopedRegionTest, OverridesTheEnvironmentAndNestedOverridesRestore) {
  ScopedVariable locale("LC_ALL", "nl_NL");
  {
    ScopedRegion outer("de_DE.UTF-8", "Europe/Berlin", {"de_DE"});
    EXPECT_EQ(Region::current(), (Region{"de_DE", "Europe/Berlin", {"de-DE", "en"}}));
    {
      ScopedRegion inner("ja_JP", "Asia/Tokyo", {"ja"});
      EXPECT_EQ(Region::currentLocaleId(), "ja_JP");
      EXPECT_EQ(Region::currentTimeZoneId(), "Asia/Tokyo");
      EXPECT_EQ(Region::currentPreferredLanguages(), (Languages{"ja", "en"}));
    }
    EXPECT_EQ(Region::currentLocaleId(), "de_DE");
  }
  EXPECT_EQ(Region::currentLocaleId(), "nl_NL");
}

TEST(ScopedRegionTest, DestroyingAnOuterOverrideFirstKeepsTheInnerOne) {
  auto outer = std::make_unique<ScopedRegion>("de_DE", "Europe/Berlin", Languages{"de"});
  auto inner = std::make_unique<ScopedRegion>("fr_FR", "Europe/Paris", Languages{"fr"});
  outer.reset();
  EXPECT_EQ(Region::currentLocaleId(), "fr_FR");
  inner.reset();
  ScopedRegion last("it_IT", "Europe/Rome", {});
  EXPECT_EQ(Region::current(), (Region{"it_IT", "Europe/Rome", {"en"}}));
}

TEST(ScopedRegionTest, ReadersOnOtherThreadsSeeWholeRegions) {
  ScopedRegion base("en_US", "America/New_York", {"en-US"});
  std::atomic<bool> stop = false;
  std::atomic<int> torn = 0;
  std::vector<std::thread> readers;
  for (int i = 0; i < 3; ++i) {
    readers.emplace_back([&] {
      while (!stop) {
        const Region region = Region::current();
        const bool german = region == Region{"de_DE", "Europe/Berlin", {"de-DE", "en"}};
        const bool american = region == Region{"en_US", "America/New_York", {"en-US", "en"}};
        torn += german || american ? 0 : 1;
      }
    });
  }
  for (int i = 0; i < 2000; ++i) {
    ScopedRegion pinned("de_DE", "Europe/Berlin", {"de-DE"});
  }
  stop = true;
  for (std::thread& reader : readers) {
    reader.join();
  }
  EXPECT_EQ(torn, 0);
}

TEST(RegionIcu, MakesLocalesAndZonesFromTheIds) {
  const Region region{"de_DE", "Europe/Berlin", {"de-DE", "en"}};
  EXPECT_STREQ(region.icuLocale().getName(), "de_DE");
  EXPECT_STREQ(Region::makeIcuLocale("pt-BR").getCountry(), "BR");
  EXPECT_STREQ(Region::makeIcuLocale("en_US_POSIX").getVariant(), "POSIX");

  const std::unique_ptr<icu::TimeZone> berlin = region.icuTimeZone();
  icu::UnicodeString id;
  EXPECT_EQ(berlin->getID(id), icu::UnicodeString(u"Europe/Berlin"));
  EXPECT_EQ(berlin->getRawOffset(), 3600 * 1000);

  const std::unique_ptr<icu::TimeZone> unknown = Region::makeIcuTimeZone("Not/AZone");
  EXPECT_EQ(unknown->getID(id), icu::UnicodeString(u"Etc/Unknown"));
  EXPECT_EQ(unknown->getRawOffset(), 0);
}

}  // namespace
}  // namespace platform
