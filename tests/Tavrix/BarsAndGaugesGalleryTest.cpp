#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <memory>
#include <numbers>
#include <string>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "Platform/Graphics/MediaClock.hpp"
#include "Platform/Graphics/RenderTime.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/ViewLoader.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Controls/DoubleGauge.hpp"
#include "Tavrix/Controls/Gauge.hpp"
#include "Tavrix/Controls/GaugeView.hpp"
#include "Tavrix/Controls/GradientCircularGauge.hpp"
#include "Tavrix/Controls/HorizontalProgressView.hpp"
#include "Tavrix/Controls/LoadingView.hpp"
#include "Tavrix/Controls/ProgressView.hpp"
#include "Tavrix/Controls/StackedSegmentView.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Controls/UIProgressView_Preview.hpp"
#include "Tavrix/Controls/VerticalProgressView.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

// Renders the solid and stacked bars, the gauges, the spinner and the line bar's preview, light and dark, to
// PNG files under the build tree (gallery/ beside bin/) for a person to look at, and checks pixels worked
// out by hand.
namespace Tavrix {
namespace {

using platform::Appearance;
using platform::Rect;
using platform::Rgba;
using platform::test::expectPixels;

constexpr double scale = 2;

std::filesystem::path galleryFile(const std::string& name) {
  const std::filesystem::path directory =
      std::filesystem::read_symlink("/proc/self/exe").parent_path().parent_path() / "gallery";
  std::filesystem::create_directories(directory);
  return directory / (name + ".png");
}

// Renders the view at a time, writes it as gallery/<name>.png and returns the image.
std::shared_ptr<platform::Image> picture(platform::View& view, const std::string& name,
                                         platform::RenderTime time = platform::RenderTime::settled()) {
  std::shared_ptr<platform::Image> image = platform::ViewRenderer::image(view, scale, time);
  image->writePng(galleryFile(name).string());
  return image;
}

Rgba premultiplied(const Rgba& color) {
  return {color.red * color.alpha, color.green * color.alpha, color.blue * color.alpha, color.alpha};
}

// A point at an angle (degrees, counterclockwise from 3 o'clock) on a circle.
platform::Point onCircle(platform::Point center, double radius, double degrees) {
  const double radians = degrees * std::numbers::pi / 180;
  return {center.x + radius * std::cos(radians), center.y + radius * std::sin(radians)};
}

template <class T>
std::shared_ptr<T> add(platform::View& board, std::shared_ptr<T> view) {
  board.addSubview(view);
  return view;
}

template <class T>
std::shared_ptr<T> addLoaded(platform::View& board, const std::string& className, const Rect& frame) {
  return add(board, std::dynamic_pointer_cast<T>(platform::ViewLoader::load({className, frame, {}, {}})));
}

const Appearance appearances[] = {Appearance(std::string(Appearance::aqua)),
                                  Appearance(std::string(Appearance::darkAqua))};

std::string suffix(const Appearance& appearance) { return appearance.isDark() ? "-dark" : "-light"; }

TEST(BarsAndGaugesGallery, EveryBarAndGauge) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  for (const Appearance& appearance : appearances) {
    SCOPED_TRACE(appearance.name());
    auto board = platform::View::create(Rect(0, 0, 450, 240));
    board->setAppearance(appearance);
    const auto resolved = [&](const platform::ColorRef& color) { return premultiplied(color->rgba(appearance)); };

    add(*board, platform::View::create<ProgressView>(Rect(10, 210, 200, 10)))->setValue(0.3);
    add(*board, platform::View::create<HorizontalProgressView>(Rect(10, 185, 200, 10)))->setValue(0.5);
    add(*board, platform::View::create<VerticalProgressView>(Rect(230, 150, 16, 70)))->setValue(0.7);
    add(*board, platform::View::create<StackedSegmentView>(Rect(10, 150, 200, 20)))
        ->setSegments({{0.25, platform::Color::rgb(1, 0, 0)}, {0.5, platform::Color::rgb(0, 0, 1)}});
    auto gauge = addLoaded<Gauge>(*board, "Gauge", Rect(10, 10, 100, 100));
    gauge->setColor(SystemColors::systemGreen());
    gauge->setValue(0.6);
    auto doubleGauge = addLoaded<DoubleGauge>(*board, "DoubleGauge", Rect(120, 10, 100, 100));
    doubleGauge->setColorInner(SystemColors::systemBlue());
    doubleGauge->setColorOuter(SystemColors::systemOrange());
    doubleGauge->setValue1(0.7);
    doubleGauge->setValue2(0.35);
    add(*board, platform::View::create<GaugeView>(Rect(230, 10, 100, 100)))->setValue(0.25);
    addLoaded<GradientCircularGauge>(*board, "GradientCircularGauge", Rect(340, 10, 100, 100))->setValue(0.7);
    for (const auto& view : board->subviews()) {
      view->setNeedsLayout(true);
    }

    const auto image = picture(*board, "bars-and-gauges" + suffix(appearance));
    // The horizontal bar at 0.5: the fill over the left half, the track over the right.
    // The stacked bar: red over x 0...50, blue over 50...150, the background over 150...200.
    // The quarter ring (radius 100 / 2 - 8 / 2 - 1 = 45): accent at 1 o'clock, only the track at 7.
    const platform::Point ringCenter{230 + 50, 10 + 50};
    const platform::Point oneOClock = onCircle(ringCenter, 45, 60);
    const platform::Point sevenOClock = onCircle(ringCenter, 45, 210);
    expectPixels(*image, {{10 + 50, 190, resolved(SystemColors::controlAccentColor())},
                          {10 + 150, 190, resolved(SystemColors::quaternaryLabelColor())},
                          {10 + 25, 160, Rgba{1, 0, 0, 1}},
                          {10 + 100, 160, Rgba{0, 0, 1, 1}},
                          {10 + 175, 160, resolved(SystemColors::separatorColor())},
                          {oneOClock.x, oneOClock.y, resolved(SystemColors::controlAccentColor())},
                          {sevenOClock.x, sevenOClock.y, resolved(SystemColors::quaternaryLabelColor())}});
  }
}

// A fifth of the ring from 3 o'clock counterclockwise, then a quarter of a turn (0.15 s) later turned
// clockwise by 90°.
TEST(BarsAndGaugesGallery, SpinnerAtTwoTimes) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  platform::MediaClock::set(50);
  for (const Appearance& appearance : appearances) {
    SCOPED_TRACE(appearance.name());
    auto spinner = platform::View::create<LoadingView>(Rect(0, 0, 40, 40));
    spinner->setAppearance(appearance);
    spinner->setNeedsLayout(true);
    spinner->start();
    const Rgba arc = premultiplied(SystemColors::controlAccentColor()->rgba(appearance));
    const Rgba ring = premultiplied(SystemColors::controlAccentColor()->withAlphaComponent(0.1)->rgba(appearance));
    // The ring's radius is 20 - 1.5.
    const platform::Point center{20, 20};
    const platform::Point at36 = onCircle(center, 18.5, 36);
    const platform::Point atMinus54 = onCircle(center, 18.5, -54);
    const auto first = picture(*spinner, "spinner-0s" + suffix(appearance), platform::RenderTime::at(50));
    expectPixels(*first, {{at36.x, at36.y, arc}, {atMinus54.x, atMinus54.y, ring}});
    const auto later = picture(*spinner, "spinner-0.15s" + suffix(appearance), platform::RenderTime::at(50.15));
    expectPixels(*later, {{at36.x, at36.y, ring}, {atMinus54.x, atMinus54.y, arc}});
  }
}

TEST(BarsAndGaugesGallery, LineBarPreview) {
  for (const Appearance& appearance : appearances) {
    SCOPED_TRACE(appearance.name());
    platform::AppearanceScope current(appearance);
    const platform::Size size{120, 20};
    auto image = platform::Image::create(size, scale);
    {
      platform::ImageFocus focus(*image);
      UIProgressView_Preview::previews().draw(focus.context(), size);
    }
    image->writePng(galleryFile("line-bar-preview" + suffix(appearance)).string());
    // Half progress is green: the line runs from x = 4 to (120 - 4) × 0.5 = 58 over the faint track.
    expectPixels(*image, {{30, 10, premultiplied(SystemColors::systemGreen()->rgba())},
                          {90, 10, premultiplied(SystemColors::systemGreen()->withAlphaComponent(0.1)->rgba())},
                          {60, 16, platform::test::transparent}});
  }
}

}  // namespace
}  // namespace Tavrix
