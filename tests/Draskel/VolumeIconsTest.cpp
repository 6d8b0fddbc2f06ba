// Volumes and the disk speed entries take their symbols from the store's symbol icons. This file is built
// twice: into the module's tests, which link the image helpers as the dashboard does, and into a program
// that links only the drawing-free libraries (VELMORA_WITHOUT_IMAGE_HELPERS), as a monitor program does.
#include <gtest/gtest.h>

#include "Draskel/Volume.hpp"
#include "tests/Draskel/VolumesTestSupport.hpp"

namespace {

#ifdef VELMORA_WITHOUT_IMAGE_HELPERS
constexpr bool imageHelpersLinked = false;
#else
constexpr bool imageHelpersLinked = true;
#endif

using VolumeIconsTest = volumetest::ControllerTest;

TEST_F(VolumeIconsTest, VolumesAndSpeedEntriesHaveSymbolsExactlyWhereTheImageHelpersAreLinked) {
  for (const char* protocol : {"Secure Digital", "USB"}) {
    for (const bool internal : {true, false}) {
      Draskel::Volume volume("/");
      volume.deviceProtocol = protocol;
      volume.isInternal = internal;
      EXPECT_EQ(volume.symbolImage() != nullptr, imageHelpersLinked) << protocol << ", internal " << internal;
    }
  }
  for (const std::string_view key : {Draskel::diskRead, Draskel::diskWrite}) {
    const std::shared_ptr<Bexlan::Identifier> entry = controller().store()->identifier(std::string(key));
    ASSERT_NE(entry, nullptr) << key;
    EXPECT_EQ(entry->icon() != nullptr, imageHelpersLinked) << key;
  }
}

}  // namespace
