#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <thread>
#include <vector>

#include "Platform/Foundation/Region.hpp"
#include "tests/support/ScratchDirectory.hpp"

namespace platform {
namespace {

namespace fs = std::filesystem;
using Languages = std::vector<std::string>;

// Hands f the source of an environment "NAME=value NAME=value ..." (values without blanks) and a time-zone
// link path.
template <class F>
auto withVariables(std::string_view assignments, F f, fs::path localtimeLink = "/nonexistent/localtime") {
  std::map<std::string, std::string, std::less<>> variables;
  while (!assignments.empty()) {
    const std::string_view assignment = assignments.substr(0, assignments.find(' '));
    assignments.remove_prefix(std::min(assignments.size(), assignment.size() + 1));
    const std::size_t equals = assignment.find('=');
    variables[std::string(assignment.substr(0, equals))] = assignment.substr(equals + 1);
  }
  const auto lookup = [&variables](const char* name) -> const char* {
    auto found = variables.find(name);
    return found == variables.end() ? nullptr : found->second.c_str();
  };
  return f(Region::Source{lookup, std::move(localtimeLink)});
}

Region readVariables(std::string_view assignments, fs::path localtimeLink = "/nonexistent/localtime") {
  return withVariables(assignments, Region::read, std::move(localtimeLink));
}

TEST(RegionFromEnvironment, LocalesTakeTheFirstSetVariableWithoutCodesetOrModifier) {
  EXPECT_EQ(readVariables("LC_ALL=fr_FR LC_NUMERIC=de_DE LANG=it_IT").localeId, "fr_FR");
  EXPECT_EQ(readVariables("LC_ALL= LC_NUMERIC=de_DE.UTF-8 LANG=it_IT").localeId, "de_DE");
  EXPECT_EQ(readVariables("LC_TIME=de_DE LANG=sr_RS.UTF-8@latin").localeId, "sr_RS");
  EXPECT_EQ(readVariables("").localeId, "en_US_POSIX");
  for (const std::string posix : {"C", "POSIX", "C.UTF-8", "C.utf8"}) {
    EXPECT_EQ(readVariables("LANG=" + posix).localeId, "en_US_POSIX") << posix;
  }
  // The date locale follows LC_ALL, then LC_TIME, then LANG.
  EXPECT_EQ(withVariables("LC_ALL=fr_FR.UTF-8 LC_TIME=de_DE LANG=it_IT", Region::timeLocaleId), "fr_FR");
  EXPECT_EQ(withVariables("LC_TIME=de_DE.UTF-8 LC_NUMERIC=fr_FR LANG=it_IT", Region::timeLocaleId), "de_DE");
  EXPECT_EQ(withVariables("LC_NUMERIC=fr_FR LANG=it_IT.UTF-8", Region::timeLocaleId), "it_IT");
}

TEST(RegionFromEnvironment, TimeZoneFromTzElseTheLocaltimeLinkElseUtc) {
  EXPECT_EQ(readVariables("TZ=Europe/Berlin").timeZoneId, "Europe/Berlin");
  EXPECT_EQ(readVariables("TZ=:Asia/Tokyo").timeZoneId, "Asia/Tokyo");
  EXPECT_EQ(readVariables("TZ=:/usr/share/zoneinfo/America/New_York").timeZoneId, "America/New_York");
  EXPECT_EQ(readVariables("TZ=").timeZoneId, "UTC");

  std::optional<testsupport::ScratchDirectory> directory(std::in_place, "region-test");
  const fs::path link = fs::path(directory->path()) / "localtime";
  fs::create_symlink("../usr/share/zoneinfo/posix/Europe/Paris", link);
  EXPECT_EQ(readVariables("", link).timeZoneId, "Europe/Paris");
  EXPECT_EQ(readVariables("TZ=Asia/Tokyo", link).timeZoneId, "Asia/Tokyo");
  fs::remove(link);
  fs::create_symlink("/opt/somewhere/else", link);
  EXPECT_EQ(readVariables("", link).timeZoneId, "UTC");
  directory.reset();
  EXPECT_EQ(readVariables("", link).timeZoneId, "UTC");
}

TEST(RegionFromEnvironment, LanguagesFromTheListElseTheLocaleAlwaysWithEnglish) {
  EXPECT_EQ(readVariables("LANGUAGE=de_DE:fr::pt_BR.UTF-8:fr LANG=it_IT").preferredLanguages,
            (Languages{"de-DE", "fr", "pt-BR", "en"}));
  EXPECT_EQ(readVariables("LANGUAGE=en_GB:en:de").preferredLanguages, (Languages{"en-GB", "en", "de"}));
  EXPECT_EQ(readVariables("LANGUAGE= LC_MESSAGES=de_DE LANG=it").preferredLanguages,
            (Languages{"de-DE", "en"}));
  EXPECT_EQ(readVariables("LC_ALL=es_ES.UTF-8 LC_MESSAGES=de_DE").preferredLanguages,
            (Languages{"es-ES", "en"}));
  EXPECT_EQ(readVariables("LANG=C.UTF-8").preferredLanguages, (Languages{"en"}));
  EXPECT_EQ(readVariables("").preferredLanguages, (Languages{"en"}));
}

TEST(ScopedRegionTest, OverridesNestAndRestoreInAnyOrder) {
  const Region environment = Region::read({});
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
  EXPECT_EQ(Region::current(), environment);

  auto outer = std::make_unique<ScopedRegion>("de_DE", "Europe/Berlin", Languages{"de"});
  auto inner = std::make_unique<ScopedRegion>("fr_FR", "Europe/Paris", Languages{"fr"});
  outer.reset();
  EXPECT_EQ(Region::currentLocaleId(), "fr_FR") << "destroying the outer override keeps the inner one";
  inner.reset();
  EXPECT_EQ(Region::current(), environment);
}

TEST(ScopedRegionTest, ReadersOnOtherThreadsSeeWholeRegions) {
  const Region american{"en_US", "America/New_York", {"en-US", "en"}};
  const Region german{"de_DE", "Europe/Berlin", {"de-DE", "en"}};
  ScopedRegion base(american.localeId, american.timeZoneId, american.preferredLanguages);
  std::atomic<bool> stop = false;
  std::atomic<int> torn = 0;
  std::vector<std::thread> readers;
  for (int i = 0; i < 3; ++i) {
    readers.emplace_back([&] {
      while (!stop) {
        const Region region = Region::current();
        torn += region == german || region == american ? 0 : 1;
      }
    });
  }
  for (int i = 0; i < 2000; ++i) {
    ScopedRegion pinned(german.localeId, german.timeZoneId, german.preferredLanguages);
  }
  stop = true;
  for (std::thread& reader : readers) reader.join();
  EXPECT_EQ(torn, 0);
}

}  // namespace
}  // namespace platform
