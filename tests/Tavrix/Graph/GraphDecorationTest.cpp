#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/View.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/GraphView.hpp"
#include "Tavrix/Graph/GridOptions.hpp"
#include "tests/Tavrix/Graph/GraphFakes.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"

namespace {

using platform::Point;
using platform::test::expectElements;
using platform::test::lineTo;
using platform::test::moveTo;
using Tavrix::AutoGraphMode;
using Tavrix::GraphView;

std::shared_ptr<GraphView> makeView(double width, double height) {
  return platform::View::create<GraphView>(platform::Rect(0, 0, width, height));
}

bool inTree(const std::shared_ptr<platform::Layer>& layer, const GraphView& view) {
  return layer->superlayer() == view.layer();
}

std::vector<std::string> labelTexts(const GraphView& view) {
  std::vector<std::string> texts;
  for (const auto& label : view.textLayers()) {
    texts.push_back(label->string());
  }
  return texts;
}

// The centres of the dots of a tick layer: each dot is a move to its centre, then a circle.
std::vector<Point> dotCentres(const Tavrix::GradientLayer& layer) {
  std::vector<Point> centres;
  for (const platform::PathElement& element : layer.maskingLayer()->path()->elements()) {
    if (element.kind == platform::PathElementKind::moveTo) {
      centres.push_back(element.points[0]);
    }
  }
  return centres;
}

TEST(GridOptionsTest, LineWidthIsTwoDevicePixelsOfTheScreenOfTheMoment) {
  EXPECT_EQ(Tavrix::GridOptions().gridLineWidth, 2);
  {
    const platform::ScopedMainScreen retina(platform::Screen{2});
    EXPECT_EQ(Tavrix::GridOptions().gridLineWidth, 1);
  }
  const platform::ScopedMainScreen plain(platform::Screen{1});
  EXPECT_EQ(Tavrix::GridOptions().gridLineWidth, 2);
}

// The default grid of a 200 x 100 view (line width 2): top line, three inner rows and three inner columns
// in one layer, and the solid bottom line in another.
TEST(GraphGridTest, DefaultGridOfA200By100View) {
  const auto view = makeView(200, 100);
  expectElements(*view->gridLayer()->path(),
                 {moveTo({0, 1}), lineTo({200, 1}), moveTo({0, 24}), lineTo({200, 24}), moveTo({0, 49}),
                  lineTo({200, 49}), moveTo({0, 74}), lineTo({200, 74}), moveTo({50, 0}), lineTo({50, 100}),
                  moveTo({100, 0}), lineTo({100, 100}), moveTo({150, 0}), lineTo({150, 100})});
  expectElements(*view->bottomLineLayer()->path(), {moveTo({0, 99}), lineTo({200, 99})});
  EXPECT_TRUE(inTree(view->gridLayer(), *view));
  EXPECT_TRUE(inTree(view->bottomLineLayer(), *view));
  EXPECT_TRUE(view->gridLayer()->lineDashPattern().empty());
  EXPECT_EQ(view->gridLayer()->lineWidth(), 2);
  EXPECT_EQ(view->gridLayer()->fillColor(), std::nullopt);
  EXPECT_EQ(view->gridLayer()->strokeColor(), Tavrix::SystemColors::separatorColor()->rgba());
}

// The history graphs' grid: no top or bottom line, no columns, four dashed rows over the plot above an
// axis.
TEST(GraphGridTest, HistoryGraphGridIsDashedRowsOnly) {
  const auto view = makeView(200, 124);
  Tavrix::GridOptions& grid = view->gridOptions();
  grid.drawTopLine = false;
  grid.drawBottomLine = false;
  grid.verticalSegments = 0;
  grid.lineDashPattern = std::vector<double>{2, 2};
  grid.lineDashPhase = 3;
  view->setAxisX(std::make_shared<graphtest::RecordingAxis>(24));
  expectElements(*view->gridLayer()->path(), {moveTo({0, 24}), lineTo({200, 24}), moveTo({0, 49}),
                                              lineTo({200, 49}), moveTo({0, 74}), lineTo({200, 74})});
  EXPECT_EQ(view->gridLayer()->lineDashPattern(), (std::vector<double>{2, 2}));
  EXPECT_EQ(view->gridLayer()->lineDashPhase(), 3);
  EXPECT_FALSE(inTree(view->bottomLineLayer(), *view));

  grid.horizontalSegments = 1;
  view->refresh();
  EXPECT_TRUE(view->gridLayer()->path()->isEmpty());
  grid.horizontalSegments = 0;
  view->refresh();
  EXPECT_FALSE(inTree(view->gridLayer(), *view));
  EXPECT_FALSE(inTree(view->bottomLineLayer(), *view));
}

// Five ticks on a 400-wide view: large dots at both ends (inset by their radius) and every quarter, small
// dots midway (the first one half a step left of the view), all on the bottom of the plot.
TEST(GraphTickTest, DotsAlongTheBottomOfThePlot) {
  const auto view = makeView(400, 100);
  view->tickOptions().showTickMarks = true;
  view->tickOptions().numberOfTicks = 5;
  view->setAxisX(nullptr);
  ASSERT_TRUE(view->largeTickLayer() && view->smallTickLayer());
  EXPECT_EQ(dotCentres(*view->largeTickLayer()),
            (std::vector<Point>{{2, 96}, {100, 96}, {200, 96}, {300, 96}, {398, 96}}));
  EXPECT_EQ(dotCentres(*view->smallTickLayer()),
            (std::vector<Point>{{-50, 96}, {50, 96}, {150, 96}, {250, 96}, {350, 96}}));
  const platform::Rect large = view->largeTickLayer()->maskingLayer()->path()->controlBounds();
  EXPECT_NEAR(large.height(), 4, 1e-9);
  const platform::Rect small = view->smallTickLayer()->maskingLayer()->path()->controlBounds();
  EXPECT_NEAR(small.height(), 2, 1e-9);
  EXPECT_TRUE(inTree(view->largeTickLayer()->gradientLayer(), *view));
  EXPECT_TRUE(inTree(view->smallTickLayer()->gradientLayer(), *view));
  // The large dots show the gradient of fillColors (one colour, doubled); the masks are filled discs.
  EXPECT_EQ(view->largeTickLayer()->gradientLayer()->colors().size(), 2u);
  EXPECT_EQ(view->largeTickLayer()->maskingLayer()->fillColor(), (platform::Rgba{0, 0, 0, 1}));
  EXPECT_EQ(view->largeTickLayer()->maskingLayer()->lineWidth(), 0);
  // The dots keep their geometry until the next assignment of an axis.
  view->setFrameSize({800, 100});
  view->layoutSubtreeIfNeeded();
  EXPECT_EQ(dotCentres(*view->largeTickLayer()).back(), (Point{398, 96}));
}

TEST(GraphTickTest, OneTickNoSmallTicksAndNoTicks) {
  const auto view = makeView(400, 100);
  view->tickOptions().showTickMarks = true;
  view->tickOptions().numberOfTicks = 1;
  view->setAxisX(nullptr);
  EXPECT_EQ(dotCentres(*view->largeTickLayer()), (std::vector<Point>{{2, 96}}));
  EXPECT_TRUE(view->smallTickLayer()->maskingLayer()->path()->isEmpty());

  const auto formerSmall = view->smallTickLayer();
  view->tickOptions().enableSmallTicks = false;
  view->tickOptions().numberOfTicks = 3;
  view->setAxisX(nullptr);
  EXPECT_EQ(dotCentres(*view->largeTickLayer()).size(), 3u);
  EXPECT_EQ(view->smallTickLayer(), formerSmall);
  EXPECT_FALSE(inTree(formerSmall->gradientLayer(), *view));

  const auto formerLarge = view->largeTickLayer();
  view->tickOptions().numberOfTicks = 0;
  view->setAxisX(nullptr);
  EXPECT_FALSE(inTree(formerLarge->gradientLayer(), *view));
  view->tickOptions().numberOfTicks = 3;
  view->tickOptions().showTickMarks = false;
  view->setAxisX(nullptr);
  EXPECT_EQ(view->largeTickLayer(), formerLarge);
}

// Minimum, half and maximum at the right edge, 128 wide and as high as the font's size, above everything.
TEST(GraphLabelTest, LabelTextsAndFrames) {
  const auto view = makeView(300, 100);
  view->setUnit("%");
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"0 %", "50 %", "100 %"}));
  const auto& labels = view->textLayers();
  const double textHeight =
      platform::TextMeasurer::boundingSize("0 %", {.font = view->fontOptions().font}, {128, 96}).height;
  platform::test::expectRectNear(labels[0]->frame(), {168, 100 - 4 - textHeight, 128, 13});
  platform::test::expectRectNear(labels[2]->frame(), {168, 4, 128, 13});
  platform::test::expectRectNear(labels[1]->frame(), {168, 50 - textHeight / 2, 128, 13});
  for (const auto& label : labels) {
    EXPECT_EQ(label->alignmentMode(), platform::TextAlignment::right);
    EXPECT_EQ(label->zPosition(), 512);
    EXPECT_EQ(label->fontSize(), 13);
    EXPECT_EQ(label->foregroundColor(), (platform::Rgba{0, 0, 0, 1}));
    EXPECT_EQ(label->superlayer(), view->layer());
  }

  // An empty unit leaves the blank; a text scale multiplies; the range is read at each pass.
  view->setUnit("");
  view->setAutoGraphModeTextScale(2);
  view->setMinValue(37);
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"60 ", "130 ", "200 "}));

  view->fontOptions().showHalfValue = false;
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"60 ", "200 "}));
  view->setLabelsEnabled(false);
  EXPECT_TRUE(view->textLayers().empty());
  EXPECT_EQ(view->layer()->sublayers()->size(), 2u) << "grid and bottom line only";
}

TEST(GraphLabelTest, DarkAppearanceRebuildsTheLabelsInWhite) {
  const auto view = makeView(300, 100);
  const auto before = view->textLayers();
  view->setAppearance(platform::Appearance(std::string(platform::Appearance::darkAqua)));
  ASSERT_EQ(view->textLayers().size(), 3u);
  EXPECT_NE(view->textLayers()[0], before[0]);
  EXPECT_EQ(view->textLayers()[0]->foregroundColor(), (platform::Rgba{1, 1, 1, 1}));
  EXPECT_EQ(before[0]->superlayer(), nullptr);
  EXPECT_EQ(view->gridLayer()->strokeColor(),
            Tavrix::SystemColors::separatorColor()->rgba(
                platform::Appearance(std::string(platform::Appearance::darkAqua))));
}

// In the speed modes the labels read in the unit the maximum chose: 3,000,000 B/s is 2.86 MB/s.
TEST(GraphLabelTest, SpeedModeLabelsFollowTheUnitOfTheMaximum) {
  const auto view = makeView(300, 100);
  view->setAutoGraphMode(AutoGraphMode::byteSpeed);
  view->setMaxValue(3000000);
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"0 MB/s", "1 MB/s", "3 MB/s"}));
  // The half (750,000 B/s) lies below a mebibyte but still reads in MB/s.
  view->setMaxValue(1500000);
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"0 MB/s", "1 MB/s", "1 MB/s"}));

  view->setAutoGraphMode(AutoGraphMode::bitSpeed);
  view->setMaxValue(250000);
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"0 Mb/s", "1 Mb/s", "2 Mb/s"}));

  // Values a speed cannot be (negative, NaN) still give a text.
  view->setScaleMode(Tavrix::ScaleMode::none);
  view->setUnit("B/s");
  view->setMaxValue(-2048);
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"0 B/s", "-8192 B/s", "-16384 B/s"}));
}

}  // namespace
