#include <gtest/gtest.h>
#include <unistd.h>

#include <cmath>
#include <cstdint>
#include <filesystem>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "Platform/Foundation/Region.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "Platform/Graphics/Transaction.hpp"
#include "Tavrix/Controls/CATransaction.hpp"
#include "Tavrix/Controls/ModuleBundle.hpp"
#include "Tavrix/Controls/OverlayMasked.hpp"
#include "Tavrix/Controls/Utilities.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

// The small helpers of the controls: rate units and month names, the transaction helper, the masked overlay
// and the lookup of the module's bundle.
namespace Tavrix {
namespace {

constexpr std::uint64_t kibi = 1024;
constexpr std::uint64_t mebi = kibi * kibi;
constexpr std::uint64_t gibi = mebi * kibi;
constexpr std::uint64_t tebi = gibi * kibi;

// Bytes step at each power of 1024; bits count eight per byte and step at each power of 1000 (124 bytes are
// 992 bits, 125 reach 1000 and the step itself counts). Each step once, the first on both of its sides.
TEST(RateUnits, StepAtEachPowerInBytesAndInBits) {
  struct Case {
    std::uint64_t bytes;
    bool bits;
    double divisor;
    const char* unit;
  };
  constexpr std::uint64_t largest = std::numeric_limits<std::uint64_t>::max();
  for (const Case& step :
       {Case{0, false, 1, "B/s"}, Case{1023, false, 1, "B/s"}, Case{1024, false, 1024, "KB/s"},
        Case{mebi, false, 1048576, "MB/s"}, Case{gibi, false, 1073741824, "GB/s"},
        Case{tebi, false, 1099511627776, "TB/s"}, Case{largest, false, 1099511627776, "TB/s"},
        Case{124, true, 1, "b/s"}, Case{125, true, 1000, "Kb/s"}, Case{125'000, true, 1'000'000, "Mb/s"},
        Case{125'000'000, true, 1'000'000'000, "Gb/s"},
        // 10^12 as a single-precision number.
        Case{125'000'000'000, true, 999'999'995'904, "Tb/s"},
        // Times 8 saturates instead of wrapping round to a small count.
        Case{std::uint64_t{1} << 61, true, 999'999'995'904, "Tb/s"},
        Case{largest, true, 999'999'995'904, "Tb/s"}}) {
    EXPECT_EQ(Utilities::unitDivisor(step.bytes, step.bits), step.divisor) << step.bytes << " " << step.bits;
    EXPECT_EQ(Utilities::rateUnit(step.bytes, step.bits), step.unit) << step.bytes << " " << step.bits;
  }
}

TEST(MonthString, AbbreviatedMonthInTheRegionsLocaleAndTimeZone) {
  {
    platform::ScopedRegion region("en_US", "UTC", {"en"});
    EXPECT_EQ(Utilities::monthString(0), "Jan");
    // 1 March 2021, 00:00 UTC.
    EXPECT_EQ(Utilities::monthString(1614556800), "Mar");
    EXPECT_EQ(Utilities::monthString(std::nan("")), "-");
  }
  {
    platform::ScopedRegion region("en_US", "America/New_York", {"en"});
    EXPECT_EQ(Utilities::monthString(0), "Dec");
  }
}

TEST(TransactionHelper, DisablesActionsForTheBodyAndCommitsWhenItThrows) {
  EXPECT_FALSE(platform::Transaction::disableActions());
  bool inside = false;
  CATransaction::performWithoutAnimation([&inside] { inside = platform::Transaction::disableActions(); });
  EXPECT_TRUE(inside);
  EXPECT_FALSE(platform::Transaction::disableActions());
  EXPECT_THROW(CATransaction::performWithoutAnimation([] { throw std::runtime_error("body"); }),
               std::runtime_error);
  EXPECT_FALSE(platform::Transaction::disableActions());
  // No transaction was left open.
  EXPECT_THROW(platform::Transaction::commit(), std::logic_error);
}

TEST(MaskedOverlay, PaintsTheOverlayInTheShapeOfTheContent) {
  auto image = platform::Image::create({20, 10});
  {
    platform::ImageFocus focus(*image);
    overlayMasked(
        focus.context(),
        [](platform::GraphicsContext& context) {
          context.setFillColor({0, 0, 1, 0.5});
          context.fillRect(platform::Rect(0, 0, 10, 10));
        },
        [](platform::GraphicsContext& context) {
          context.setFillColor({0, 1, 0, 1});
          context.fillRect(platform::Rect(0, 0, 20, 10));
        });
  }
  // The content's colour never shows, only its coverage.
  platform::test::expectRgba(image->pixel(5, 5), {0, 0.5, 0, 0.5});
  platform::test::expectRgba(image->pixel(15, 5), {0, 0, 0, 0});
}

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
