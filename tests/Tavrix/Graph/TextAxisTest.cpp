#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Graph/TextAxis.hpp"

namespace Tavrix {
namespace {

struct TextAxisTest : testing::Test {
  std::shared_ptr<platform::Layer> layer = std::make_shared<platform::Layer>();
  TextAxis axis;

  void drawCentered(double width, std::vector<std::string> texts) {
    layer->setFrame({0, 0, width, 100});
    axis.setAlignMode(TextAlignMode::centered);
    axis.setFillLabel(true);
    axis.setTexts(std::move(texts));
    axis.draw(layer, 1);
  }
};

TEST_F(TextAxisTest, EvenlyAnchorsTheEndsAndCentresTheOthers) {
  layer->setFrame({0, 0, 300, 100});
  axis.setTexts({"Mon", "Tue", "Wed"});
  axis.draw(layer, 1);
  const auto& labels = axis.layers();
  ASSERT_EQ(labels.size(), 3u);
  EXPECT_EQ(labels[0]->frame().minX(), 2);
  EXPECT_EQ(labels[0]->alignmentMode(), platform::TextAlignment::left);
  EXPECT_DOUBLE_EQ(labels[1]->frame().midX(), 149.5);
  EXPECT_DOUBLE_EQ(labels[2]->frame().maxX(), 298);
  EXPECT_EQ(labels[2]->alignmentMode(), platform::TextAlignment::right);
  EXPECT_DOUBLE_EQ(labels[1]->frame().midY(), 88);
  EXPECT_EQ(axis.height(), 24);
}

TEST_F(TextAxisTest, CentredBackgroundsFillShiftedSlots) {
  axis.setDetails({"one", "two"});  // one short of the texts: ignored
  drawCentered(100, {"A", "B", "C"});
  EXPECT_EQ(axis.height(), 36);
  const platform::Rect expected[] = {{2, 64, 33, 36}, {35, 64, 33, 36}, {68, 64, 34, 36}};
  ASSERT_EQ(axis.fillLayers().size(), 3u);
  for (int i = 0; i < 3; ++i) {
    EXPECT_EQ(axis.fillLayers()[i]->path()->tightBounds(), expected[i]) << i;
  }
  ASSERT_EQ(axis.layers().size(), 3u);
  EXPECT_DOUBLE_EQ(axis.layers()[1]->frame().midY(), 82);
  EXPECT_DOUBLE_EQ(axis.layers()[1]->frame().width(), 100.0 / 3);
}

TEST_F(TextAxisTest, EmptyTextKeepsItsSlotAndDetailsFollowTheirLabel) {
  axis.setDetails({"1", std::nullopt, "3"});
  drawCentered(90, {"A", "", "C"});
  EXPECT_EQ(axis.fillLayers().size(), 2u);
  // A, its detail, A again; then C, its detail, C again.
  ASSERT_EQ(axis.layers().size(), 6u);
  EXPECT_EQ(axis.layers()[3]->string(), "C");
  EXPECT_EQ(axis.layers()[3]->frame().minX(), 60);
  EXPECT_EQ(axis.layers()[4]->string(), "3");
  EXPECT_EQ(axis.layers()[4]->fontSize(), 10);
  EXPECT_EQ(axis.layers()[4]->frame().minY(), axis.layers()[3]->frame().maxY() + 2);
}

TEST_F(TextAxisTest, SelectionFadesBothSlotsOverFourTenths) {
  axis.setSelectedIndex(1);
  drawCentered(90, {"A", "B", "C"});
  const platform::Rgba black = platform::Color::black()->rgba();
  EXPECT_EQ(axis.fillLayers()[1]->fillColor(), black);
  axis.setSelectedIndex(2);
  const struct { platform::Layer* layer; const char* key; platform::Rgba to; } expected[] = {
      {axis.fillLayers()[1].get(), "fillColor", SystemColors::separatorColor()->rgba()},
      {axis.layers()[1].get(), "foregroundColor", SystemColors::secondaryLabelColor()->rgba()},
      {axis.fillLayers()[2].get(), "fillColor", black},
      {axis.layers()[2].get(), "foregroundColor", platform::Color::white()->rgba()},
  };
  for (const auto& animated : expected) {
    const std::optional<platform::BasicAnimation> animation = animated.layer->animation(animated.key);
    ASSERT_TRUE(animation) << animated.key;
    EXPECT_EQ(animation->duration, 0.4);
    EXPECT_EQ(animation->timingFunction,
              platform::TimingFunction::named(platform::TimingFunctionName::easeInEaseOut));
    const double end = animation->beginTime + 0.4;
    const auto shown = std::get<platform::Rgba>(*animated.layer->presentationValue(animated.key, end + 10));
    for (auto component : {&platform::Rgba::red, &platform::Rgba::green, &platform::Rgba::blue, &platform::Rgba::alpha}) {
      EXPECT_NEAR(shown.*component, animated.to.*component, 1e-9) << animated.key;
    }
  }
  EXPECT_TRUE(axis.fillLayers()[0]->animationKeys().empty());
}

TEST_F(TextAxisTest, SlotEndsAreWholeStepsAndTheLastIsTheEdge) {
  axis.setTexts({"only"});
  EXPECT_EQ(axis.slotEnd(0, {0, 0, 99.5, 10}), 99.5);
  axis.setTexts({"a", "b", "c"});
  EXPECT_EQ(axis.slotEnd(-1, {0, 0, 100, 10}), 33);
  EXPECT_EQ(axis.slotEnd(1, {0, 0, 100, 10}), 66);
  drawCentered(100, {"a", "b", "c"});
  axis.draw(nullptr, 1);  // without a layer the old labels and backgrounds still go
  EXPECT_TRUE(layer->sublayers()->empty());
}

}  // namespace
}  // namespace Tavrix
