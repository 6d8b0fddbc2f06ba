#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Path.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/ViewLoader.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/GradientProgressView.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "tests/Tavrix/Controls/ControlsTestSupport.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace Tavrix {
namespace {

using platform::Appearance;
using platform::Point;
using platform::Rect;
using platform::Rgba;

TEST(GradientProgressView, ShowsEachValueAtOnceEvenBeforeTheFirstLayout) {
  auto bar = platform::View::create<GradientProgressView>(Rect(0, 0, 120, 8));
  bar->setValue(0.6);
  EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0.6);
  EXPECT_TRUE(bar->progressLayer()->animationKeys().empty());
  bar->layoutSubtreeIfNeeded();
  EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0.6);

  const double infinity = std::numeric_limits<double>::infinity();
  for (const auto& [written, kept] : std::vector<std::pair<double, double>>{
           {1.5, 1}, {-0.2, 0}, {std::nan(""), 0}, {-infinity, 0}, {infinity, 1}, {0.25, 0.25}}) {
    bar->setValue(written);
    EXPECT_EQ(bar->value(), kept) << "after writing " << written;
    EXPECT_EQ(bar->progressLayer()->strokeEnd(), kept) << "after writing " << written;
  }
  EXPECT_TRUE(bar->progressLayer()->animationKeys().empty());
}

TEST(GradientProgressView, MakingTheViewConfiguresItsLayersOnce) {
  platform::ScopedMainScreen screen(platform::Screen{2});
  auto bar = platform::View::create<GradientProgressView>(Rect(0, 0, 120, 8));
  const std::shared_ptr<platform::Layer> layer = bar->layer();
  ASSERT_TRUE(layer);
  EXPECT_TRUE(layer->masksToBounds());
  EXPECT_EQ(layer->cornerRadius(), 4);
  const std::vector<std::shared_ptr<platform::Layer>> stacking = {bar->bgLayer(), bar->gradientLayer()};
  EXPECT_EQ(*layer->sublayers(), stacking);

  EXPECT_FALSE(bar->bgLayer()->fillColor());
  EXPECT_EQ(bar->bgLayer()->strokeColor(), SystemColors::tertiaryLabelColor()->rgba());
  EXPECT_EQ(bar->bgLayer()->contentsScale(), 2);
  EXPECT_EQ(bar->progressLayer()->strokeColor(), (Rgba{0, 0, 0, 1}));
  EXPECT_FALSE(bar->progressLayer()->fillColor());
  EXPECT_EQ(bar->progressLayer()->lineCap(), platform::LineCap::round);
  EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0);
  EXPECT_EQ(bar->gradientLayer()->mask(), bar->progressLayer());
  EXPECT_EQ(bar->gradientLayer()->startPoint(), (Point{0, 0.5}));
  EXPECT_EQ(bar->gradientLayer()->endPoint(), (Point{1, 0.5}));
}

TEST(GradientProgressView, LayoutFitsTheLayersToTheBoundsAndHeight) {
  // Made flat, sized later: both lines still take the height the bar has at layout.
  auto bar = platform::View::create<GradientProgressView>();
  bar->setFrame(Rect(10, 20, 200, 12));
  bar->layoutSubtreeIfNeeded();
  EXPECT_EQ(bar->layer()->cornerRadius(), 6);
  EXPECT_EQ(bar->bgLayer()->frame(), Rect(0, 0, 200, 12));
  EXPECT_EQ(bar->bgLayer()->path()->tightBounds(), Rect(0, 0, 200, 12));
  EXPECT_EQ(bar->bgLayer()->lineWidth(), 12);
  EXPECT_EQ(bar->progressLayer()->lineWidth(), 12);
  EXPECT_EQ(bar->gradientLayer()->frame(), Rect(0, 0, 200, 12));
  const platform::Path& line = *bar->progressLayer()->path();
  ASSERT_EQ(line.elementCount(), 2u);
  EXPECT_EQ(line.element(0).points[0], (Point{6, 6}));
  EXPECT_EQ(line.element(1).points[0], (Point{194, 6}));
  EXPECT_EQ(bar->gradientLayer()->colors(),
            (std::vector<Rgba>{Colors::gradientStart()->rgba(), Colors::gradientEnd()->rgba()}));

  // New colours apply at once.
  bar->setColors({platform::Color::red(), platform::Color::green(), platform::Color::white()});
  EXPECT_EQ(bar->gradientLayer()->colors(), (std::vector<Rgba>{{1, 0, 0, 1}, {0, 1, 0, 1}, {1, 1, 1, 1}}));
  EXPECT_THROW(bar->setColors({nullptr}), std::invalid_argument);
  EXPECT_EQ(bar->colors().size(), 3u);
}

TEST(GradientProgressView, AnAppearanceChangeResolvesTrackAndGradientAgain) {
  auto bar = platform::View::create<GradientProgressView>(Rect(0, 0, 120, 8));
  const platform::ColorRef accent = SystemColors::systemBlue();
  bar->setColors({accent, Colors::gradientEnd()});
  const Appearance light(std::string(Appearance::aqua));
  const Appearance dark(std::string(Appearance::darkAqua));
  EXPECT_EQ(bar->bgLayer()->strokeColor(), SystemColors::tertiaryLabelColor()->rgba(light));
  EXPECT_EQ(bar->gradientLayer()->colors().front(), accent->rgba(light));

  bar->setAppearance(dark);
  EXPECT_EQ(bar->bgLayer()->strokeColor(), SystemColors::tertiaryLabelColor()->rgba(dark));
  EXPECT_EQ(bar->gradientLayer()->colors().front(), accent->rgba(dark));
  EXPECT_NE(accent->rgba(dark), accent->rgba(light));
}

TEST(GradientProgressView, PaintsTheValuedPartInTheGradient) {
  auto bar = platform::View::create<GradientProgressView>(Rect(0, 0, 100, 10));
  bar->setColors({platform::Color::red(), platform::Color::red()});
  bar->setValue(0.5);
  const std::shared_ptr<platform::Image> image = platform::ViewRenderer::image(*bar);
  using platform::test::pixelAt;
  platform::test::expectRgba(pixelAt(*image, 30, 5), platform::test::opaqueRed);
  // Right of the line's end at 5 + 0.5 x 90 = 50 and its round cap's 5 points, only the track shows.
  platform::test::expectRgba(pixelAt(*image, 62, 5),
                             test::premultiplied(SystemColors::tertiaryLabelColor()->rgba()));
}

TEST(GradientProgressView, LoadsFromAnArchive) {
  platform::ViewArchive archive;
  archive.className = "GradientProgressView";
  archive.frame = Rect(0, 0, 90, 6);
  auto bar = std::dynamic_pointer_cast<GradientProgressView>(platform::ViewLoader::load(archive));
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->layer()->cornerRadius(), 3);
  EXPECT_EQ(bar->bgLayer()->lineWidth(), 6);
  EXPECT_EQ(bar->gradientLayer()->mask(), bar->progressLayer());
}

}  // namespace
}  // namespace Tavrix
