#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <memory>
#include <numbers>
#include <string>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/MediaClock.hpp"
#include "Platform/UI/ViewLoader.hpp"
#include "Tavrix/Controls/Colors.hpp"
#include "Tavrix/Controls/DoubleGauge.hpp"
#include "Tavrix/Controls/Gauge.hpp"
#include "Tavrix/Controls/GaugeView.hpp"
#include "Tavrix/Controls/GradientCircularGauge.hpp"
#include "Tavrix/Controls/LoadingView.hpp"
#include "Tavrix/Controls/SystemColors.hpp"

// The rings' colours and stacking in pixels are checked by the bars-and-gauges gallery.
namespace Tavrix {
namespace {

using platform::MediaClock;
using platform::Point;
using platform::Rect;
using platform::Rgba;

constexpr double infinity = std::numeric_limits<double>::infinity();

// A view loaded from an archive and laid out once, as a window shows it.
template <class T>
std::shared_ptr<T> loaded(const std::string& className, const Rect& frame) {
  auto view = std::dynamic_pointer_cast<T>(platform::ViewLoader::load({className, frame, {}, {}}));
  view->setNeedsLayout(true);
  view->layoutSubtreeIfNeeded();
  return view;
}

Point onCircle(double radius, double degrees) {
  const double radians = degrees * std::numbers::pi / 180;
  return {50 + radius * std::cos(radians), 50 + radius * std::sin(radians)};
}

Point lastPoint(const platform::Path& path) {
  const platform::PathElement& last = path.element(path.elementCount() - 1);
  return last.points[last.kind == platform::PathElementKind::curveTo ? 2 : 0];
}

void expectNear(Point actual, Point expected, double tolerance = 1e-6) {
  EXPECT_NEAR(actual.x, expected.x, tolerance);
  EXPECT_NEAR(actual.y, expected.y, tolerance);
}

TEST(Gauge, ClampsEachNewValueAndSkipsEqualWrites) {
  auto gauge = loaded<Gauge>("Gauge", Rect(0, 0, 100, 100));
  for (const auto& [written, kept] :
       std::vector<std::pair<double, double>>{{1.4, 1}, {-0.5, 0}, {0.3, 0.3}, {std::nan(""), 0}, {infinity, 1}}) {
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

// Arc ends lie on the circle; the cubic curves between them stray from it by less than 0.01 points here.
TEST(Gauge, FillsItsArcClockwiseFromTheLowerLeftEnd) {
  auto gauge = loaded<Gauge>("Gauge", Rect(0, 0, 100, 100));
  constexpr double radius = 38;
  // Track: 270° over the top, open between 225° and 315°.
  const platform::Path track = *gauge->backgroundLayer()->path();
  expectNear(track.element(0).points[0], onCircle(radius, -45));
  expectNear(lastPoint(track), onCircle(radius, 225));
  EXPECT_NEAR(track.tightBounds().maxY(), 50 + radius, 0.01);

  gauge->setValue(0.5);
  const platform::Path half = *gauge->progressLayer()->path();
  expectNear(half.element(0).points[0], onCircle(radius, 225));
  expectNear(lastPoint(half), onCircle(radius, 90));
  // Clockwise: through 9 o'clock, never reaching 3 o'clock.
  EXPECT_NEAR(half.tightBounds().minX(), 50 - radius, 0.01);
  EXPECT_NEAR(half.tightBounds().maxX(), 50, 0.01);

  gauge->setValue(0.9);
  const platform::Path most = *gauge->progressLayer()->path();
  expectNear(lastPoint(most), onCircle(radius, 342));
  EXPECT_NEAR(most.tightBounds().maxX(), 50 + radius, 0.01);
  EXPECT_NEAR(most.tightBounds().minY(), onCircle(radius, 225).y, 0.01);

  // At 5/6 the second arc, 0° to 360° clockwise, sweeps nothing: the path ends at 3 o'clock.
  gauge->setValue(5.0 / 6);
  const platform::Path fiveSixths = *gauge->progressLayer()->path();
  expectNear(lastPoint(fiveSixths), onCircle(radius, 0));
  EXPECT_NEAR(fiveSixths.tightBounds().minY(), onCircle(radius, 225).y, 0.01);
  EXPECT_NEAR(fiveSixths.length(), radius * std::numbers::pi * 225 / 180, 0.05);
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
  auto inCode = platform::View::create<Gauge>(Rect(0, 0, 100, 100));
  inCode->setValue(0.5);
  EXPECT_EQ(inCode->layer(), nullptr);
}

// The "inner" pair is the larger ring and the "outer" pair lies two line widths inside it.
TEST(DoubleGauge, DrawsTheSecondRingTwoLineWidthsInside) {
  auto gauge = loaded<DoubleGauge>("DoubleGauge", Rect(0, 0, 100, 100));
  gauge->setColorInner(platform::Color::rgb(1, 0, 0));
  gauge->setColorOuter(platform::Color::rgb(0, 0, 1));
  gauge->setValue1(0.5);
  gauge->setValue2(1.4);
  EXPECT_EQ(gauge->value2(), 1.4);
  EXPECT_EQ(*gauge->layer()->sublayers(),
            (platform::Layer::LayerList{gauge->backgroundLayerInner(), gauge->backgroundLayerOuter(),
                                        gauge->progressLayerInner(), gauge->progressLayerOuter()}));
  EXPECT_NEAR(gauge->backgroundLayerInner()->path()->tightBounds().width(), 2 * 38, 0.01);
  EXPECT_NEAR(gauge->backgroundLayerOuter()->path()->tightBounds().width(), 2 * 28, 0.01);
  expectNear(lastPoint(*gauge->progressLayerInner()->path()), onCircle(38, 90));
  EXPECT_EQ(gauge->backgroundLayerInner()->strokeColor(), (Rgba{1, 0, 0, 0.1}));
  EXPECT_EQ(gauge->progressLayerInner()->strokeColor(), (Rgba{1, 0, 0, 1}));
  // 1.4 sweeps 378°: over the top to 3 o'clock, then on clockwise to 207°.
  expectNear(lastPoint(*gauge->progressLayerOuter()->path()), onCircle(28, 207));
  EXPECT_EQ(gauge->backgroundLayerOuter()->strokeColor(), (Rgba{0, 0, 1, 0.1}));
  EXPECT_EQ(gauge->progressLayerOuter()->strokeColor(), (Rgba{0, 0, 1, 1}));
}

TEST(GaugeView, StrokesTheValueClockwiseFromTheTopUnboundedAbove) {
  auto gauge = platform::View::create<GaugeView>(Rect(0, 0, 100, 100));
  gauge->setValue(0.25);
  const platform::ShapeLayer& arc = *gauge->progressLayer();
  EXPECT_EQ(arc.strokeEnd(), 0.25);
  const platform::Path quarter = arc.path()->trimmed(0, 0.25);
  expectNear(quarter.element(0).points[0], onCircle(45, 90));
  expectNear(lastPoint(quarter), onCircle(45, 0), 0.01);

  gauge->setValue(1.5);
  EXPECT_EQ(gauge->progressLayer()->strokeEnd(), 1.5);
  gauge->setValue(-1);
  EXPECT_EQ(gauge->value(), 0);
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
  const platform::BasicAnimation animation = *gauge->maskingLayer()->animation("strokeEnd");
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
  auto spinner = platform::View::create<LoadingView>(Rect(0, 0, 40, 40));
  EXPECT_TRUE(spinner->isHidden());
  spinner->start();
  spinner->start();
  spinner->setNeedsLayout(true);
  spinner->layoutSubtreeIfNeeded();
  EXPECT_FALSE(spinner->isHidden());
  EXPECT_EQ(spinner->progressLayer()->animationKeys(), std::vector<std::string>{"rotation"});
  EXPECT_NEAR(std::get<double>(*spinner->progressLayer()->presentationValue("transform.rotation.z", 5.15)),
              -std::numbers::pi / 2, 1e-9);
  EXPECT_EQ(spinner->progressLayer()->strokeEnd(), 0.2);

  spinner->stop();
  EXPECT_TRUE(spinner->isHidden());
  EXPECT_FALSE(spinner->isActive());
  EXPECT_TRUE(spinner->progressLayer()->animationKeys().empty());
  spinner->start();
  EXPECT_EQ(spinner->progressLayer()->animationKeys(), std::vector<std::string>{"rotation"});
}

TEST(LoadingView, RecoloursTheArcAtOnceAndTheRingAtTheNextLayout) {
  auto spinner = platform::View::create<LoadingView>(Rect(0, 0, 40, 40));
  const Rgba accent = SystemColors::controlAccentColor()->rgba();
  EXPECT_EQ(spinner->trackLayer()->strokeColor(), (Rgba{accent.red, accent.green, accent.blue, 0.1}));
  spinner->setColor(platform::Color::rgb(1, 0, 0));
  spinner->setWidth(5);
  EXPECT_EQ(spinner->progressLayer()->strokeColor(), (Rgba{1, 0, 0, 1}));
  EXPECT_EQ(spinner->trackLayer()->strokeColor(), (Rgba{accent.red, accent.green, accent.blue, 0.1}));
  EXPECT_EQ(spinner->trackLayer()->lineWidth(), 3);
  spinner->layout();
  EXPECT_EQ(spinner->trackLayer()->strokeColor(), (Rgba{1, 0, 0, 0.1}));
  EXPECT_EQ(spinner->trackLayer()->lineWidth(), 5);
  EXPECT_EQ(*spinner->layer()->sublayers(),
            (platform::Layer::LayerList{spinner->trackLayer(), spinner->progressLayer()}));
}

}  // namespace
}  // namespace Tavrix
