#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <limits>
#include <optional>
#include <stdexcept>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Platform/Foundation/Region.hpp"
#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "Platform/Graphics/Transaction.hpp"
#include "Tavrix/Controls/CATransaction.hpp"
#include "Tavrix/Controls/ColorGradient.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/Gradients.hpp"
#include "Tavrix/Controls/ModuleBundle.hpp"
#include "Tavrix/Controls/OverlayMasked.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Controls/Utilities.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"
#include "tests/support/ScratchDirectory.hpp"

// What the controls use besides views: rate units and month names, the transaction helper, the masked
// overlay, the lookup of the module's bundle, and the palette (fixed, dynamic and system colours, gradients).
namespace Tavrix {
namespace {

constexpr std::uint64_t mebi = 1024 * 1024, gibi = mebi * 1024, tebi = gibi * 1024;

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
  testsupport::ScratchDirectory scratch{"tavrix-bundles"};
  fs::path path{scratch.path()};
  BundleDirectory() { fs::create_directory(path / "Found.bundle"); }
};

TEST(ModuleBundle, TheLibrarysBundleIsFoundOnceAndKept) {
  const auto bundle = Bundle::module();
  ASSERT_NE(bundle, nullptr);
  EXPECT_EQ(bundle->bundlePath().filename(), "Tavrix_Tavrix.bundle");
  EXPECT_EQ(Bundle::module(), bundle);
}

// Where no place on disk holds it (the variable names a place that cannot be a directory), the library's
// bundle is the platform's module bundle made of the compiled-in tables. A process of its own: the bundle is
// kept from the first use.
TEST(ModuleBundleDeathTest, WithNoBundleOnDiskTheCompiledInTablesAnswer) {
  GTEST_FLAG_SET(death_test_style, "threadsafe");
  EXPECT_EXIT(
      {
        ::setenv("VELMORA_RESOURCE_DIR", "/dev/null/resources", 1);
        const auto bundle = Bundle::module();
        std::exit(bundle == platform::Bundle::module("Tavrix_Tavrix") && bundle->bundlePath().empty() ? 0 : 1);
      },
      testing::ExitedWithCode(0), "");
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
  {
    const BundleDirectory directory;
    EXPECT_DEATH(Bundle::find("Tavrix_Tavrix", {[&directory] { return std::optional(directory.path); }}),
                 "Fatal error: unable to find bundle named Tavrix_Tavrix \\(looked in " +
                     (directory.path.parent_path() / "tavrix-bundles-[0-9]+-[^)]+").string() + "\\)\n");
  }
  // The child that died made a directory of its own and could not remove it.
  EXPECT_EQ(testsupport::ScratchDirectory::leftovers("tavrix-bundles"), std::vector<std::string>{});
}

using platform::Appearance;
using platform::AppearanceScope;
using platform::ColorRef;
using Components = std::array<int, 3>;

const Appearance light{std::string(Appearance::aqua)};
const Appearance dark{std::string(Appearance::darkAqua)};

// The colour's components back on the 0-255 scale, which must be whole numbers.
Components components(const ColorRef& color) {
  const platform::Rgba value = color->rgba(light);
  EXPECT_DOUBLE_EQ(value.alpha, 1);
  const auto whole = [](double component) {
    const double scaled = component * 255;
    EXPECT_NEAR(scaled, std::round(scaled), 1e-9);
    return static_cast<int>(std::round(scaled));
  };
  return {whole(value.red), whole(value.green), whole(value.blue)};
}

std::vector<Components> stops(const ColorGradient& gradient) {
  std::vector<Components> all;
  for (const ColorRef& color : gradient.mColors()) all.push_back(components(color));
  return all;
}

void expectAlphas(const std::vector<ColorRef>& colors, const std::vector<double>& expected) {
  ASSERT_EQ(colors.size(), expected.size());
  for (std::size_t index = 0; index < colors.size(); ++index) {
    EXPECT_NEAR(colors[index]->rgba().alpha, expected[index], 1e-12) << "stop " << index;
  }
}

TEST(ColorGradient, StopsFromTheColoursGivenAndTheirFadedAlphas) {
  const ColorGradient none{std::vector<ColorRef>{}};
  EXPECT_EQ(none.mColors(), (std::vector<ColorRef>{Colors::gradientStart(), Colors::gradientEnd()}));
  const ColorRef only = platform::Color::red();
  const ColorGradient one{std::vector<ColorRef>{only}};
  EXPECT_EQ(one.mColors().size(), 1u);
  EXPECT_EQ(one.end(), only);
  const ColorGradient pair(platform::Color::white(), platform::Color::black());
  EXPECT_EQ(pair.mColors(), (std::vector<ColorRef>{platform::Color::white(), platform::Color::black()}));
  EXPECT_THROW(ColorGradient(nullptr, only), std::invalid_argument);

  // Faded colours: two stops have their own alphas, any other count follows the rule.
  expectAlphas(Gradients::blue().fadedColors(), {0.75, 0.2});
  expectAlphas(ColorGradient(std::vector<ColorRef>{platform::Color::red()}).fadedColors(), {0.9});
  expectAlphas(Gradients::fancy().fadedColors(), {0.9, 0.9 - 0.7 / 3, 0.9 - 2 * 0.7 / 3});
  const std::vector<ColorRef> faded = Gradients::neon().fadedPair(0.3, 0.6);
  expectAlphas(faded, {0.3, 0.6});
  EXPECT_EQ(components(faded.front()->withAlphaComponent(1)), (Components{107, 55, 255}));
  // The gradient's own colours keep their alpha.
  EXPECT_EQ(Gradients::blue().start()->rgba().alpha, 1);
}

// A few stops a mistake would change, and the number of stops of every gradient. The gradient pair of
// Colors shows through blue, which holds those very objects.
TEST(Palette, FixedColoursAndGradientStopsAreTheCatalogues) {
  EXPECT_EQ(components(Colors::plum()), (Components{110, 55, 110}));
  EXPECT_EQ(components(Colors::peach()), (Components{252, 157, 128}));
  EXPECT_EQ(Colors::plum(), Colors::plum());
  EXPECT_EQ(stops(Gradients::trafficLight()),
            (std::vector<Components>{
                {204, 50, 50}, {219, 123, 43}, {231, 180, 22}, {153, 193, 64}, {45, 201, 55}}));
  EXPECT_EQ(stops(Gradients::neonReversed()), (std::vector<Components>{{246, 64, 157}, {107, 55, 255}}));
  EXPECT_EQ(stops(Gradients::cardTwo()).front(), (Components{203, 74, 125}));
  EXPECT_EQ(stops(Gradients::ocean()).back(), (Components{78, 176, 204}));
  const std::vector<std::pair<const ColorGradient*, std::size_t>> counts{
      {&Gradients::crimson(), 2},      {&Gradients::red(), 2},        {&Gradients::trafficLight(), 5},
      {&Gradients::blue(), 2},         {&Gradients::neon(), 2},       {&Gradients::neonReversed(), 2},
      {&Gradients::orangeYellow(), 2}, {&Gradients::fancy(), 3},      {&Gradients::sunset(), 3},
      {&Gradients::cardOne(), 2},      {&Gradients::cardTwo(), 2},    {&Gradients::cardThree(), 2},
      {&Gradients::cardFull(), 3},     {&Gradients::softPastel(), 6}, {&Gradients::pastelRainbow(), 5},
      {&Gradients::orangePink(), 2},   {&Gradients::ocean(), 2},      {&Gradients::orchid(), 3},
      {&Gradients::dustyRose(), 3}};
  for (const auto& [gradient, count] : counts) {
    EXPECT_EQ(stops(*gradient).size(), count);
    EXPECT_EQ(gradient->start(), gradient->mColors().front());
    EXPECT_EQ(gradient->end(), gradient->mColors().back());
  }
  EXPECT_EQ(Gradients::blue().mColors(),
            (std::vector<ColorRef>{Colors::gradientStart(), Colors::gradientEnd()}));
  EXPECT_EQ(&Gradients::blue(), &Gradients::blue());
}

TEST(Palette, SystemGradientsFadeTheirSystemColourAndFollowTheAppearance) {
  const std::vector<std::pair<const ColorGradient*, ColorRef>> system{
      {&Gradients::systemGreen(), SystemColors::systemGreen()},
      {&Gradients::systemRed(), SystemColors::systemRed()},
      {&Gradients::systemBlue(), SystemColors::systemBlue()},
      {&Gradients::systemOrange(), SystemColors::systemOrange()}};
  for (const auto& [gradient, color] : system) {
    ASSERT_EQ(gradient->mColors().size(), 2u);
    EXPECT_EQ(gradient->end(), color);
    EXPECT_TRUE(gradient->start()->isDynamic());
    platform::Rgba faded = gradient->start()->rgba(dark);
    EXPECT_DOUBLE_EQ(faded.alpha, 0.22);
    faded.alpha = 1;
    EXPECT_EQ(faded, color->rgba(dark));
  }
  EXPECT_EQ(Gradients::rainbow().mColors(),
            (std::vector<ColorRef>{SystemColors::systemRed(), SystemColors::systemOrange(),
                                   SystemColors::systemYellow(), SystemColors::systemGreen(),
                                   SystemColors::systemTeal(), SystemColors::systemBlue()}));
  // The table's dark and light values differ, and a system colour is one object.
  EXPECT_NE(SystemColors::labelColor()->rgba(dark), SystemColors::labelColor()->rgba(light));
  EXPECT_EQ(SystemColors::controlAccentColor()->rgba(light), SystemColors::systemBlue()->rgba(light));
  EXPECT_EQ(SystemColors::alternatingContentBackgroundColors().size(), 2u);
}

TEST(Palette, DynamicColoursFollowTheAppearanceCurrentWhenRead) {
  const std::vector<std::tuple<ColorRef (*)(), Components, Components>> dynamic{
      {&Colors::highlight, {51, 81, 115}, {210, 231, 255}},
      {&Colors::warmSurface, {66, 56, 53}, {247, 247, 248}}};
  for (const auto& [read, darkComponents, lightComponents] : dynamic) {
    const auto readIn = [&read](const Appearance& appearance) {
      const AppearanceScope scope(appearance);
      return read();
    };
    const ColorRef readInDark = readIn(dark);
    EXPECT_EQ(components(readInDark), darkComponents);
    EXPECT_EQ(components(readIn(Appearance(std::string(Appearance::vibrantLight)))), lightComponents);
    // A colour read earlier keeps what it was.
    EXPECT_EQ(components(readInDark), darkComponents);
  }
  EXPECT_NE(Colors::highlight(), Colors::highlight());
}

}  // namespace
}  // namespace Tavrix
