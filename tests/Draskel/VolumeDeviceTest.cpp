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
  const std::vector<std::pair<const char*, VolumeDeviceProtocol>> cases = {
      {"USB", VolumeDeviceProtocol::usb},
      {"PCI-Express", VolumeDeviceProtocol::pciExpress},
      {"Secure Digital", VolumeDeviceProtocol::sdCard},
      {"Apple Fabric", VolumeDeviceProtocol::appleFabric},
      {"PCI", VolumeDeviceProtocol::pci},
      {"SATA", VolumeDeviceProtocol::sata},
      {"ATA", VolumeDeviceProtocol::ata},
      {"ATAPI", VolumeDeviceProtocol::atapi}};
  for (const auto& [text, protocol] : cases) {
    EXPECT_EQ(Draskel::volumeDeviceProtocol(text), protocol) << text;
    EXPECT_EQ(Draskel::rawValue(protocol), text);
  }
  for (const char* other : {"PCI Express", "usb", "Sata", "ATAPI ", "", "Virtual Interface", "Disk Image"}) {
    EXPECT_FALSE(Draskel::volumeDeviceProtocol(other).has_value()) << other;
  }
}

TEST(VolumeCharacteristicsTest, LookupsReturnTheStoredValueUnchanged) {
  const VolumeCharacteristics characteristics({{"Product Name", std::string("Samsung SSD")},
                                               {"Vendor Name", std::string("ATA")},
                                               {"Product Revision Level", Number::of(42)},
                                               {"Medium Type", std::string("Solid State")}});
  EXPECT_EQ(characteristics.productName(), PropertyValue(std::string("Samsung SSD")));
  EXPECT_EQ(characteristics.vendorName(), PropertyValue(std::string("ATA")));
  // A number stays a number of its own type.
  EXPECT_EQ(std::get<Number>(characteristics.productRevisionLevel().value()).type(), Number::Type::Int32);
  EXPECT_EQ(characteristics.mediumType(), PropertyValue(std::string("Solid State")));
  EXPECT_FALSE(characteristics.serialNumber().has_value());
  EXPECT_FALSE(VolumeCharacteristics({}).productName().has_value());
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
  const auto vda = platform::BlockDevice::read(*source, "vda");
  ASSERT_TRUE(vda.has_value());
  EXPECT_EQ(VolumeCharacteristics(Draskel::BlockStorageProperties::characteristics(*vda)).mediumType(),
            PropertyValue(std::string("Rotational")));
}

}  // namespace
