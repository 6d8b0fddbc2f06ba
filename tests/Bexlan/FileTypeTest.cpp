#include "Bexlan/FileType.hpp"

#include <utility>

#include <gtest/gtest.h>

#include "Platform/Foundation/Region.hpp"

namespace {

using Bexlan::FileType;

constexpr std::pair<FileType, const char*> kEnglishNames[] = {
    {FileType::other, "Other"}, {FileType::video, "Video"},       {FileType::photo, "Photo"},
    {FileType::archive, "Archive"}, {FileType::audio, "Audio"}, {FileType::document, "Document"},
};

TEST(FileTypeTest, EveryKindHasAnEnglishName) {
  const platform::ScopedRegion region("en_US", "UTC", {"en-US"});
  for (auto [type, name] : kEnglishNames) EXPECT_EQ(Bexlan::localizedName(type), name);
}

TEST(FileTypeTest, LanguagesWithoutATableFallBackToEnglish) {
  const platform::ScopedRegion region("fr_FR", "UTC", {"fr-FR"});
  for (auto [type, name] : kEnglishNames) EXPECT_EQ(Bexlan::localizedName(type), name);
}

TEST(FileTypeDeathTest, AValueOutsideTheEnumerationIsFatal) {
  EXPECT_DEATH(Bexlan::localizedName(static_cast<FileType>(6)), "Fatal error: FileType has no case 6");
}

}  // namespace
