#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "Bexlan/Bundle.hpp"
#include "Bexlan/Comparable.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

namespace {

TEST(ClampedTest, RaisesThenLowers) {
  const double cases[][4] = {{5, 3, 10, 5}, {1, 3, 10, 3}, {11, 3, 10, 10},
                             {0, 10, 3, 3}, {5, 10, 3, 3}, {20, 10, 3, 3}};
  for (const auto& c : cases) EXPECT_EQ(Bexlan::Comparable::clamped(c[0], c[1], c[2]), c[3]);
}

TEST(BundleFactsTest, InfoTextsOrFixedFallbacks) {
  const volumetest::TemporaryDirectory root;
  // A name and version that are not texts, a file that is no object or is cut short, or no file: fallbacks.
  const char* infos[] = {R"({"name": "Probe", "shortVersion": "2.1"})", R"({"name": 7, "shortVersion": 1.5})",
                         R"(["Probe"])", R"({"name": "Cut)", nullptr};
  for (int i = 0; i < 5; ++i) {
    const auto directory = std::filesystem::path(root.path()) / std::to_string(i);
    std::filesystem::create_directories(directory);
    if (infos[i]) std::ofstream(directory / "Info.json") << infos[i];
    const auto bundle = platform::Bundle::atPath(directory);
    EXPECT_EQ(Bexlan::Bundle::appName(*bundle), i == 0 ? "Probe" : "Unknown App") << i;
    EXPECT_EQ(Bexlan::Bundle::appVersion(*bundle), i == 0 ? "2.1" : "Unknown Version") << i;
  }
}

}  // namespace
