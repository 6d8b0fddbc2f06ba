#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Tavrix/Controls/ColorGradient.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/Gradients.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

namespace Tavrix {
namespace {

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
  for (const ColorRef& color : gradient.mColors()) {
    all.push_back(components(color));
  }
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
  const ColorGradient four(std::vector<ColorRef>(4, platform::Color::white()));
  expectAlphas(four.fadedColors(), {0.9, 0.725, 0.55, 0.375});
  const std::vector<ColorRef> faded = Gradients::neon().fadedPair(0.3, 0.6);
  expectAlphas(faded, {0.3, 0.6});
  EXPECT_EQ(components(faded.front()->withAlphaComponent(1)), (Components{107, 55, 255}));
  // The gradient's own colours keep their alpha.
  EXPECT_EQ(Gradients::blue().start()->rgba().alpha, 1);
}

// The gradient pair of Colors shows through blue, which holds those very objects.
TEST(Palette, FixedColoursAndGradientStopsAreTheCatalogues) {
  EXPECT_EQ(components(Colors::plum()), (Components{110, 55, 110}));
  EXPECT_EQ(components(Colors::rose()), (Components{252, 110, 134}));
  EXPECT_EQ(components(Colors::berry()), (Components{202, 74, 125}));
  EXPECT_EQ(components(Colors::peach()), (Components{252, 157, 128}));
  EXPECT_EQ(Colors::plum(), Colors::plum());
  const std::vector<std::pair<const ColorGradient*, std::vector<Components>>> catalogue{
      {&Gradients::crimson(), {{220, 28, 19}, {240, 116, 112}}},
      {&Gradients::red(), {{251, 93, 117}, {249, 36, 61}}},
      {&Gradients::trafficLight(),
       {{204, 50, 50}, {219, 123, 43}, {231, 180, 22}, {153, 193, 64}, {45, 201, 55}}},
      {&Gradients::blue(), {{62, 189, 177}, {0, 182, 208}}},
      {&Gradients::neon(), {{107, 55, 255}, {246, 64, 157}}},
      {&Gradients::neonReversed(), {{246, 64, 157}, {107, 55, 255}}},
      {&Gradients::orangeYellow(), {{249, 86, 23}, {253, 209, 42}}},
      {&Gradients::fancy(), {{217, 87, 169}, {233, 69, 63}, {243, 143, 67}}},
      {&Gradients::sunset(), {{251, 220, 132}, {242, 85, 151}, {169, 61, 118}}},
      {&Gradients::cardOne(), {{110, 55, 110}, {202, 74, 125}}},
      {&Gradients::cardTwo(), {{203, 74, 125}, {252, 110, 135}}},
      {&Gradients::cardThree(), {{253, 112, 135}, {253, 158, 129}}},
      {&Gradients::cardFull(), {{110, 55, 110}, {203, 74, 125}, {253, 158, 129}}},
      {&Gradients::softPastel(),
       {{255, 154, 162},
        {255, 183, 178},
        {255, 218, 193},
        {226, 240, 203},
        {181, 234, 215},
        {199, 206, 234}}},
      {&Gradients::pastelRainbow(),
       {{255, 179, 186}, {255, 223, 186}, {255, 255, 186}, {186, 255, 201}, {186, 225, 255}}},
      {&Gradients::orangePink(), {{255, 138, 0}, {229, 46, 113}}},
      {&Gradients::ocean(), {{3, 125, 175}, {78, 176, 204}}},
      {&Gradients::orchid(), {{165, 29, 212}, {205, 79, 169}, {208, 93, 153}}},
      {&Gradients::dustyRose(), {{212, 146, 146}, {212, 134, 174}, {208, 94, 147}}},
  };
  for (const auto& [gradient, expected] : catalogue) {
    EXPECT_EQ(stops(*gradient), expected);
    EXPECT_EQ(gradient->start(), gradient->mColors().front());
    EXPECT_EQ(gradient->end(), gradient->mColors().back());
  }
  // Twins with equal colours and storage of their own.
  for (const ColorGradient* twin : {&Gradients::blossom(), &Gradients::custom()}) {
    EXPECT_EQ(stops(*twin), stops(Gradients::fancy()));
    EXPECT_NE(twin->start(), Gradients::fancy().start());
  }
  EXPECT_EQ(stops(Gradients::softPastelAlt()), stops(Gradients::softPastel()));
  EXPECT_NE(Gradients::softPastelAlt().end(), Gradients::softPastel().end());
  EXPECT_EQ(Gradients::blue().mColors(),
            (std::vector<ColorRef>{Colors::gradientStart(), Colors::gradientEnd()}));
  EXPECT_EQ(&Gradients::blue(), &Gradients::blue());
}

TEST(Palette, SystemGradientsFadeTheirSystemColourAndFollowTheAppearance) {
  const std::vector<std::pair<const ColorGradient*, ColorRef>> system{
      {&Gradients::systemGreen(), SystemColors::systemGreen()},
      {&Gradients::systemRed(), SystemColors::systemRed()},
      {&Gradients::systemBlue(), SystemColors::systemBlue()},
      {&Gradients::systemYellow(), SystemColors::systemYellow()},
      {&Gradients::systemTeal(), SystemColors::systemTeal()},
      {&Gradients::systemPink(), SystemColors::systemPink()},
      {&Gradients::systemOrange(), SystemColors::systemOrange()},
  };
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
      {&Colors::accentBlue, {56, 118, 213}, {48, 99, 182}},
      {&Colors::surface, {52, 54, 57}, {247, 247, 248}},
      {&Colors::warmSurface, {66, 56, 53}, {247, 247, 248}},
      {&Colors::raisedSurface, {68, 70, 73}, {231, 231, 232}},
  };
  for (const auto& [read, darkComponents, lightComponents] : dynamic) {
    ColorRef readInDark;
    {
      AppearanceScope scope(dark);
      readInDark = read();
      EXPECT_EQ(components(readInDark), darkComponents);
    }
    {
      AppearanceScope scope(Appearance(std::string(Appearance::vibrantLight)));
      EXPECT_EQ(components(read()), lightComponents);
      // A colour read earlier keeps what it was.
      EXPECT_EQ(components(readInDark), darkComponents);
    }
  }
  EXPECT_NE(Colors::highlight(), Colors::highlight());
}

}  // namespace
}  // namespace Tavrix
