#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <numbers>

#include "Bexlan/Bundle.hpp"
#include "Bexlan/Comparable.hpp"
#include "Bexlan/LocationCoordinate2D.hpp"

namespace {

TEST(ClampedTest, RaisesThenLowers) {
  const double cases[][4] = {{5, 3, 10, 5}, {1, 3, 10, 3}, {11, 3, 10, 10}, {0, 10, 3, 3}, {5, 10, 3, 3}, {20, 10, 3, 3}};
  for (const auto& c : cases) EXPECT_EQ(Bexlan::Comparable::clamped(c[0], c[1], c[2]), c[3]);
}

TEST(DistanceTest, GeodesicsOnTheWgs84Ellipsoid) {
  using Bexlan::CLLocationCoordinate2D::distance;
  constexpr double equatorialRadius = 6378137.0;
  for (double degrees : {0.001, 1.0, 30.0, 90.0}) {
    EXPECT_NEAR(distance({0, 10}, {0, 10 + degrees}), equatorialRadius * degrees * std::numbers::pi / 180, 1e-3);
  }
  EXPECT_NEAR(distance({0, 0}, {90, 0}), 10001965.729, 1e-3);
  EXPECT_NEAR(distance({-90, 0}, {0, 0}), 10001965.729, 1e-3);
  EXPECT_EQ(distance({48.1, 11.5}, {48.1, 11.5}), 0);
  EXPECT_TRUE(std::isnan(distance({91, 0}, {0, 0})));
}

TEST(BundleFactsTest, InfoTextsOrFixedFallbacks) {
  EXPECT_EQ(Bexlan::Bundle::appName(), "Velmora");
  EXPECT_EQ(Bexlan::Bundle::appVersion(), "1.0.0");
  const std::filesystem::path root =
      std::filesystem::temp_directory_path() / ("velmora-bundles-" + std::to_string(::getpid()));
  struct Case { const char* info; const char* name; const char* version; };
  const Case cases[] = {{R"({"name": "Probe", "shortVersion": "2.1"})", "Probe", "2.1"},
                        {R"({"name": 7, "shortVersion": 1.5})", "Unknown App", "Unknown Version"},
                        {R"({"shortVersion": null})", "Unknown App", "Unknown Version"},
                        {R"(["Probe"])", "Unknown App", "Unknown Version"},
                        {R"({"name": "Cut)", "Unknown App", "Unknown Version"},
                        {nullptr, "Unknown App", "Unknown Version"}};
  int index = 0;
  for (const Case& c : cases) {
    const std::filesystem::path directory = root / std::to_string(index++);
    std::filesystem::create_directories(directory);
    if (c.info) std::ofstream(directory / "Info.json") << c.info;
    const auto bundle = platform::Bundle::atPath(directory);
    EXPECT_EQ(Bexlan::Bundle::appName(*bundle), c.name) << directory;
    EXPECT_EQ(Bexlan::Bundle::appVersion(*bundle), c.version) << directory;
  }
  std::filesystem::remove_all(root);
}

}  // namespace
