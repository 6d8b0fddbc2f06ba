#include <gtest/gtest.h>

#include <cmath>

#include "Platform/Foundation/Region.hpp"
#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/TextLayer.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Platform/UI/Screen.hpp"
#include "Tavrix/Controls/Gradients.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/CurvedLinePlotter.hpp"
#include "Tavrix/Graph/GraphView.hpp"
#include "Tavrix/Graph/PointAxis.hpp"
#include "Tavrix/Graph/TextAxis.hpp"
#include "Tavrix/Graph/TimeAxis.hpp"
#include "Tavrix/Graph/ValueAxis.hpp"
#include "tests/Tavrix/GalleryPicture.hpp"
#include "tests/Tavrix/Graph/GraphFakes.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

// Where the value, point, time and text axes put their labels, ticks and slot backgrounds in a plot layer;
// then each axis under a graph view, written to gallery/axis-<name>.png for a person to look at.
namespace Tavrix {
namespace {

using Texts = std::vector<std::string>;
using Labels = std::vector<std::shared_ptr<platform::TextLayer>>;

constexpr double january2024 = 1704067200;  // 2024-01-01 00:00 UTC
constexpr double day = 86400;

// The text layers among an axis's layers, in order, and their strings.
template <typename Layer>
Labels labels(const std::vector<std::shared_ptr<Layer>>& layers) {
  Labels result;
  for (const auto& layer : layers) {
    if (auto label = std::dynamic_pointer_cast<platform::TextLayer>(layer)) result.push_back(label);
  }
  return result;
}

Texts texts(const Labels& labels) {
  Texts result;
  for (const auto& label : labels) result.push_back(label->string());
  return result;
}

platform::Point midPoint(const platform::Rect& frame) { return {frame.midX(), frame.midY()}; }

std::shared_ptr<AxisPoint> point(double value, std::optional<std::string> text = std::nullopt) {
  return std::make_shared<AxisPoint>(value, std::move(text));
}

// A plot layer 100 points high in a pinned region, and a time and a text axis to draw into it.
struct Axes : testing::Test {
  platform::ScopedRegion region{"en_US", "UTC", {"en"}};
  std::shared_ptr<platform::Layer> layer = std::make_shared<platform::Layer>();
  std::shared_ptr<TimeAxis> time = std::make_shared<TimeAxis>();
  std::shared_ptr<TextAxis> text = std::make_shared<TextAxis>();

  template <typename Axis>
  Labels draw(Axis& axis, double width) {
    layer->setFrame({0, 0, width, 100});
    axis.draw(layer, 1);
    return labels(axis.layers());
  }
  Labels drawTime(double width, std::vector<double> stamps, TimePeriod period = TimePeriod::weekly) {
    time->setPeriod(period);
    time->setTimestamps(std::move(stamps));
    return draw(*time, width);
  }
  // Centred slots with backgrounds unless told to lay the texts out evenly without them.
  Labels drawText(double width, std::vector<std::string> texts, bool centred = true) {
    text->setAlignMode(centred ? TextAlignMode::centered : TextAlignMode::evenly);
    text->setFillLabel(centred);
    text->setTexts(std::move(texts));
    return draw(*text, width);
  }
};

TEST_F(Axes, ValueEndsAnchoredInnerLabelsCentredOnSegmentsWithUnitsFormatsAndMonths) {
  ValueAxis axis(0, 100, 4);
  const Labels drawn = draw(axis, 400);
  ASSERT_EQ(texts(drawn), (Texts{"0.00", "100.00", "25.00", "50.00", "75.00"}));
  EXPECT_EQ(layer->sublayers()->size(), 5u);
  EXPECT_EQ(drawn[0]->frame().minX(), 4);
  EXPECT_EQ(drawn[1]->frame().maxX(), 396);
  for (int i = 2; i < 5; ++i) EXPECT_EQ(midPoint(drawn[i]->frame()), (platform::Point{100.0 * (i - 1), 88}));
  ValueAxis shifted(10, 110, 4), ends(0, 100, 1), months(1704067200, 1733011200, 0);  // 1 January, 1 December
  shifted.setUnit("MB");
  ends.setFormatString("%6.1f%%");
  months.setFormatType(ValueAxisFormatType::monthShortName);
  EXPECT_EQ(texts(draw(shifted, 400)), (Texts{"10.00 MB", "110.00 MB", "35.00 MB", "60.00 MB", "85.00 MB"}));
  EXPECT_EQ(texts(draw(ends, 400)), (Texts{"   0.0%", " 100.0%"}));
  EXPECT_EQ(texts(draw(months, 400)), (Texts{"Jan", "Dec"}));
}

TEST_F(Axes, ValueAxisWithAnUnusableRangeOrFormatRemovesItsLabelsAndDrawsNone) {
  const auto drawnAfter = [&](auto change) {
    ValueAxis axis(0, 100, 4);
    draw(axis, 400);
    change(axis);
    return draw(axis, 400).size() + layer->sublayers()->size();
  };
  EXPECT_EQ(drawnAfter([](ValueAxis& axis) { axis.setMax(0); }), 0u);
  EXPECT_EQ(drawnAfter([](ValueAxis& axis) { axis.setMin(100); }), 0u);
  for (const char* format : {"", "%s", "%n", "%d", "%f %f", "%*f", "%.1234f", "%Lf", "100%"}) {
    EXPECT_EQ(drawnAfter([format](ValueAxis& axis) { axis.setFormatString(format); }), 0u) << format;
  }
}

TEST_F(Axes, PointTicksAndLabelsUntilOneBeyondMaxAndNothingWhenClearedOrFlat) {
  PointAxis axis({point(25), point(50, "half"), point(100, "a wide label")}, 100);
  draw(axis, 400);
  ASSERT_EQ(axis.layers().size(), 3u);
  EXPECT_EQ(axis.layers().back(), axis.tickLayer());
  EXPECT_DOUBLE_EQ(axis.layers()[0]->frame().midX(), 199);
  EXPECT_DOUBLE_EQ(axis.layers()[1]->frame().maxX(), 399);
  const platform::Path& ticks = *axis.tickLayer()->path();
  ASSERT_EQ(ticks.elementCount(), 6u);
  EXPECT_EQ(ticks.element(0).points[0], (platform::Point{99, 76}));
  EXPECT_EQ(ticks.element(1).points[0], (platform::Point{99, 79}));
  axis.setPoints({point(0, "start"), point(50, "half"), point(150, "past")});
  draw(axis, 400);
  EXPECT_EQ(axis.layers().size(), 2u);
  EXPECT_EQ(axis.tickLayer()->superlayer(), nullptr);
  axis.clear();
  draw(axis, 400);
  EXPECT_TRUE(axis.layers().empty());
  EXPECT_TRUE(layer->sublayers()->empty());
  PointAxis flat({point(0, "zero")}, 0);
  draw(flat, 400);
  EXPECT_TRUE(layer->sublayers()->empty());
}

TEST_F(Axes, TimeLastYearSlotsAndMonthStartsInTheRegionsZone) {
  std::vector<double> stamps;
  for (int month = 0; month < 12; ++month) stamps.push_back(january2024 + month * 31 * day);
  const Labels drawn = drawTime(480, stamps, TimePeriod::lastYear);
  ASSERT_EQ(drawn.size(), 12u);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(drawn[i]->frame(), platform::Rect(4 + 40 * i, 80, 40, 20));
    EXPECT_EQ(time->tickLayer()->path()->element(2 * i).points[0], (platform::Point{3.0 + 40 * i, 76})) << i;
  }
  EXPECT_EQ(drawn[0]->string() + drawn[11]->string(), "JanDec");
  EXPECT_EQ(drawn[0]->alignmentMode(), platform::TextAlignment::left);
  const platform::ScopedRegion berlin("en_US", "Europe/Berlin", {"en"});
  // 1 April 2024 00:30 in Berlin is still March in UTC; the month starts at 00:00 Berlin time (22:00 UTC).
  EXPECT_EQ(time->startOfMonth(1711924200), 1711922400);
}

TEST_F(Axes, TimeWeeklyLabelsEveryFourthSampleFromTheNewestSkippingOverlapsAndNeedsTwoSamples) {
  std::vector<double> weeks;
  for (int week = 0; week < 10; ++week) weeks.push_back(january2024 + week * 7 * day);
  // The newest is 4 March: 63 days span 630 points, a slot is 63.
  Labels drawn = drawTime(630, weeks);
  ASSERT_EQ(texts(drawn), (Texts{"Mar", "Feb", "Jan"}));
  EXPECT_DOUBLE_EQ(drawn[0]->frame().midX(), 630 - 63 - 3 * 10);   // 1 March
  EXPECT_DOUBLE_EQ(drawn[1]->frame().midX(), 630 - 63 - 32 * 10);  // 1 February
  EXPECT_DOUBLE_EQ(drawn[2]->frame().minX(), 4);  // clamped at the left edge, which ends the pass
  // February without a span: one slot in; the later labels overlap it. Touching is no overlap.
  drawn = drawTime(300, std::vector<double>(10, january2024 + 40 * day));
  ASSERT_EQ(drawn.size(), 1u);
  EXPECT_DOUBLE_EQ(drawn[0]->frame().midX(), 300 - 30);
  const double width =
      platform::TextMeasurer::boundingSize("Feb", {.font = platform::Font::systemFont(10)}, {32, 20}).width;
  time->addLabel(*layer, "Feb", platform::TextAlignment::center, 30 + width, 24);
  time->addLabel(*layer, "Feb", platform::TextAlignment::center, 30 - width + 1, 24);
  EXPECT_EQ(labels(time->layers()).size(), 2u);
  // Fewer than two samples: ticks only.
  EXPECT_TRUE(drawTime(300, {january2024}).empty());
  EXPECT_EQ(time->tickLayer()->path()->elementCount(), 2u);
  EXPECT_TRUE(drawTime(300, {}).empty());
  EXPECT_TRUE(time->tickLayer()->path()->isEmpty());
  EXPECT_EQ(time->layers().size(), 1u);
  time->clear();
  EXPECT_TRUE(layer->sublayers()->empty());
}

TEST_F(Axes, TextEvenlyAnchorsTheEndsAndCentredBackgroundsFillShiftedSlotsEndingAtWholeSteps) {
  Labels drawn = drawText(300, {"Mon", "Tue", "Wed"}, false);
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[0]->frame().minX(), 2);
  EXPECT_EQ(drawn[0]->alignmentMode(), platform::TextAlignment::left);
  EXPECT_EQ(midPoint(drawn[1]->frame()), (platform::Point{149.5, 88}));
  EXPECT_DOUBLE_EQ(drawn[2]->frame().maxX(), 298);
  EXPECT_EQ(drawn[2]->alignmentMode(), platform::TextAlignment::right);
  EXPECT_EQ(text->height(), 24);
  text->setDetails({"one", "two"});  // one short of the texts: ignored
  drawn = drawText(100, {"A", "B", "C"});
  EXPECT_EQ(text->height(), 36);
  const platform::Rect expected[] = {{2, 64, 33, 36}, {35, 64, 33, 36}, {68, 64, 34, 36}};
  ASSERT_EQ(text->fillLayers().size(), 3u);
  for (int i = 0; i < 3; ++i) EXPECT_EQ(text->fillLayers()[i]->path()->tightBounds(), expected[i]) << i;
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_DOUBLE_EQ(drawn[1]->frame().midY(), 82);
  EXPECT_DOUBLE_EQ(drawn[1]->frame().width(), 100.0 / 3);
  EXPECT_EQ(text->slotEnd(-1, {0, 0, 100, 10}), 33);
  EXPECT_EQ(text->slotEnd(1, {0, 0, 100, 10}), 66);
  text->draw(nullptr, 1);  // without a layer the old labels and backgrounds still go
  EXPECT_TRUE(layer->sublayers()->empty());
  // An empty text keeps its slot; a detail sits under its label, which comes again above its background.
  text->setDetails({"1", std::nullopt, "3"});
  drawn = drawText(90, {"A", "", "C"});
  EXPECT_EQ(text->fillLayers().size(), 2u);
  ASSERT_EQ(texts(drawn), (Texts{"A", "1", "A", "C", "3", "C"}));
  EXPECT_EQ(drawn[3]->frame().minX(), 60);
  EXPECT_EQ(drawn[4]->fontSize(), 10);
  EXPECT_EQ(drawn[4]->frame().minY(), drawn[3]->frame().maxY() + 2);
  text->setTexts({"only"});
  EXPECT_EQ(text->slotEnd(0, {0, 0, 99.5, 10}), 99.5);
}

TEST_F(Axes, TextSelectionFadesBothSlotsOverFourTenths) {
  text->setSelectedIndex(1);
  drawText(90, {"A", "B", "C"});
  text->setSelectedIndex(2);
  const struct {
    platform::Layer* layer;
    const char* key;
    platform::ColorRef to;
  } expected[] = {
      {text->fillLayers()[1].get(), "fillColor", SystemColors::separatorColor()},
      {text->layers()[1].get(), "foregroundColor", SystemColors::secondaryLabelColor()},
      {text->fillLayers()[2].get(), "fillColor", platform::Color::black()},
      {text->layers()[2].get(), "foregroundColor", platform::Color::white()},
  };
  for (const auto& [animated, key, to] : expected) {
    const std::optional<platform::BasicAnimation> animation = animated->animation(key);
    ASSERT_TRUE(animation) << key;
    EXPECT_EQ(animation->duration, 0.4);
    EXPECT_EQ(animation->timingFunction,
              platform::TimingFunction::named(platform::TimingFunctionName::easeInEaseOut));
    const auto shown = std::get<platform::Rgba>(*animated->presentationValue(key, animation->beginTime + 10));
    platform::test::expectRgba(shown, to->rgba(), 1e-9);
  }
  EXPECT_TRUE(text->fillLayers()[0]->animationKeys().empty());
}

// A 400 x 150 graph of a wave above the axis with a curved plotter, rendered at scale 2.
std::shared_ptr<platform::Image> render(const std::shared_ptr<IAxis>& axis, const std::string& name) {
  auto graph = platform::View::create<GraphView>(platform::Rect(0, 0, 400, 150));
  graph->setScaleMode(ScaleMode::none);
  graph->setMaxValue(100);
  graph->setAxisX(axis);
  auto plotter = std::make_shared<CurvedLinePlotter>(
      std::vector<platform::ColorRef>{Gradients::blue().start(), Gradients::blue().end()});
  plotter->setLineWidth(2);
  graph->addPlotter(plotter);
  PlotterData series;
  for (int i = 0; i < 30; ++i) series.push_back(50 + 30 * std::sin(i / 4.0));
  plotter->update(series);
  EXPECT_TRUE(graphtest::drainMainQueue());
  return gallery::picture(*graph, "axis-" + name);
}

TEST_F(Axes, GalleryPicturesOfEachAxisUnderAGraph) {
  const platform::ScopedMainScreen screen{platform::Screen{1}};
  auto value = std::make_shared<ValueAxis>(0, 60, 4);
  value->setUnit("s");
  render(value, "value");
  auto points = std::make_shared<PointAxis>(std::vector{point(10, "start"), point(100, "end")}, 100);
  render(points, "point");
  EXPECT_EQ(value->layers().size() + points->layers().size(), 5u + 3u);

  std::vector<double> months;
  for (int month = 0; month < 12; ++month) months.push_back(january2024 + month * 31 * day);
  time->setTimestamps(months);
  time->setTickColor(SystemColors::systemRed());
  auto image = render(time, "time");
  // Slots of 100/3: the first tick is the column x = 2, from 24 to 22 points above the bottom edge.
  platform::test::expectRgba(platform::test::pixelAt(*image, 2.1, 23), SystemColors::systemRed()->rgba());
  EXPECT_EQ(platform::test::pixelAt(*image, 12, 23).alpha, 0);

  text->setSelectedIndex(1);
  drawText(400, {"CPU", "Memory", "Disk"});
  image = render(text, "text");
  // The selected slot is opaque black below its label; the first two points hold no background.
  const double separator = SystemColors::separatorColor()->rgba().alpha;
  platform::test::expectPixels(
      *image, {{200, 2, {0, 0, 0, 1}}, {60, 2, {0, 0, 0, separator}}, {2.5, 2, {0, 0, 0, separator}}});
  EXPECT_EQ(platform::test::pixelAt(*image, 1, 2).alpha, 0);
}

}  // namespace
}  // namespace Tavrix
