#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/Rgba.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Controls/AnimatedGradientProgressView.hpp"
#include "Tavrix/Controls/GradientProgressView.hpp"
#include "Tavrix/Controls/Gradients.hpp"
#include "Tavrix/Controls/SimpleTileView.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "tests/Tavrix/GalleryPicture.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

// Renders gradient bars and a selected tile to the gallery for a person to look at, and checks a few
// pixels of each. (Graphs with curved lines are pictured under each axis.)
namespace Tavrix {
namespace {

using platform::Rect;
using platform::Rgba;
using platform::test::expectRgba;
using platform::test::pixelAt;

using gallery::picture;
using gallery::premultiplied;

// The colour of an evenly spaced, left-to-right gradient at a fraction of its width.
Rgba gradientAt(const std::vector<Rgba>& stops, double fraction) {
  const double position = fraction * static_cast<double>(stops.size() - 1);
  const auto index = std::min(static_cast<std::size_t>(position), stops.size() - 2);
  const double t = position - static_cast<double>(index);
  const Rgba& from = stops[index];
  const Rgba& to = stops[index + 1];
  return {from.red + (to.red - from.red) * t, from.green + (to.green - from.green) * t,
          from.blue + (to.blue - from.blue) * t, 1};
}

TEST(Gallery, ProgressBarsAtAQuarterAndFourFifthsInTwoThemes) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  for (const auto& [name, gradient] :
       {std::pair{"trafficLight", &Gradients::trafficLight()}, std::pair{"neon", &Gradients::neon()}}) {
    std::vector<Rgba> stops;
    for (const platform::ColorRef& color : gradient->mColors()) {
      stops.push_back(color->rgba());
    }
    // Two animated bars above two plain ones, 200 x 10 points each, 10 points apart.
    auto board = platform::View::create(Rect(0, 0, 220, 90));
    const std::vector<double> values = {0.25, 0.8, 0.25, 0.8};
    const auto add = [&](auto bar, std::size_t index) {
      board->addSubview(bar);
      bar->setColors(gradient->mColors());
      bar->setValue(values[index]);
    };
    for (std::size_t index = 0; index < values.size(); ++index) {
      const Rect frame(10, 70 - 20.0 * static_cast<double>(index), 200, 10);
      if (index < 2) {
        add(platform::View::create<AnimatedGradientProgressView>(frame), index);
      } else {
        add(platform::View::create<GradientProgressView>(frame), index);
      }
    }
    const std::shared_ptr<platform::Image> image = picture(*board, std::string("progress-") + name);
    const Rgba track = premultiplied(SystemColors::tertiaryLabelColor()->rgba());
    for (std::size_t index = 0; index < values.size(); ++index) {
      SCOPED_TRACE(std::string(name) + " bar " + std::to_string(index));
      const double middle = 75 - 20.0 * static_cast<double>(index);
      // The line runs from x = 5 to 195 of the bar and ends in a round cap of radius 5, so the fill reaches
      // 10 + 190 x value points into the bar; the gradient spans the bar's whole width.
      const double filled = 10 + 190 * values[index];
      const double inside = filled - 4;
      expectRgba(pixelAt(*image, 10 + inside, middle), gradientAt(stops, (inside + 0.25) / 200), 4.0 / 255);
      expectRgba(pixelAt(*image, 10 + filled + 3, middle), track);
      expectRgba(pixelAt(*image, 10 + 6, middle), gradientAt(stops, 6.25 / 200), 4.0 / 255);
    }
  }
}

TEST(Gallery, SelectedTile) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  auto tile = platform::View::create<SimpleTileView>(Rect(0, 0, 160, 100));
  tile->setEnableSelection(true);
  tile->setIsSelected(true);
  const std::shared_ptr<platform::Image> image = picture(*tile, "tile-selected");
  // A 3-point system blue border inside the rounded bounds.
  expectRgba(pixelAt(*image, 1, 50), premultiplied(SystemColors::systemBlue()->rgba()));
  expectRgba(pixelAt(*image, 80, 98.5), premultiplied(SystemColors::systemBlue()->rgba()));
  // Inside, white at 0.35 over the resting shadow, which the bounds clip but the translucent background
  // lets through: a third white at 0.15 of the background's alpha.
  const double shadow = 0.15 * 0.35;
  const double grey = 0.35 + shadow / 3 * (1 - 0.35);
  expectRgba(pixelAt(*image, 80, 50), Rgba{grey, grey, grey, 0.35 + shadow * (1 - 0.35)});
  // The corners are cut round (radius 8).
  expectRgba(pixelAt(*image, 0.25, 0.25), platform::test::transparent);
  expectRgba(pixelAt(*image, 159.75, 99.75), platform::test::transparent);
}

}  // namespace
}  // namespace Tavrix
