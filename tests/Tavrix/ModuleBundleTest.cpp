#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>
#include <vector>

#include "Tavrix/Controls/ModuleBundle.hpp"

namespace Tavrix {
namespace {

namespace fs = std::filesystem;

// A temporary directory holding "Found.bundle", removed with the object.
struct BundleDirectory {
  fs::path path = fs::temp_directory_path() / ("tavrix-bundles-" + std::to_string(::getpid()));
  BundleDirectory() { fs::create_directories(path / "Found.bundle"); }
  ~BundleDirectory() { fs::remove_all(path); }
};

TEST(ModuleBundle, TheLibrarysBundleIsFoundOnceAndKept) {
  const auto bundle = Bundle::module();
  ASSERT_NE(bundle, nullptr);
  EXPECT_EQ(bundle->bundlePath().filename(), "Tavrix_Tavrix.bundle");
  EXPECT_EQ(Bundle::module(), bundle);
}

TEST(ModuleBundle, PlacesAreAskedInOrderOnlyUntilOneHoldsTheBundle) {
  const BundleDirectory directory;
  std::vector<std::string> asked;
  const auto place = [&asked](std::string name, std::optional<fs::path> where) -> Bundle::Place {
    return [&asked, name, where] {
      asked.push_back(name);
      return where;
    };
  };
  const auto found =
      Bundle::find("Found", {place("absent", std::nullopt), place("empty", fs::temp_directory_path()),
                             place("holder", directory.path), place("after", directory.path)});
  ASSERT_NE(found, nullptr);
  EXPECT_EQ(found->bundlePath(), fs::canonical(directory.path / "Found.bundle"));
  EXPECT_EQ(asked, (std::vector<std::string>{"absent", "empty", "holder"}));
}

TEST(ModuleBundleDeathTest, NoPlaceHoldingTheBundleIsFatal) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  const BundleDirectory directory;
  EXPECT_DEATH(Bundle::find("Tavrix_Tavrix", {[&directory] { return std::optional(directory.path); }}),
               "Fatal error: unable to find bundle named Tavrix_Tavrix \\(looked in " +
                   (directory.path.parent_path() / "tavrix-bundles-[0-9]+").string() + "\\)\n");
}

}  // namespace
}  // namespace Tavrix
