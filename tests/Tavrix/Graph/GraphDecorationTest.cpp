#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Platform/UI/View.hpp"
#include "Tavrix/Graph/GraphView.hpp"
#include "Tavrix/Graph/GridOptions.hpp"
#include "tests/Tavrix/Graph/GraphFakes.hpp"
#include "tests/platform/Graphics/PathExpectations.hpp"

namespace {

using platform::Point;
using platform::test::expectElements;
using platform::test::lineTo;
using platform::test::moveTo;
using Tavrix::GraphView;

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

// The default grid of a 200 x 100 view (line width 2): top line, three inner rows and three inner columns
// in one layer, the solid bottom line in another. The history graphs' grid: four dashed rows above an axis.
TEST(GraphGridTest, DefaultAndHistoryGraphGrids) {
  const auto view = graphtest::graphView(200, 100);
  expectElements(*view->gridLayer()->path(),
                 {moveTo({0, 1}), lineTo({200, 1}), moveTo({0, 24}), lineTo({200, 24}), moveTo({0, 49}),
                  lineTo({200, 49}), moveTo({0, 74}), lineTo({200, 74}), moveTo({50, 0}), lineTo({50, 100}),
                  moveTo({100, 0}), lineTo({100, 100}), moveTo({150, 0}), lineTo({150, 100})});
  expectElements(*view->bottomLineLayer()->path(), {moveTo({0, 99}), lineTo({200, 99})});
  EXPECT_TRUE(inTree(view->bottomLineLayer(), *view));
  EXPECT_TRUE(view->gridLayer()->lineDashPattern().empty());

  view->setFrameSize({200, 124});
  Tavrix::GridOptions& grid = view->gridOptions();
  grid.drawTopLine = false;
  grid.drawBottomLine = false;
  grid.verticalSegments = 0;
  grid.lineDashPattern = std::vector<double>{2, 2};
  view->setAxisX(std::make_shared<graphtest::RecordingAxis>(24));
  expectElements(*view->gridLayer()->path(), {moveTo({0, 24}), lineTo({200, 24}), moveTo({0, 49}),
                                              lineTo({200, 49}), moveTo({0, 74}), lineTo({200, 74})});
  EXPECT_EQ(view->gridLayer()->lineDashPattern(), (std::vector<double>{2, 2}));
  EXPECT_FALSE(inTree(view->bottomLineLayer(), *view));

  grid.horizontalSegments = 0;
  view->refresh();
  EXPECT_FALSE(inTree(view->gridLayer(), *view));
}

// Five ticks on a 400-wide view: large dots at both ends (in by their radius) and every quarter, small dots
// midway (the first half a step left of the view), on the bottom of the plot. One tick has no small dot;
// no ticks take the old dots away.
TEST(GraphTickTest, DotsAlongTheBottomOfThePlot) {
  const auto view = graphtest::graphView(400, 100);
  view->tickOptions().showTickMarks = true;
  view->tickOptions().numberOfTicks = 5;
  view->setAxisX(nullptr);
  EXPECT_EQ(dotCentres(*view->largeTickLayer()),
            (std::vector<Point>{{2, 96}, {100, 96}, {200, 96}, {300, 96}, {398, 96}}));
  EXPECT_EQ(dotCentres(*view->smallTickLayer()),
            (std::vector<Point>{{-50, 96}, {50, 96}, {150, 96}, {250, 96}, {350, 96}}));
  EXPECT_NEAR(view->largeTickLayer()->maskingLayer()->path()->controlBounds().height(), 4, 1e-9);
  EXPECT_TRUE(inTree(view->smallTickLayer()->gradientLayer(), *view));

  view->tickOptions().numberOfTicks = 1;
  view->setAxisX(nullptr);
  EXPECT_EQ(dotCentres(*view->largeTickLayer()), (std::vector<Point>{{2, 96}}));
  EXPECT_TRUE(view->smallTickLayer()->maskingLayer()->path()->isEmpty());

  const auto former = view->largeTickLayer();
  view->tickOptions().numberOfTicks = 0;
  view->setAxisX(nullptr);
  EXPECT_FALSE(inTree(former->gradientLayer(), *view));
}

// Minimum, half and maximum at the right edge, 128 wide and as high as the font's size.
TEST(GraphLabelTest, TextsAndFrames) {
  const auto view = graphtest::graphView(300, 100);
  view->setUnit("%");
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"0 %", "50 %", "100 %"}));
  const double textHeight =
      platform::TextMeasurer::boundingSize("0 %", {.font = view->fontOptions().font}, {128, 96}).height;
  const auto& labels = view->textLayers();
  platform::test::expectRectNear(labels[0]->frame(), {168, 100 - 4 - textHeight, 128, 13});
  platform::test::expectRectNear(labels[1]->frame(), {168, 50 - textHeight / 2, 128, 13});
  platform::test::expectRectNear(labels[2]->frame(), {168, 4, 128, 13});
  EXPECT_EQ(labels[0]->foregroundColor(), (platform::Rgba{0, 0, 0, 1}));

  // An empty unit leaves the blank; the text scale multiplies; the range is read at each pass.
  view->setUnit("");
  view->setAutoGraphModeTextScale(2);
  view->setMinValue(37);
  view->fontOptions().showHalfValue = false;
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"60 ", "200 "}));

  view->setAppearance(platform::Appearance(std::string(platform::Appearance::darkAqua)));
  EXPECT_EQ(view->textLayers()[0]->foregroundColor(), (platform::Rgba{1, 1, 1, 1}));
  EXPECT_EQ(view->textLayers().size(), 2u);
  view->setLabelsEnabled(false);
  EXPECT_TRUE(view->textLayers().empty());
  EXPECT_EQ(view->layer()->sublayers()->size(), 2u) << "grid and bottom line only";
}

// In the speed modes every label reads in the unit the maximum chose, even one below that unit's step.
TEST(GraphLabelTest, SpeedModeLabelsReadInTheUnitOfTheMaximum) {
  const auto view = graphtest::graphView(300, 100);
  view->setAutoGraphMode(Tavrix::AutoGraphMode::byteSpeed);
  view->setMaxValue(1500000);
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"0 MB/s", "1 MB/s", "1 MB/s"}));
  view->setAutoGraphMode(Tavrix::AutoGraphMode::bitSpeed);
  view->setMaxValue(250000);
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"0 Mb/s", "1 Mb/s", "2 Mb/s"}));
  // A maximum no speed can be still gives texts.
  view->setScaleMode(Tavrix::ScaleMode::none);
  view->setMaxValue(-2048);
  view->refresh();
  EXPECT_EQ(labelTexts(*view), (std::vector<std::string>{"0 Mb/s", "-8192 Mb/s", "-16384 Mb/s"}));
}

}  // namespace
