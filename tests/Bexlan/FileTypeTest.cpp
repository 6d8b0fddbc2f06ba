#include <gtest/gtest.h>

#include <utility>

#include "Bexlan/FileType.hpp"
#include "Platform/Foundation/Region.hpp"

namespace {

using Bexlan::FileType;

// French has no table of its own: it falls back to English.
TEST(FileTypeTest, EveryKindHasAnEnglishNameAlsoInALanguageWithoutATable) {
  constexpr std::pair<FileType, const char*> names[] = {
      {FileType::other, "Other"},     {FileType::video, "Video"}, {FileType::photo, "Photo"},
      {FileType::archive, "Archive"}, {FileType::audio, "Audio"}, {FileType::document, "Document"}};
  for (const auto& [locale, language] : {std::pair("en_US", "en-US"), std::pair("fr_FR", "fr-FR")}) {
    const platform::ScopedRegion region(locale, "UTC", {language});
    for (auto [type, name] : names) EXPECT_EQ(Bexlan::localizedName(type), name) << locale;
  }
}

TEST(FileTypeDeathTest, AValueOutsideTheEnumerationIsFatal) {
  EXPECT_DEATH(Bexlan::localizedName(static_cast<FileType>(6)), "Fatal error: FileType has no case 6");
}

}  // namespace
