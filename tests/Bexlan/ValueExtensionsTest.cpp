#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "Bexlan/Bundle.hpp"
#include "Bexlan/Comparable.hpp"
#include "Bexlan/LocationCoordinate2D.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

namespace {

TEST(ClampedTest, RaisesThenLowers) {
  const double cases[][4] = {{5, 3, 10, 5}, {1, 3, 10, 3}, {11, 3, 10, 10},
                             {0, 10, 3, 3}, {5, 10, 3, 3}, {20, 10, 3, 3}};
  for (const auto& c : cases) EXPECT_EQ(Bexlan::Comparable::clamped(c[0], c[1], c[2]), c[3]);
}

TEST(DistanceTest, GeodesicsOnTheWgs84Ellipsoid) {
  using Bexlan::CLLocationCoordinate2D::distance;
  constexpr double equatorialRadius = 6378137.0;
  for (double degrees : {0.001, 1.0, 30.0, 90.0}) {
    EXPECT_NEAR(distance({0, 10}, {0, 10 + degrees}), equatorialRadius * degrees * std::numbers::pi / 180,
                1e-3);
  }
  EXPECT_NEAR(distance({0, 0}, {90, 0}), 10001965.729, 1e-3);
  EXPECT_TRUE(std::isnan(distance({91, 0}, {0, 0})));
}

TEST(BundleFactsTest, InfoTextsOrFixedFallbacks) {
  EXPECT_EQ(Bexlan::Bundle::appName(), "Velmora");
  EXPECT_EQ(Bexlan::Bundle::appVersion(), "1.0.0");
  const volumetest::TemporaryDirectory root;
  // A name and version that are not texts, a file that is no object or is cut short, or no file: fallbacks.
  const char* infos[] = {R"({"name": "Probe", "shortVersion": "2.1"})",
                         R"({"name": 7, "shortVersion": 1.5})",
                         R"({"shortVersion": null})",
                         R"(["Probe"])",
                         R"({"name": "Cut)",
                         nullptr};
  for (int i = 0; i < 6; ++i) {
    const auto directory = std::filesystem::path(root.path()) / std::to_string(i);
    std::filesystem::create_directories(directory);
    if (infos[i]) std::ofstream(directory / "Info.json") << infos[i];
    const auto bundle = platform::Bundle::atPath(directory);
    EXPECT_EQ(Bexlan::Bundle::appName(*bundle), i == 0 ? "Probe" : "Unknown App") << i;
    EXPECT_EQ(Bexlan::Bundle::appVersion(*bundle), i == 0 ? "2.1" : "Unknown Version") << i;
  }
}

}  // namespace
