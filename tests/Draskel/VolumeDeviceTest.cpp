#include <gtest/gtest.h>

#include "Draskel/BlockStorageProperties.hpp"
#include "Draskel/VolumeCharacteristics.hpp"
#include "Draskel/VolumeDeviceProtocol.hpp"
#include "tests/platform/System/VolumeFixtures.hpp"

namespace {

using Draskel::PropertyValue;
using Draskel::VolumeCharacteristics;
using Draskel::VolumeDeviceProtocol;
using platform::Number;

TEST(VolumeDeviceProtocolTest, RawValuesMatchExactlyAndBothWays) {
  EXPECT_EQ(Draskel::volumeDeviceProtocol("Secure Digital"), VolumeDeviceProtocol::sdCard);
  EXPECT_EQ(Draskel::rawValue(VolumeDeviceProtocol::pciExpress), "PCI-Express");
  for (const char* text :
       {"USB", "PCI-Express", "Secure Digital", "Apple Fabric", "PCI", "SATA", "ATA", "ATAPI"}) {
    EXPECT_EQ(Draskel::rawValue(Draskel::volumeDeviceProtocol(text).value()), text);
  }
  for (const char* other : {"PCI Express", "usb", "Sata", "ATAPI ", "", "Virtual Interface", "Disk Image"}) {
    EXPECT_FALSE(Draskel::volumeDeviceProtocol(other).has_value()) << other;
  }
}

TEST(BlockStoragePropertiesTest, ADiskGivesTheDictionariesItsRecordReads) {
  const auto source = volumetest::fixtureTree("machine");
  const auto sda2 = platform::BlockDevice::read(*source, "sda2", volumetest::fixtureUdev().get());
  ASSERT_TRUE(sda2.has_value());
  const VolumeCharacteristics ssd(Draskel::BlockStorageProperties::characteristics(*sda2));
  EXPECT_EQ(ssd.productName(), PropertyValue(std::string("Samsung SSD 860 EVO 500GB")));
  EXPECT_EQ(ssd.vendorName(), PropertyValue(std::string("ATA")));
  EXPECT_EQ(ssd.serialNumber(), PropertyValue(std::string("S3Z9NB0K123456A")));
  EXPECT_EQ(ssd.productRevisionLevel(), PropertyValue(std::string("4B6Q")));
  EXPECT_EQ(ssd.mediumType(), PropertyValue(std::string("Solid State")));

  // A loop device knows nothing of its hardware but its medium.
  const auto loop = platform::BlockDevice::read(*source, "loop0");
  ASSERT_TRUE(loop.has_value());
  const auto loopProperties = Draskel::BlockStorageProperties::characteristics(*loop);
  EXPECT_EQ(loopProperties.size(), 1u);
  EXPECT_EQ(VolumeCharacteristics(loopProperties).mediumType(), PropertyValue(std::string("Solid State")));
  // A value stays what it was: a number keeps its own type; an absent key gives nothing.
  const VolumeCharacteristics numbered({{"Product Revision Level", Number::of(42)}});
  EXPECT_EQ(std::get<Number>(numbered.productRevisionLevel().value()).type(), Number::Type::Int32);
  EXPECT_FALSE(numbered.serialNumber().has_value());
  const auto vda = platform::BlockDevice::read(*source, "vda");
  ASSERT_TRUE(vda.has_value());
  EXPECT_EQ(VolumeCharacteristics(Draskel::BlockStorageProperties::characteristics(*vda)).mediumType(),
            PropertyValue(std::string("Rotational")));
}

}  // namespace
