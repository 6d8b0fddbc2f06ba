#include <gtest/gtest.h>

#include "Platform/System/UdevData.hpp"

namespace {

TEST(UdevDataTest, TextsPreferTheDecodedEscapedFormAndEmptyTextsAreAbsent) {
  const platform::UdevData data{{{"ID_FS_LABEL", "Data_Disk"},
                                 {"ID_FS_LABEL_ENC", "Data\\x20Disk"},
                                 {"ID_FS_TYPE", " ext4 "},
                                 {"EMPTY_ENC", "\\x20\\x20"}}};
  EXPECT_EQ(data.text("ID_FS_LABEL"), "Data Disk");
  EXPECT_EQ(data.text("ID_FS_TYPE"), "ext4");
  EXPECT_FALSE(data.text("EMPTY").has_value());
  EXPECT_FALSE(data.text("ID_MODEL").has_value());
  // Only complete hex escapes are decoded.
  EXPECT_EQ(platform::decodeUdevText("My\\x20Disk\\x2f1"), "My Disk/1");
  EXPECT_EQ(platform::decodeUdevText("\\x2"), "\\x2");
  EXPECT_EQ(platform::decodeUdevText("\\xg0\\y"), "\\xg0\\y");
  EXPECT_EQ(platform::decodeUdevText("\\xFF"), "\xff");
}

}  // namespace
