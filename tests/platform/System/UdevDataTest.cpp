#include "Platform/System/UdevData.hpp"

#include <gtest/gtest.h>

#include "tests/platform/System/VolumeFixtures.hpp"

namespace {

using platform::UdevData;

TEST(UdevDataTest, KeepsThePropertyLinesOfARecord) {
  const auto data = UdevData::read(*volumetest::fixtureTree("machine"), 8, 2);
  ASSERT_TRUE(data.has_value());
  EXPECT_EQ(data->properties.size(), 4u);
  EXPECT_EQ(data->properties.at("ID_FS_TYPE"), "ext4");
  // The escaped form wins over the plain one, whose blanks udev replaced.
  EXPECT_EQ(data->text("ID_FS_LABEL"), "Data Disk");
  EXPECT_EQ(data->text("ID_FS_TYPE"), "ext4");
  EXPECT_FALSE(data->text("ID_MODEL").has_value());
  EXPECT_FALSE(UdevData::read(*volumetest::fixtureTree("machine"), 8, 3).has_value());
}

TEST(UdevDataTest, ToleratesLinesOfEveryOtherShape) {
  const UdevData data = UdevData::parse(
      "S:disk/by-id/x\nE:A=1\nE:=no key\nE:B\nE:C==2\nE:D=\nE:E_ENC=\\x20\\x20\nE:A=3\nE:F=x=y");
  EXPECT_EQ(data.properties.size(), 5u);
  EXPECT_EQ(data.properties.at("A"), "3");
  EXPECT_EQ(data.properties.at("C"), "=2");
  EXPECT_EQ(data.properties.at("F"), "x=y");
  // Empty after trimming: absent.
  EXPECT_FALSE(data.text("D").has_value());
  EXPECT_FALSE(data.text("E").has_value());
}

TEST(UdevDataTest, DecodesOnlyCompleteHexEscapes) {
  EXPECT_EQ(platform::decodeUdevText("My\\x20Disk\\x2f1"), "My Disk/1");
  EXPECT_EQ(platform::decodeUdevText("\\x2"), "\\x2");
  EXPECT_EQ(platform::decodeUdevText("\\xg0\\y"), "\\xg0\\y");
  EXPECT_EQ(platform::decodeUdevText("\\xFF"), "\xff");
}

}  // namespace
