#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Platform/Foundation/Region.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Tavrix/Graph/PointAxis.hpp"
#include "Tavrix/Graph/ValueAxis.hpp"

namespace Tavrix {
namespace {

std::shared_ptr<platform::Layer> plot(double width, double height = 100) {
  auto layer = std::make_shared<platform::Layer>();
  layer->setFrame({0, 0, width, height});
  return layer;
}

std::vector<std::string> texts(const std::vector<std::shared_ptr<platform::TextLayer>>& labels) {
  std::vector<std::string> result;
  for (const auto& label : labels) result.push_back(label->string());
  return result;
}

TEST(ValueAxisLayout, EndsAnchoredAndInnerLabelsCentredOnSegments) {
  auto layer = plot(400);
  ValueAxis axis(0, 100, 4);
  axis.draw(layer, 1);
  const auto& labels = axis.layers();
  ASSERT_EQ(texts(labels), (std::vector<std::string>{"0.00", "100.00", "25.00", "50.00", "75.00"}));
  EXPECT_EQ(labels[0]->frame().minX(), 4);
  EXPECT_EQ(labels[1]->frame().maxX(), 396);
  for (int i = 2; i < 5; ++i) {
    EXPECT_DOUBLE_EQ(labels[i]->frame().midX(), 100.0 * (i - 1));
    EXPECT_DOUBLE_EQ(labels[i]->frame().midY(), 88);
  }
  EXPECT_EQ(layer->sublayers()->size(), 5u);

  ValueAxis shifted(10, 110, 4);
  shifted.setUnit("MB");
  shifted.draw(layer, 1);
  EXPECT_EQ(texts(shifted.layers()), (std::vector<std::string>{"10.00 MB", "110.00 MB", "35.00 MB", "60.00 MB",
                                                               "85.00 MB"}));
  ValueAxis ends(0, 100, 1);
  ends.setFormatString("%6.1f%%");
  ends.draw(layer, 1);
  EXPECT_EQ(texts(ends.layers()), (std::vector<std::string>{"   0.0%", " 100.0%"}));
}

TEST(ValueAxisLayout, UnusableRangeOrFormatRemovesLabelsAndDrawsNone) {
  auto layer = plot(400);
  const auto drawnAfter = [&](auto change) {
    ValueAxis axis(0, 100, 4);
    axis.draw(layer, 1);
    change(axis);
    axis.draw(layer, 1);
    return axis.layers().size() + layer->sublayers()->size();
  };
  EXPECT_EQ(drawnAfter([](ValueAxis& axis) { axis.setMax(0); }), 0u);
  EXPECT_EQ(drawnAfter([](ValueAxis& axis) { axis.setMin(100); }), 0u);
  for (const char* format : {"", "%s", "%n", "%d", "%f %f", "%*f", "%.1234f", "%Lf", "100%"}) {
    EXPECT_EQ(drawnAfter([format](ValueAxis& axis) { axis.setFormatString(format); }), 0u) << format;
  }
}

TEST(ValueAxisLayout, MonthNamesInTheRegion) {
  const platform::ScopedRegion region("en_US", "UTC", {"en"});
  ValueAxis axis(1704067200, 1733011200, 0);  // 1 January and 1 December 2024
  axis.setFormatType(ValueAxisFormatType::monthShortName);
  axis.draw(plot(400), 1);
  EXPECT_EQ(texts(axis.layers()), (std::vector<std::string>{"Jan", "Dec"}));
}

std::vector<std::shared_ptr<AxisPoint>> points(std::vector<std::pair<double, const char*>> values) {
  std::vector<std::shared_ptr<AxisPoint>> result;
  for (const auto& [value, text] : values) {
    result.push_back(std::make_shared<AxisPoint>(value, text ? std::optional<std::string>(text) : std::nullopt));
  }
  return result;
}

TEST(PointAxisLayout, TicksAndLabelsUnderEachPoint) {
  auto layer = plot(400);
  PointAxis axis(points({{25, nullptr}, {50, "half"}, {100, "a wide label"}}), 100);
  axis.draw(layer, 1);
  ASSERT_EQ(axis.layers().size(), 3u);
  EXPECT_EQ(axis.layers().back(), axis.tickLayer());
  EXPECT_DOUBLE_EQ(axis.layers()[0]->frame().midX(), 199);
  EXPECT_DOUBLE_EQ(axis.layers()[1]->frame().maxX(), 399);
  const platform::Path& ticks = *axis.tickLayer()->path();
  ASSERT_EQ(ticks.elementCount(), 6u);
  EXPECT_EQ(ticks.element(0).points[0], (platform::Point{99, 76}));
  EXPECT_EQ(ticks.element(1).points[0], (platform::Point{99, 79}));
}

TEST(PointAxisLayout, StopsAtAPointBeyondMaxAndDrawsNothingWhenCleared) {
  auto layer = plot(400);
  PointAxis axis(points({{0, "start"}, {50, "half"}, {150, "past"}}), 100);
  axis.draw(layer, 1);
  EXPECT_EQ(axis.layers().size(), 2u);
  EXPECT_EQ(axis.tickLayer()->superlayer(), nullptr);
  axis.clear();
  axis.draw(layer, 1);
  EXPECT_TRUE(axis.layers().empty());
  EXPECT_TRUE(layer->sublayers()->empty());
  PointAxis flat(points({{0, "zero"}}), 0);
  flat.draw(layer, 1);
  EXPECT_TRUE(layer->sublayers()->empty());
}

}  // namespace
}  // namespace Tavrix
