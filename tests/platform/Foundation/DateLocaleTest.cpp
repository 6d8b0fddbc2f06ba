#include <gtest/gtest.h>

#include <map>
#include <string>

#include "Platform/Foundation/Calendar.hpp"
#include "Platform/Foundation/Region.hpp"

namespace platform {
namespace {

std::string timeLocale(std::map<std::string, std::string> variables) {
  const Region::Source source{[&variables](const char* name) -> const char* {
    auto found = variables.find(name);
    return found == variables.end() ? nullptr : found->second.c_str();
  }};
  return Region::timeLocaleId(source);
}

TEST(DateLocale, FollowsLcAllThenLcTimeThenLang) {
  EXPECT_EQ(timeLocale({{"LC_ALL", "fr_FR.UTF-8"}, {"LC_TIME", "de_DE"}, {"LANG", "it_IT"}}), "fr_FR");
  EXPECT_EQ(timeLocale({{"LC_TIME", "de_DE.UTF-8"}, {"LC_NUMERIC", "fr_FR"}, {"LANG", "it_IT"}}), "de_DE");
  EXPECT_EQ(timeLocale({{"LC_NUMERIC", "fr_FR"}, {"LANG", "it_IT.UTF-8"}}), "it_IT");
  EXPECT_EQ(timeLocale({{"LANG", "C.UTF-8"}}), "en_US_POSIX");
}

TEST(DateLocale, CurrentCalendarIsTheLocalesDefault) {
  for (const auto& [locale, identifier] :
       std::map<std::string, std::string>{{"th_TH", "buddhist"}, {"de_DE", "gregorian"}}) {
    const ScopedRegion region(locale, "UTC", {"en"});
    EXPECT_EQ(Calendar::current().identifier(), identifier) << locale;
    EXPECT_EQ(Calendar::gregorian().identifier(), "gregorian") << locale;
  }
}

}  // namespace
}  // namespace platform
