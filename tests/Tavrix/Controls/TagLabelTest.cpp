#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <optional>
#include <string>

#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/Snapshot.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Controls/TagLabel.hpp"
#include "Tavrix/Controls/VerticallyAlignedTextLayer.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace Tavrix {
namespace {

using platform::Rect;

// Every text measures 40.6 x 15.2.
struct FixedMeasure {
  int calls = 0;
  platform::TextMeasurer::Override override{
      [this](std::string_view, const platform::TextAttributes&, platform::Size) {
        ++calls;
        return platform::Size{40.6, 15.2};
      }};
};

// The constants of the label's constraints with the identifier, in order.
std::vector<double> constants(const TagLabel& label, const std::string& identifier) {
  std::vector<double> found;
  for (const auto& constraint : label.constraints()) {
    if (constraint->identifier() == identifier) found.push_back(constraint->constant());
  }
  return found;
}

// The width of the progress fill's rectangle, or nothing when no fill is showing.
std::optional<double> fillWidth(const TagLabel& label) {
  const auto& fill = label.progressLayer();
  if (!fill || !fill->superlayer()) return std::nullopt;
  return fill->path()->tightBounds().width();
}

TEST(TagLabel, SizesItselfToTheMeasuredTextThroughOneWidthAndOneHeightConstraint) {
  FixedMeasure measure;
  auto label = platform::View::create<TagLabel>(Rect(0, 0, 60, 20));
  EXPECT_TRUE(constants(*label, "width").empty());  // creation does not update
  label->setStringValue("12 %");
  label->update();
  EXPECT_EQ(constants(*label, "width"), std::vector<double>{53});
  EXPECT_EQ(constants(*label, "height"), std::vector<double>{20});
  label->setOffset(10);
  EXPECT_EQ(constants(*label, "width"), std::vector<double>{61});
  EXPECT_EQ(label->layer()->cornerRadius(), 4);
  EXPECT_TRUE(label->layer()->masksToBounds());
  EXPECT_FALSE(label->translatesAutoresizingMaskIntoConstraints());

  // Switched off, the constraints stay as they are, while colours and fill still follow.
  label->setAutoCalculateSize(false);
  const int measured = measure.calls;
  label->setOffset(30);
  label->setColor(SystemColors::systemRed());
  label->setProgress(0.5);
  EXPECT_EQ(measure.calls, measured);
  EXPECT_EQ(constants(*label, "width"), std::vector<double>{61});
  EXPECT_EQ(label->textColor(), SystemColors::systemRed());
  EXPECT_EQ(label->layer()->backgroundColor(), SystemColors::systemRed()->withAlphaComponent(0.22)->rgba());
  EXPECT_EQ(fillWidth(*label), 30);
  // Setting it back changes nothing until the next update.
  label->setAutoCalculateSize(true);
  EXPECT_EQ(constants(*label, "width"), std::vector<double>{61});
  label->update();
  EXPECT_EQ(constants(*label, "width"), std::vector<double>{101});
}

TEST(TagLabel, AnEmptyTextIsThirteenWideWithTheDefaultOffset) {
  auto label = platform::View::create<TagLabel>(Rect(0, 0, 60, 20));
  label->setStringValue("");
  EXPECT_EQ(constants(*label, "width"), std::vector<double>{13});
  label->setFont(nullptr);  // no font measures nothing
  label->setHeightOffset(4);
  EXPECT_EQ(constants(*label, "height"), std::vector<double>{5});
}

TEST(TagLabel, FillsTheClampedProgressOfItsWidth) {
  auto label = platform::View::create<TagLabel>(Rect(0, 0, 80, 20));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const auto& [progress, width] : {std::pair{1.5, 80.0}, {-0.2, 0.0}, {nan, 0.0}, {0.25, 20.0}}) {
    label->setProgress(progress);
    EXPECT_EQ(fillWidth(*label), width) << progress;
    EXPECT_EQ(label->layer()->sublayers()->size(), 1u) << "one fill at a time";
  }
  EXPECT_EQ(label->progressLayer()->fillColor(),
            SystemColors::systemGreen()->withAlphaComponent(0.25)->rgba());
  label->setProgress(std::nullopt);
  EXPECT_EQ(fillWidth(*label), std::nullopt);
}

TEST(VerticallyAlignedTextLayer, CentresALineOfTwelvePointsInAFortyPointLayer) {
  auto root = platform::test::canvas(100, 40);
  auto text = std::make_shared<VerticallyAlignedTextLayer>();
  text->setFrame(Rect(0, 0, 100, 40));
  text->setString("Hg");
  text->setFontSize(12);
  text->setForegroundColor(platform::Rgba{0, 0, 0, 1});
  root->addSublayer(text);
  const auto ink = platform::test::inkBox(*platform::Snapshot::image(*root));
  ASSERT_FALSE(ink.isEmpty());
  // Moved down 12.8 points from the top, the line's ink lies between rows 12 and 28.
  EXPECT_GE(ink.top, 14);  // and not at the top, where a plain text layer draws
  EXPECT_LE(ink.bottom, 28);
}

}  // namespace
}  // namespace Tavrix
