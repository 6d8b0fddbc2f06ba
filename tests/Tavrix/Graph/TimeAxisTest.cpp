#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Platform/Foundation/Region.hpp"
#include "Platform/Graphics/TextLayer.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Tavrix/Graph/TimeAxis.hpp"

namespace Tavrix {
namespace {

constexpr double january2024 = 1704067200;  // 2024-01-01 00:00 UTC
constexpr double day = 86400;

struct TimeAxisTest : testing::Test {
  platform::ScopedRegion region{"en_US", "UTC", {"en"}};
  std::shared_ptr<platform::Layer> layer = std::make_shared<platform::Layer>();
  TimeAxis axis;

  std::vector<std::shared_ptr<platform::TextLayer>> labels() const {
    std::vector<std::shared_ptr<platform::TextLayer>> result;
    for (const auto& drawn : axis.layers()) {
      if (auto label = std::dynamic_pointer_cast<platform::TextLayer>(drawn)) result.push_back(label);
    }
    return result;
  }
  static double labelWidth(const std::string& text) {
    return platform::TextMeasurer::boundingSize(text, {.font = platform::Font::systemFont(10)}, {32, 20}).width;
  }
};

TEST_F(TimeAxisTest, LastYearPutsOneLabelAndTickInEachSlot) {
  layer->setFrame({0, 0, 480, 100});
  std::vector<double> stamps;
  for (int month = 0; month < 12; ++month) stamps.push_back(january2024 + month * 31 * day);
  axis.setTimestamps(stamps);
  axis.draw(layer, 1);
  const auto drawn = labels();
  ASSERT_EQ(drawn.size(), 12u);
  for (int i = 0; i < 12; ++i) {
    EXPECT_EQ(drawn[i]->frame(), platform::Rect(4 + 40 * i, 80, 40, 20));
    const platform::Point tick = axis.tickLayer()->path()->element(2 * i).points[0];
    EXPECT_EQ(tick, (platform::Point{3.0 + 40 * i, 76})) << i;
  }
  EXPECT_EQ(drawn[0]->string() + drawn[11]->string(), "JanDec");
  EXPECT_EQ(drawn[0]->alignmentMode(), platform::TextAlignment::left);
}

TEST_F(TimeAxisTest, WeeklyLabelsEveryFourthSampleFromTheNewestUntilTheLeftEdge) {
  layer->setFrame({0, 0, 630, 100});
  axis.setPeriod(TimePeriod::weekly);
  std::vector<double> weeks;
  for (int week = 0; week < 10; ++week) weeks.push_back(january2024 + week * 7 * day);
  axis.setTimestamps(weeks);  // the newest is 4 March: 63 days span 630 points, a slot is 63
  axis.draw(layer, 1);
  const auto drawn = labels();
  ASSERT_EQ(drawn.size(), 3u);
  EXPECT_EQ(drawn[0]->string(), "Mar");
  EXPECT_DOUBLE_EQ(drawn[0]->frame().midX(), 630 - 63 - 3 * 10);  // 1 March
  EXPECT_DOUBLE_EQ(drawn[1]->frame().midX(), 630 - 63 - 32 * 10);  // 1 February
  EXPECT_EQ(drawn[2]->string(), "Jan");
  EXPECT_DOUBLE_EQ(drawn[2]->frame().minX(), 4);  // clamped at the left edge
}

TEST_F(TimeAxisTest, WeeklySkipsOverlapsButNotTouchingLabels) {
  layer->setFrame({0, 0, 300, 100});
  axis.setPeriod(TimePeriod::weekly);
  axis.setTimestamps(std::vector<double>(10, january2024 + 40 * day));  // February, no span: one slot in
  axis.draw(layer, 1);
  ASSERT_EQ(labels().size(), 1u);
  EXPECT_DOUBLE_EQ(labels()[0]->frame().midX(), 300 - 30);
  const double width = labelWidth("Feb");
  axis.addLabel(*layer, "Feb", platform::TextAlignment::center, 30 + width, 24);
  axis.addLabel(*layer, "Feb", platform::TextAlignment::center, 30 - width + 1, 24);
  EXPECT_EQ(labels().size(), 2u);
}

TEST_F(TimeAxisTest, FewSamplesGiveTicksOnly) {
  layer->setFrame({0, 0, 300, 100});
  axis.setPeriod(TimePeriod::weekly);
  axis.setTimestamps({january2024});
  axis.draw(layer, 1);
  EXPECT_TRUE(labels().empty());
  EXPECT_EQ(axis.tickLayer()->path()->elementCount(), 2u);
  axis.setTimestamps({});
  axis.draw(layer, 1);
  EXPECT_TRUE(axis.tickLayer()->path()->isEmpty());
  EXPECT_EQ(axis.layers().size(), 1u);
  axis.clear();
  EXPECT_TRUE(layer->sublayers()->empty());
}

TEST_F(TimeAxisTest, MonthsStartInTheRegionsZone) {
  const platform::ScopedRegion berlin("en_US", "Europe/Berlin", {"en"});
  // 1 April 2024 00:30 in Berlin is still March in UTC; the month starts at 00:00 Berlin time (22:00 UTC).
  EXPECT_EQ(axis.startOfMonth(1711924200), 1711922400);
}

}  // namespace
}  // namespace Tavrix
