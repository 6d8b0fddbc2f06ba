#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <stdexcept>
#include <string>
#include <tuple>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "Platform/Graphics/MediaClock.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/ViewLoader.hpp"
#include "Tavrix/Controls/AnimatedGradientProgressView.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/DoubleGauge.hpp"
#include "Tavrix/Controls/Gauge.hpp"
#include "Tavrix/Controls/GaugeView.hpp"
#include "Tavrix/Controls/GradientCircularGauge.hpp"
#include "Tavrix/Controls/GradientProgressView.hpp"
#include "Tavrix/Controls/Gradients.hpp"
#include "Tavrix/Controls/HorizontalProgressView.hpp"
#include "Tavrix/Controls/LoadingView.hpp"
#include "Tavrix/Controls/ProgressView.hpp"
#include "Tavrix/Controls/StackedSegmentView.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Controls/UIProgressView.hpp"
#include "Tavrix/Controls/UIProgressView_Preview.hpp"
#include "Tavrix/Controls/VerticalProgressView.hpp"
#include "tests/Tavrix/GalleryPicture.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

// The solid, stacked and gradient bars, the line bar, the gauges and the spinner: values, arcs, colours and
// layers; then all of them in gallery/ for a person to look at, with pixels worked out by hand. The gradient
// bars' layer order, masking, round caps and gradient direction show in their gallery's pixel checks.
namespace Tavrix {
namespace {

using platform::AnimatableValue;
using platform::Appearance;
using platform::BasicAnimation;
using platform::MediaClock;
using platform::Point;
using platform::Rect;
using platform::Rgba;
using platform::View;
using platform::test::expectPixels;

const platform::ColorRef red = platform::Color::rgb(1, 0, 0);
const platform::ColorRef blue = platform::Color::rgb(0, 0, 1);
const Appearance appearances[] = {Appearance(std::string(Appearance::aqua)),
                                  Appearance(std::string(Appearance::darkAqua))};
constexpr double infinity = std::numeric_limits<double>::infinity();

// The start and end of a straight line path.
std::vector<Point> ends(const platform::Path& path) {
  EXPECT_EQ(path.elementCount(), 2u);
  return {path.element(0).points[0], path.element(1).points[0]};
}

// A view after its first layout pass, as a window gives it.
template <class T>
std::shared_ptr<T> laidOut(std::shared_ptr<T> view) {
  view->setNeedsLayout(true);
  view->layoutSubtreeIfNeeded();
  return view;
}

// A view loaded from an archive and laid out once, as a window shows it.
template <class T>
std::shared_ptr<T> loaded(const std::string& className, const Rect& frame) {
  return laidOut(std::dynamic_pointer_cast<T>(platform::ViewLoader::load({className, frame, {}, {}})));
}

// A point at an angle (degrees, counterclockwise from 3 o'clock) on a circle.
Point onCircle(double radius, double degrees, Point center = {50, 50}) {
  const double radians = degrees * std::numbers::pi / 180;
  return {center.x + radius * std::cos(radians), center.y + radius * std::sin(radians)};
}

// The bars hand the value to the stroke unclamped and take NaN as 0; their looks are the gallery's pixels.
TEST(SolidProgressBars, HandTheValueUnclampedToTheStroke) {
  const Rect frame(0, 0, 120, 10);
  const std::shared_ptr<SolidProgressBar> bars[] = {View::create<ProgressView>(frame),
                                                    View::create<HorizontalProgressView>(frame),
                                                    View::create<VerticalProgressView>(frame)};
  for (const auto& bar : bars) {
    bar->setValue(1.5);
    EXPECT_EQ(bar->progressLayer()->strokeEnd(), 1.5);
    bar->setValue(std::nan(""));
    EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0);
  }
}

TEST(StackedSegmentView, LaysTheSharesLeftToRightOverOneBackgroundAtEveryLayout) {
  auto view = View::create<StackedSegmentView>(Rect(0, 0, 200, 12));
  view->setSegments({{0.25, red}, {0.5, blue}});
  for (int pass = 0; pass < 5; ++pass) laidOut(view);
  ASSERT_EQ(view->layers().size(), 3u);
  EXPECT_EQ(*view->layer()->sublayers(), view->layers());
  // Where each share lies and its colour: the gallery's pixels of this very bar.
  EXPECT_EQ(view->layer()->cornerRadius(), 8);

  // A share that is not a number takes no room; with no shares only the background is left.
  view->setSegments({{std::nan(""), red}, {0.5, blue}});
  EXPECT_EQ(std::dynamic_pointer_cast<platform::ShapeLayer>(view->layers()[2])->path()->tightBounds(),
            Rect(0, 0, 100, 12));
  view->setSegments({});
  EXPECT_EQ(view->layer()->sublayers()->size(), 1u);
  EXPECT_THROW(view->setSegments({{0.5, nullptr}}), std::invalid_argument);
}

TEST(UIProgressView, TurnsGreenAbove0Point2AndDrawsAStubOutside0To1) {
  const Rgba redValue = SystemColors::systemRed()->rgba(appearances[0]);
  const Rgba greenValue = SystemColors::systemGreen()->rgba(appearances[0]);
  for (const auto& [progress, color, endX] :
       std::vector<std::tuple<double, Rgba, double>>{{0.2, redValue, 19.2},
                                                     {0.21, greenValue, 20.16},
                                                     {0, redValue, 0},
                                                     {1.5, greenValue, 0},
                                                     {-1, redValue, 0}}) {
    SCOPED_TRACE(progress);
    const auto [track, line] = UIProgressView{4, progress}.body({100, 10});
    EXPECT_EQ(ends(track.path), (std::vector<Point>{{4, 5}, {96, 5}}));
    EXPECT_EQ(track.color, (Rgba{color.red, color.green, color.blue, 0.1}));
    EXPECT_EQ(line.color, color);
    const std::vector<Point> lineEnds = ends(line.path);
    EXPECT_EQ(lineEnds[0], (Point{4, 5}));
    EXPECT_NEAR(lineEnds[1].x, endX, 1e-9);
    EXPECT_EQ(std::pair(line.style.lineWidth, line.style.lineCap), std::pair(4.0, platform::LineCap::round));
  }
}

TEST(Gauge, ClampsEachNewValueAndSkipsEqualWrites) {
  auto gauge = loaded<Gauge>("Gauge", Rect(0, 0, 100, 100));
  for (const auto& [written, kept] : std::vector<std::pair<double, double>>{
           {1.4, 1}, {-0.5, 0}, {0.3, 0.3}, {std::nan(""), 0}, {infinity, 1}}) {
    gauge->setValue(written);
    EXPECT_EQ(gauge->value(), kept) << "after writing " << written;
  }
  const std::shared_ptr<platform::ShapeLayer> arc = gauge->progressLayer();
  gauge->setValue(1);
  EXPECT_EQ(gauge->progressLayer(), arc);
  gauge->setValue(0.5);
  EXPECT_NE(gauge->progressLayer(), arc);
  EXPECT_EQ(arc->superlayer(), nullptr);
  EXPECT_EQ(*gauge->layer()->sublayers(),
            (platform::Layer::LayerList{gauge->backgroundLayer(), gauge->progressLayer()}));
}

// At 5/6 the second arc, 0 to 360 degrees clockwise, sweeps nothing: the path ends at 3 o'clock. Where the
// arc runs at other values is the gallery's pixels.
TEST(Gauge, AtFiveSixthsTheSecondArcSweepsNothing) {
  auto gauge = loaded<Gauge>("Gauge", Rect(0, 0, 100, 100));
  gauge->setValue(5.0 / 6);
  const platform::Path fiveSixths = *gauge->progressLayer()->path();
  const platform::PathElement& last = fiveSixths.element(fiveSixths.elementCount() - 1);
  const Point end = last.points[last.kind == platform::PathElementKind::curveTo ? 2 : 0];
  EXPECT_NEAR(end.x, onCircle(38, 0).x, 1e-6);
  EXPECT_NEAR(end.y, onCircle(38, 0).y, 1e-6);
  EXPECT_NEAR(fiveSixths.tightBounds().minY(), onCircle(38, 225).y, 0.01);
  EXPECT_NEAR(fiveSixths.length(), 38 * std::numbers::pi * 225 / 180, 0.05);
}

TEST(Gauge, WithoutAColourShowsNoTrackAndAGradientStartArcAndNothingWhenTooNarrow) {
  auto gauge = loaded<Gauge>("Gauge", Rect(0, 0, 100, 100));
  EXPECT_EQ(gauge->backgroundLayer()->strokeColor(), std::nullopt);
  EXPECT_EQ(gauge->progressLayer()->strokeColor(), Colors::gradientStart()->rgba());
  EXPECT_EQ(gauge->progressLayer()->lineCap(), platform::LineCap::round);
  gauge->setColor(platform::Color::rgb(1, 0, 0));
  EXPECT_EQ(gauge->backgroundLayer()->strokeColor(), (Rgba{1, 0, 0, 0.1}));
  EXPECT_EQ(gauge->progressLayer()->strokeColor(), (Rgba{1, 0, 0, 1}));
  // 20 points wide: the radius would be 10 - 10 - 2.
  gauge->setFrameSize({20, 20});
  gauge->setValue(0.7);
  EXPECT_TRUE(gauge->backgroundLayer()->path()->isEmpty());
  EXPECT_TRUE(gauge->progressLayer()->path()->isEmpty());

  // Made in code it never becomes layer-backed.
  auto inCode = View::create<Gauge>(Rect(0, 0, 100, 100));
  inCode->setValue(0.5);
  EXPECT_EQ(inCode->layer(), nullptr);
}

TEST(GradientCircularGauge, EasesTheRingEndAndRemovesTheAnimationOnlyForZero) {
  MediaClock::set(20);
  auto gauge = loaded<GradientCircularGauge>("GradientCircularGauge", Rect(0, 0, 100, 100));
  EXPECT_EQ(*gauge->layer()->sublayers(),
            (platform::Layer::LayerList{gauge->backgroundLayer(), gauge->gradientLayer()}));
  gauge->setValue(0.3);
  MediaClock::set(30);
  gauge->setValue(0.6);
  const auto shown = [&](double time) {
    return std::get<double>(*gauge->maskingLayer()->presentationValue("strokeEnd", time));
  };
  const BasicAnimation animation = *gauge->maskingLayer()->animation("strokeEnd");
  EXPECT_EQ(animation.duration, 0.5);
  EXPECT_EQ(animation.timingFunction.controlPoints(), (std::array<double, 4>{0.42, 0, 0.58, 1}));
  EXPECT_DOUBLE_EQ(shown(30), 0.3);
  EXPECT_NEAR(shown(30.25), 0.45, 1e-9);
  EXPECT_DOUBLE_EQ(shown(30.5), 0.6);
  EXPECT_DOUBLE_EQ(shown(infinity), 0.6);

  // Layout keeps the animation and the empty model.
  gauge->setLineWidth(8);
  EXPECT_EQ(gauge->maskingLayer()->strokeEnd(), 0);
  EXPECT_DOUBLE_EQ(shown(infinity), 0.6);

  MediaClock::set(40);
  gauge->setValue(0);
  EXPECT_NEAR(shown(40.25), 0.3, 1e-9);
  MediaClock::set(41);
  EXPECT_TRUE(gauge->maskingLayer()->animationKeys().empty());
  EXPECT_DOUBLE_EQ(shown(41), 0);
}

TEST(LoadingView, StaysVisibleAndTurningThroughLayoutUntilStopped) {
  MediaClock::set(5);
  auto spinner = View::create<LoadingView>(Rect(0, 0, 40, 40));
  EXPECT_TRUE(spinner->isHidden());
  spinner->start();
  spinner->start();
  laidOut(spinner);
  EXPECT_FALSE(spinner->isHidden());
  // The turn itself shows in the gallery's two pictures of the spinner.
  EXPECT_EQ(spinner->progressLayer()->animationKeys(), std::vector<std::string>{"rotation"});
  EXPECT_EQ(spinner->progressLayer()->strokeEnd(), 0.2);

  spinner->stop();
  EXPECT_EQ(
      std::tuple(spinner->isHidden(), spinner->isActive(), spinner->progressLayer()->animationKeys().empty()),
      std::tuple(true, false, true));
  spinner->start();
  EXPECT_EQ(spinner->progressLayer()->animationKeys(), std::vector<std::string>{"rotation"});
}

double strokeEndAt(const AnimatedGradientProgressView& bar, double time) {
  return std::get<double>(*bar.progressLayer()->presentationValue("strokeEnd", time));
}

TEST(AnimatedGradientProgressView, EasesFromTheFormerValueAndHoldsTheClampedNewOne) {
  MediaClock::set(100);
  auto bar = laidOut(View::create<AnimatedGradientProgressView>(Rect(0, 0, 200, 10)));
  bar->setValue(0.8);
  MediaClock::set(101);
  bar->setValue(0.3);

  const std::optional<BasicAnimation> animation = bar->progressLayer()->animation("strokeEnd");
  ASSERT_TRUE(animation);
  EXPECT_EQ(animation->duration, 0.66);
  EXPECT_EQ(animation->timingFunction.controlPoints(), (std::array<double, 4>{0.42, 0, 0.58, 1}));
  // The model stays at 0; the line shows 0.8, eases to 0.55 at half time (the curve is symmetric) and then
  // holds 0.3.
  EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0);
  EXPECT_DOUBLE_EQ(strokeEndAt(*bar, 101), 0.8);
  EXPECT_NEAR(strokeEndAt(*bar, 101.33), 0.55, 1e-9);
  EXPECT_DOUBLE_EQ(strokeEndAt(*bar, 500), 0.3);

  // A new duration waits for the next change.
  bar->setDuration(2);
  EXPECT_EQ(bar->progressLayer()->animation("strokeEnd")->duration, 0.66);
  bar->setValue(0.3);
  EXPECT_EQ(bar->progressLayer()->animation("strokeEnd")->duration, 2);

  for (const auto& [written, kept] : std::vector<std::pair<double, double>>{
           {0.42, 0.42}, {1.5, 1}, {-0.2, 0}, {std::nan(""), 0}, {infinity, 1}, {-infinity, 0}}) {
    bar->setValue(written);
    EXPECT_EQ(bar->value(), kept) << "after writing " << written;
    EXPECT_EQ(strokeEndAt(*bar, infinity), kept) << "after writing " << written;
  }
}

TEST(AnimatedGradientProgressView, EveryLayoutRebuildsTheBarAndReplaysTheLastChange) {
  MediaClock::set(10);
  auto bar = laidOut(View::create<AnimatedGradientProgressView>(Rect(0, 0, 200, 10)));
  bar->setValue(0.8);
  bar->setValue(0.3);
  MediaClock::set(20);
  bar->setFrameSize({300, 20});
  bar->layoutSubtreeIfNeeded();

  EXPECT_EQ(bar->progressLayer()->animation("strokeEnd")->fromValue, AnimatableValue(0.8));
  EXPECT_DOUBLE_EQ(strokeEndAt(*bar, 20), 0.8);
  EXPECT_DOUBLE_EQ(strokeEndAt(*bar, 21), 0.3);
  // A capsule: the round-capped line runs from H / 2 to W - H / 2, as thick as the bar.
  EXPECT_EQ(std::pair(bar->layer()->cornerRadius(), bar->progressLayer()->lineWidth()),
            std::pair(10.0, 20.0));
  EXPECT_EQ(ends(*bar->progressLayer()->path()), (std::vector<Point>{{10, 10}, {290, 10}}));
  EXPECT_EQ(bar->gradientLayer()->frame(), Rect(0, 0, 300, 20));
  EXPECT_EQ(bar->bgLayer()->path()->tightBounds(), Rect(0, 0, 300, 20));

  // Square corners: butt caps over the whole width.
  bar->setHasCorners(false);
  EXPECT_EQ(bar->layer()->cornerRadius(), 0);
  EXPECT_EQ(ends(*bar->progressLayer()->path()), (std::vector<Point>{{0, 10}, {300, 10}}));
  EXPECT_EQ(bar->progressLayer()->lineCap(), platform::LineCap::butt);
}

TEST(AnimatedGradientProgressView, IndeterminateStripesDriftBetweenTrackAndGradient) {
  MediaClock::set(50);
  auto bar = laidOut(View::create<AnimatedGradientProgressView>(Rect(0, 0, 280, 10)));
  bar->setIsIndeterminate(true);
  EXPECT_EQ(*bar->layer()->sublayers(),
            (platform::Layer::LayerList{bar->bgLayer(), bar->blockLayer(), bar->gradientLayer()}));
  // 4 x 10 parallelograms of five elements; stripe i runs from x = 20 i - 2 at the top to 20 i + 18 at the
  // bottom.
  const platform::Path& path = *bar->blockLayer()->path();
  ASSERT_EQ(path.elementCount(), 200u);
  const std::vector<std::pair<std::size_t, Point>> corners{
      {0, {-2, 10}}, {1, {8, 10}}, {2, {18, 0}}, {3, {8, 0}}, {197, {798, 0}}};
  for (const auto& [index, corner] : corners) EXPECT_EQ(path.element(index).points[0], corner) << index;
  EXPECT_EQ(path.element(4).kind, platform::PathElementKind::closePath);
  EXPECT_EQ(bar->blockLayer()->fillColor(), SystemColors::separatorColor()->rgba());

  const std::optional<BasicAnimation> movement = bar->blockLayer()->animation("movement");
  ASSERT_TRUE(movement);
  EXPECT_EQ(movement->fillMode, platform::FillMode::both);
  EXPECT_EQ(movement->repeatCount, BasicAnimation::forever);
  // Linear, 270 points left every 10 seconds, then again from the start.
  EXPECT_EQ(std::get<Point>(*bar->blockLayer()->presentationValue("position", 55)), (Point{-135, 0}));
  EXPECT_EQ(std::get<Point>(*bar->blockLayer()->presentationValue("position", 62.5)), (Point{-67.5, 0}));

  // Zero and negative values keep the stripes; a positive one ends the mode for good.
  bar->setValue(0);
  bar->setValue(-1);
  EXPECT_TRUE(bar->isIndeterminate());
  bar->setValue(0.01);
  EXPECT_FALSE(bar->isIndeterminate());
  EXPECT_FALSE(bar->blockLayer()->superlayer());
  EXPECT_TRUE(bar->blockLayer()->animationKeys().empty());
  EXPECT_EQ(bar->progressLayer()->animation("strokeEnd")->toValue, AnimatableValue(0.01));
  bar->layout();
  EXPECT_EQ(bar->layer()->sublayers()->size(), 2u);
}

TEST(AnimatedGradientProgressView, NarrowBarsDriftNoStripesAndResetKeepsTheDrift) {
  auto bar = laidOut(View::create<AnimatedGradientProgressView>(Rect(0, 0, 27, 6)));
  bar->setIsIndeterminate(true);
  EXPECT_TRUE(bar->blockLayer()->path()->isEmpty());
  EXPECT_TRUE(bar->blockLayer()->animation("movement"));
  bar->setFrameSize({56, 6});
  bar->layoutSubtreeIfNeeded();
  EXPECT_EQ(bar->blockLayer()->path()->elementCount(), 8u * 5);

  bar->reset();
  EXPECT_EQ(std::tuple(bar->value(), bar->progressLayer()->animationKeys().empty(),
                       bar->progressLayer()->strokeEnd(), bar->isIndeterminate()),
            std::tuple(0, true, 0, true));
  EXPECT_TRUE(bar->blockLayer()->animation("movement"));

  // A width that is not finite has no stripes at all.
  bar->setFrameSize({infinity, 6});
  bar->layoutSubtreeIfNeeded();
  EXPECT_FALSE(bar->blockLayer()->superlayer());
  EXPECT_TRUE(bar->isIndeterminate());
}

TEST(AnimatedGradientProgressView, LoadsFromAnArchiveAndRefusesBadSettings) {
  platform::ViewArchive archive{"AnimatedGradientProgressView", Rect(0, 0, 140, 8), {}, {}};
  archive.settings = {{"duration", std::int64_t{2}},
                      {"isIndeterminate", true},
                      {"backgroundColor", platform::Color::green()}};
  auto bar = std::dynamic_pointer_cast<AnimatedGradientProgressView>(platform::ViewLoader::load(archive));
  ASSERT_TRUE(bar);
  EXPECT_EQ(bar->duration(), 2);
  EXPECT_TRUE(bar->blockLayer()->animation("movement"));
  EXPECT_EQ(bar->bgLayer()->fillColor(), (Rgba{0, 1, 0, 1}));

  EXPECT_THROW(bar->setDuration(-1), std::invalid_argument);
  EXPECT_THROW(bar->setDuration(std::nan("")), std::invalid_argument);
  EXPECT_THROW(bar->setColors({platform::Color::red(), nullptr}), std::invalid_argument);
  EXPECT_THROW(bar->setBackgroundColor(nullptr), std::invalid_argument);
  EXPECT_EQ(bar->duration(), 2);
}

TEST(GradientProgressView, ShowsEachClampedValueAtOnceEvenBeforeTheFirstLayout) {
  auto bar = View::create<GradientProgressView>(Rect(0, 0, 120, 8));
  bar->setValue(0.6);
  EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0.6);
  laidOut(bar);
  EXPECT_EQ(bar->progressLayer()->strokeEnd(), 0.6);
  EXPECT_TRUE(bar->progressLayer()->animationKeys().empty());
  EXPECT_THROW(bar->setColors({nullptr}), std::invalid_argument);
}

// Made flat and sized later: both lines still take the height the bar has at layout.
TEST(GradientProgressView, LayoutFitsTheLayersToTheBoundsAndHeight) {
  auto bar = View::create<GradientProgressView>();
  bar->setFrame(Rect(10, 20, 200, 12));
  bar->layoutSubtreeIfNeeded();
  EXPECT_EQ(std::tuple(bar->layer()->cornerRadius(), bar->bgLayer()->lineWidth(),
                       bar->progressLayer()->lineWidth()),
            std::tuple(6, 12, 12));
  EXPECT_EQ(bar->bgLayer()->path()->tightBounds(), Rect(0, 0, 200, 12));
  EXPECT_EQ(bar->gradientLayer()->frame(), Rect(0, 0, 200, 12));
  EXPECT_EQ(ends(*bar->progressLayer()->path()), (std::vector<Point>{{6, 6}, {194, 6}}));
}

TEST(GradientProgressView, AnAppearanceChangeResolvesTrackAndGradientAgain) {
  auto bar = View::create<GradientProgressView>(Rect(0, 0, 120, 8));
  const platform::ColorRef accent = SystemColors::systemBlue();
  bar->setColors({accent});
  const auto& [aqua, darkAqua] = appearances;
  ASSERT_NE(accent->rgba(darkAqua), accent->rgba(aqua));
  EXPECT_EQ(bar->bgLayer()->strokeColor(), SystemColors::tertiaryLabelColor()->rgba(aqua));
  EXPECT_EQ(bar->gradientLayer()->colors(), std::vector<Rgba>{accent->rgba(aqua)});

  bar->setAppearance(darkAqua);
  EXPECT_EQ(bar->bgLayer()->strokeColor(), SystemColors::tertiaryLabelColor()->rgba(darkAqua));
  EXPECT_EQ(bar->gradientLayer()->colors(), std::vector<Rgba>{accent->rgba(darkAqua)});
}

template <class T>
std::shared_ptr<T> add(View& board, std::shared_ptr<T> view) {
  board.addSubview(view);
  return view;
}

std::string suffix(const Appearance& appearance) { return appearance.isDark() ? "-dark" : "-light"; }

TEST(BarsAndGaugesGallery, EveryBarAndGaugeTheSpinnerAtTwoTimesAndTheLineBarPreview) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  MediaClock::set(50);
  for (const Appearance& appearance : appearances) {
    SCOPED_TRACE(appearance.name());
    const auto resolved = [&](const platform::ColorRef& c) {
      return gallery::premultiplied(c->rgba(appearance));
    };
    auto board = View::create(Rect(0, 0, 450, 240));
    board->setAppearance(appearance);
    add(*board, View::create<ProgressView>(Rect(10, 210, 200, 10)))->setValue(0.3);
    add(*board, View::create<HorizontalProgressView>(Rect(10, 185, 200, 10)))->setValue(0.5);
    add(*board, View::create<VerticalProgressView>(Rect(230, 150, 16, 70)))->setValue(0.7);
    add(*board, View::create<StackedSegmentView>(Rect(10, 150, 200, 20)))
        ->setSegments({{0.25, red}, {0.5, blue}});
    auto gauge = add(*board, loaded<Gauge>("Gauge", Rect(10, 10, 100, 100)));
    gauge->setColor(SystemColors::systemGreen());
    gauge->setValue(0.6);
    auto doubleGauge = add(*board, loaded<DoubleGauge>("DoubleGauge", Rect(120, 10, 100, 100)));
    doubleGauge->setColorInner(SystemColors::systemBlue());
    doubleGauge->setColorOuter(SystemColors::systemOrange());
    doubleGauge->setValue1(0.7);
    doubleGauge->setValue2(0.35);
    add(*board, View::create<GaugeView>(Rect(230, 10, 100, 100)))->setValue(0.25);
    add(*board, loaded<GradientCircularGauge>("GradientCircularGauge", Rect(340, 10, 100, 100)))
        ->setValue(0.7);
    for (const auto& view : board->subviews()) view->setNeedsLayout(true);
    // The plain bar at 0.3: the fill over the left 60 points, its faded accent beyond, the corners cut round
    // (radius 5). The vertical bar at 0.7: the fill from the bottom up to 49, the track above.
    // The horizontal bar at 0.5: the fill over the left half, the track over the right.
    // The stacked bar: red over x 0...50, blue over 50...150, the background over 150...200.
    // The gauge (radius 100 / 2 - 5 - 2 = 38) from 225 degrees clockwise over 0.6 of 270, to 63 degrees; the
    // double gauge's rings (38 and 28) to 36 and 130.5 degrees; each probed through 9 o'clock or 140 degrees,
    // then well inside and well past its round end (a cap of 2.5 points); the quarter ring (radius 100 / 2 -
    // 8 / 2 - 1 = 45) accent at 1 o'clock, only the track at 7.
    const Point gaugeCentre{60, 60};
    const Point doubleCentre{170, 60};
    const Rgba accent = resolved(SystemColors::controlAccentColor());
    const Rgba quaternary = resolved(SystemColors::quaternaryLabelColor());
    const auto faded = [&](const platform::ColorRef& c) { return resolved(c->withAlphaComponent(0.1)); };
    const auto image = gallery::picture(*board, "bars-and-gauges" + suffix(appearance));
    const auto expectAt = [&](const Rgba& color, std::initializer_list<Point> points) {
      gallery::expectColorAt(*image, color, points);
    };
    expectAt(accent, {{10 + 30, 215}, {238, 160}, {10 + 50, 190}, onCircle(45, 60, {230 + 50, 10 + 50})});
    expectAt(quaternary, {{238, 215}, {10 + 150, 190}, onCircle(45, 210, {230 + 50, 10 + 50})});
    expectAt(resolved(SystemColors::controlAccentColor()->withAlphaComponent(0.2)), {{10 + 150, 215}});
    expectAt(platform::test::transparent, {{10.25, 210.25}, onCircle(38, 270, gaugeCentre)});
    expectAt(Rgba{1, 0, 0, 1}, {{10 + 25, 160}});
    expectAt(Rgba{0, 0, 1, 1}, {{10 + 100, 160}});
    expectAt(resolved(SystemColors::separatorColor()), {{10 + 175, 160}});
    expectAt(resolved(SystemColors::systemGreen()),
             {onCircle(38, 180, gaugeCentre), onCircle(38, 75, gaugeCentre)});
    expectAt(faded(SystemColors::systemGreen()), {onCircle(38, 50, gaugeCentre)});
    expectAt(resolved(SystemColors::systemBlue()), {onCircle(38, 50, doubleCentre)});
    expectAt(faded(SystemColors::systemBlue()), {onCircle(38, 20, doubleCentre)});
    expectAt(resolved(SystemColors::systemOrange()), {onCircle(28, 140, doubleCentre)});
    expectAt(faded(SystemColors::systemOrange()), {onCircle(28, 120, doubleCentre)});

    // The spinner: a fifth of the ring (radius 20 - 1.5) from 3 o'clock counterclockwise as a turn starts
    // (the settled picture), then a quarter of a turn (0.15 s) later turned clockwise by 90°.
    auto spinner = View::create<LoadingView>(Rect(0, 0, 40, 40));
    spinner->setAppearance(appearance);
    spinner->setNeedsLayout(true);
    spinner->start();
    const Rgba ring = faded(SystemColors::controlAccentColor());
    const Point at36 = onCircle(18.5, 36, {20, 20});
    const Point atMinus54 = onCircle(18.5, -54, {20, 20});
    expectPixels(*gallery::picture(*spinner, "spinner-0s" + suffix(appearance)),
                 {{at36.x, at36.y, accent}, {atMinus54.x, atMinus54.y, ring}});
    const auto later =
        platform::ViewRenderer::image(*spinner, gallery::scale, platform::RenderTime::at(50.15));
    gallery::save(*later, "spinner-0.15s" + suffix(appearance));
    expectPixels(*later, {{at36.x, at36.y, ring}, {atMinus54.x, atMinus54.y, accent}});

    // The line bar's preview at half progress is green: the line runs from x = 4 to (120 - 4) × 0.5 = 58 over
    // the faint track.
    platform::AppearanceScope current(appearance);
    auto preview = platform::Image::create({120, 20}, gallery::scale);
    {
      platform::ImageFocus focus(*preview);
      UIProgressView_Preview::previews().draw(focus.context(), {120, 20});
    }
    gallery::save(*preview, "line-bar-preview" + suffix(appearance));
    expectPixels(*preview, {{30, 10, resolved(SystemColors::systemGreen())},
                            {90, 10, resolved(SystemColors::systemGreen()->withAlphaComponent(0.1))},
                            {60, 16, platform::test::transparent}});
  }
}

// The colour of an evenly spaced, left-to-right gradient of opaque stops at a fraction of its width.
Rgba gradientAt(const std::vector<Rgba>& stops, double fraction) {
  const double position = fraction * static_cast<double>(stops.size() - 1);
  const auto index = std::min(static_cast<std::size_t>(position), stops.size() - 2);
  return gallery::mix(stops[index], stops[index + 1], position - static_cast<double>(index));
}

TEST(GradientProgressViewsGallery, AtAQuarterAndFourFifthsInTwoThemes) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  for (const auto& [name, gradient] :
       {std::pair{"trafficLight", &Gradients::trafficLight()}, std::pair{"neon", &Gradients::neon()}}) {
    std::vector<Rgba> stops;
    for (const platform::ColorRef& color : gradient->mColors()) stops.push_back(color->rgba());
    // Two animated bars above two plain ones, 200 x 10 points each, 10 points apart.
    auto board = View::create(Rect(0, 0, 220, 90));
    const std::vector<double> values = {0.25, 0.8, 0.25, 0.8};
    const auto addBar = [&](auto bar, std::size_t index) {
      board->addSubview(bar);
      bar->setColors(gradient->mColors());
      bar->setValue(values[index]);
    };
    addBar(View::create<AnimatedGradientProgressView>(Rect(10, 70, 200, 10)), 0);
    addBar(View::create<AnimatedGradientProgressView>(Rect(10, 50, 200, 10)), 1);
    addBar(View::create<GradientProgressView>(Rect(10, 30, 200, 10)), 2);
    addBar(View::create<GradientProgressView>(Rect(10, 10, 200, 10)), 3);
    const std::shared_ptr<platform::Image> image = gallery::picture(*board, std::string("progress-") + name);
    const Rgba track = gallery::premultiplied(SystemColors::tertiaryLabelColor()->rgba());
    for (std::size_t index = 0; index < values.size(); ++index) {
      SCOPED_TRACE(std::string(name) + " bar " + std::to_string(index));
      const double middle = 75 - 20.0 * static_cast<double>(index);
      // The line runs from x = 5 to 195 of the bar and ends in a round cap of radius 5, so the fill reaches
      // 10 + 190 x value points into the bar; the gradient spans the bar's whole width.
      const double filled = 10 + 190 * values[index];
      const double inside = filled - 4;
      platform::test::expectRgba(platform::test::pixelAt(*image, 10 + inside, middle),
                                 gradientAt(stops, (inside + 0.25) / 200), 4.0 / 255);
      platform::test::expectRgba(platform::test::pixelAt(*image, 10 + filled + 3, middle), track);
      platform::test::expectRgba(platform::test::pixelAt(*image, 10 + 6, middle),
                                 gradientAt(stops, 6.25 / 200), 4.0 / 255);
    }
  }
}

}  // namespace
}  // namespace Tavrix
