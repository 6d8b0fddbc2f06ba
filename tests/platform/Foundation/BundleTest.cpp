#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <nlohmann/json.hpp>
#include <string>
#include <thread>
#include <vector>

#include "Platform/Foundation/BuildInfo.hpp"
#include "Platform/Foundation/Bundle.hpp"
#include "Platform/Foundation/Region.hpp"
#include "tests/platform/System/MountTestGuards.hpp"

namespace platform {
namespace {

namespace fs = std::filesystem;

// A bundle directory made for one test and removed after it.
struct TemporaryBundle : volumetest::TemporaryDirectory {
  void write(const fs::path& relative, std::string_view text) const {
    fs::create_directories((directory / relative).parent_path());
    std::ofstream(directory / relative) << text;
  }
  std::shared_ptr<Bundle> bundle() const { return Bundle::atPath(directory); }
  const fs::path directory{path()};
};

// The resource directory beside the test program's bin/, where the build copies resources/.
fs::path besideExecutable() {
  return (fs::read_symlink("/proc/self/exe").parent_path() / ".." / buildinfo::resourceSubdirectory)
      .lexically_normal();
}

class LocalizedStringTest : public ::testing::Test {
 protected:
  LocalizedStringTest() {
    files_.write("de-DE.lproj/Localizable.json", R"({"ONLY_DE_DE": "Regional"})");
    files_.write("de.lproj/Localizable.json", R"({"ONLY_DE_DE": "Deutsch", "GREETING": "Hallo"})");
    files_.write("en.lproj/Localizable.json", R"({"GREETING": "Hello", "FAREWELL": "Goodbye", "COUNT": 3})");
    files_.write("fr.lproj/Localizable.json", R"({"GREETING": "Bonjour"})");
    files_.write("en.lproj/Units.json", R"({"GREETING": "Hello from Units"})");
  }

  TemporaryBundle files_;
};

TEST_F(LocalizedStringTest, FallsBackFromTagToBaseLanguageToEnglishToDefaultToKey) {
  ScopedRegion region("de_DE", "Europe/Berlin", {"de-DE"});
  const std::shared_ptr<Bundle> bundle = files_.bundle();
  EXPECT_EQ(bundle->localizedString("ONLY_DE_DE"), "Regional");
  EXPECT_EQ(bundle->localizedString("GREETING"), "Hallo");
  EXPECT_EQ(bundle->localizedString("FAREWELL"), "Goodbye");
  EXPECT_EQ(bundle->localizedString("MISSING", "Fallback"), "Fallback");
  EXPECT_EQ(bundle->localizedString("MISSING"), "MISSING");
  EXPECT_EQ(bundle->localizedString("COUNT"), "COUNT") << "a value that is not a text counts as missing";
}

// Malformed tables count as empty, so the Italian, Spanish, Dutch and Portuguese ones fall through to
// English; so does an Info.json that cannot be read.
TEST_F(LocalizedStringTest, FollowsTheRegionsLanguagesAndTheNamedTableAndSkipsMalformedTables) {
  files_.write("it.lproj/Localizable.json", R"({"GREETING": "Ciao",)");
  files_.write("es.lproj/Localizable.json", R"(["GREETING", "Hola"])");
  files_.write("nl.lproj/Localizable.json", "");
  for (const char* directory : {"pt.lproj/Localizable.json", "Info.json"})  // a stream read of one throws
    fs::create_directories(files_.directory / directory);
  const std::shared_ptr<Bundle> bundle = files_.bundle();
  {
    ScopedRegion region("fr_FR", "Europe/Paris", {"fr-CA", "zh-Hant-TW", "de"});
    EXPECT_EQ(bundle->localizedString("GREETING"), "Bonjour");
    EXPECT_EQ(bundle->localizedString("ONLY_DE_DE"), "Deutsch");
  }
  {
    ScopedRegion region("it_IT", "Europe/Rome", {"it", "es", "nl", "pt"});
    EXPECT_EQ(bundle->localizedString("GREETING"), "Hello");
  }
  ScopedRegion region("ja_JP", "Asia/Tokyo", {"ja"});
  EXPECT_EQ(bundle->localizedString("GREETING"), "Hello");
  EXPECT_EQ(bundle->localizedString("GREETING", "", "Units"), "Hello from Units");
  EXPECT_EQ(bundle->localizedString("FAREWELL", "", "Units"), "FAREWELL");
}

// Tables load once per bundle directory, safely when several threads look them up first at once.
TEST_F(LocalizedStringTest, ConcurrentFirstLookupsAgreeAndTablesAreReadOnce) {
  ScopedRegion region("de_DE", "Europe/Berlin", {"de-DE"});
  const std::shared_ptr<Bundle> bundle = files_.bundle();
  std::vector<std::thread> threads;
  std::vector<int> wrong(4, 0);
  for (int& count : wrong) {
    threads.emplace_back([&bundle, &count] {
      count += bundle->localizedString("FAREWELL") == "Goodbye" ? 0 : 1;
      count += bundle->localizedString("GREETING") == "Hallo" ? 0 : 1;
    });
  }
  for (std::thread& thread : threads) thread.join();
  EXPECT_EQ(wrong, std::vector<int>(4, 0));
  files_.write("en.lproj/Localizable.json", R"({"FAREWELL": "Changed"})");
  EXPECT_EQ(bundle->localizedString("FAREWELL"), "Goodbye");
  EXPECT_EQ(Bundle::atPath(files_.directory / ".")->localizedString("FAREWELL"), "Goodbye")
      << "the same directory gives the same bundle and cache";
}

TEST(BundleResources, FindsFilesAtTheTopOfTheBundle) {
  TemporaryBundle files;
  files.write("icons/cpu.svg", "<svg/>");
  files.write("Config.json", "{}");
  const std::shared_ptr<Bundle> bundle = files.bundle();
  EXPECT_EQ(bundle->path("Config", "json"), files.directory / "Config.json");
  EXPECT_EQ(bundle->path("Config", ".json"), files.directory / "Config.json");
  EXPECT_EQ(bundle->path("icons", ""), files.directory / "icons");
  EXPECT_EQ(bundle->path("Config", "plist"), std::nullopt);
  EXPECT_EQ(bundle->path("", ""), std::nullopt);
  // Names never leave the bundle.
  EXPECT_EQ(bundle->path("icons/cpu", "svg"), std::nullopt);
  EXPECT_EQ(bundle->path("../" + files.directory.filename().string() + "/Config", "json"), std::nullopt);
  EXPECT_EQ(bundle->path((files.directory / "Config").string(), "json"), std::nullopt);
  EXPECT_EQ(Bundle::atPath(files.directory / "Config.json"), nullptr) << "a bundle is a directory";
  EXPECT_EQ(Bundle::atPath(files.directory / "absent"), nullptr);
}

// A module's bundle on disk comes first; where none is, the tables compiled into the library answer with
// every text of resources/.
TEST(BundleLookup, TakesABundleOnDiskFirstElseTheCompiledInTables) {
  TemporaryBundle resources;
  resources.write("Bexlan.bundle/en.lproj/Localizable.json", R"({"OTHER": "Changed on disk"})");
  ::setenv("VELMORA_RESOURCE_DIR", resources.directory.c_str(), 1);
  ScopedRegion region("en_US", "UTC", {"en"});
  const std::shared_ptr<Bundle> onDisk = Bundle::module("Bexlan");
  EXPECT_EQ(onDisk->localizedString("OTHER"), "Changed on disk");
  EXPECT_EQ(onDisk->localizedString("VIDEO"), "VIDEO") << "the bundle on disk is used whole";

  // Run where "en.lproj" names a folder: a compiled-in bundle still has no files.
  const fs::path startedIn = fs::current_path();
  fs::current_path(resources.directory / "Bexlan.bundle");
  for (const std::string module : {"Orvane", "Draskel_Draskel", "Tavrix_Tavrix"}) {
    const std::shared_ptr<Bundle> compiledIn = Bundle::module(module);
    EXPECT_EQ(compiledIn->bundlePath(), fs::path()) << module;
    EXPECT_EQ(compiledIn->path("en", "lproj"), std::nullopt) << module;
    const nlohmann::json shipped = nlohmann::json::parse(
        std::ifstream(besideExecutable() / (module + ".bundle") / "en.lproj" / "Localizable.json"));
    for (const auto& [key, text] : shipped.items()) {
      EXPECT_EQ(compiledIn->localizedString(key), text.get<std::string>()) << module << ": " << key;
    }
  }
  fs::current_path(startedIn);
  ::unsetenv("VELMORA_RESOURCE_DIR");
}

TEST(BundleLookupDeathTest, MissingModuleBundleIsFatalAndNamesThePlacesLookedInOrOnlyTheExplicitOne) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_DEATH(Bundle::module("NoSuchModule"),
               "Fatal error: unable to find bundle named NoSuchModule \\(looked in " +
                   besideExecutable().string() + ", " + buildinfo::installedResourceDirectory + "\\)\n");

  // An explicit resource directory is the only place looked in.
  TemporaryBundle resources;
  resources.write("ExplicitOnly.bundle/en.lproj/Localizable.json", R"({"KEY": "from the explicit place"})");
  ::setenv("VELMORA_RESOURCE_DIR", resources.directory.c_str(), 1);
  ScopedRegion region("en_US", "UTC", {"en"});
  EXPECT_EQ(Bundle::module("ExplicitOnly")->localizedString("KEY"), "from the explicit place");
  // The death test's process makes a directory of its own: only its name's pattern is known here. The
  // message names its source file within the tree, and no folder the tree was built in.
  EXPECT_DEATH(
      Bundle::module("NoSuchModule"),
      "^Platform/Foundation/Bundle\\.cpp:[0-9]+: Fatal error: unable to find bundle named NoSuchModule "
      "\\(looked in " +
          (resources.directory.parent_path() / "velmora-mounts-[^,]*").string() + "\\)\n");
  ::unsetenv("VELMORA_RESOURCE_DIR");
}

}  // namespace
}  // namespace platform
