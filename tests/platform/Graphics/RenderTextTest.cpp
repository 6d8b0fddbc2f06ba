#include <gtest/gtest.h>

#include <memory>

#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "Platform/Graphics/Snapshot.hpp"
#include "Platform/Graphics/TextLayer.hpp"
#include "Platform/Graphics/TextRenderer.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace platform::test {
namespace {

std::shared_ptr<TextLayer> addText(Layer& parent, const Rect& frame, std::string text, double size = 20) {
  auto layer = std::make_shared<TextLayer>();
  layer->setFrame(frame);
  layer->setString(std::move(text));
  layer->setFontSize(size);
  layer->setForegroundColor(opaqueBlack);
  parent.addSublayer(layer);
  return layer;
}

// Rows are counted from the top of the image.
bool topRowIsWiderThanBottomRow(const Image& image) {
  const InkBox box = inkBox(image);
  return inkInRow(image, box.top + 1) > 2 * inkInRow(image, box.bottom - 1);
}

TEST(RenderText, InkStaysInsideTheBoundsFromTheirTopEdge) {
  auto root = canvas(100, 60);
  auto text = addText(*root, Rect(10, 10, 80, 40), "Hg Wy", 20);
  InkBox ink = inkBox(*Snapshot::image(*root));
  ASSERT_FALSE(ink.isEmpty());
  // The frame covers columns 10...89 and rows 10...49 from the top. The first line starts at the top: the
  // capitals within a few points of the edge, the descenders within one line height of it.
  EXPECT_GE(ink.left, 10);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.top, 10 + 8);
  EXPECT_LE(ink.bottom, 10 + static_cast<int>(Font::systemFont(20)->lineHeight()) + 1);

  // Text too large for the bounds is clipped to them.
  text->setString("Wide text that overflows");
  text->setFontSize(60);
  ink = inkBox(*Snapshot::image(*root), 0);
  EXPECT_GE(ink.left, 10);
  EXPECT_EQ(ink.right, 89);
  EXPECT_GE(ink.top, 10);
  EXPECT_EQ(ink.bottom, 49);
}

TEST(RenderText, TextIsUprightInYUpAndFlippedTrees) {
  auto root = canvas(40, 40);
  addText(*root, Rect(0, 0, 40, 40), "T", 30);
  const auto upright = Snapshot::image(*root);
  EXPECT_TRUE(topRowIsWiderThanBottomRow(*upright));
  EXPECT_LE(inkBox(*upright).top, 8);

  root->setGeometryFlipped(true);
  const auto flipped = Snapshot::image(*root);
  EXPECT_TRUE(topRowIsWiderThanBottomRow(*flipped));
  EXPECT_LE(inkBox(*flipped).top, 8);
}

TEST(RenderText, AlignmentPlacesTheLineAcrossTheBounds) {
  auto root = canvas(100, 30);
  auto text = addText(*root, Rect(0, 0, 100, 30), "III", 20);
  const InkBox natural = inkBox(*Snapshot::image(*root));
  text->setAlignmentMode(TextAlignment::right);
  const InkBox right = inkBox(*Snapshot::image(*root));
  text->setAlignmentMode(TextAlignment::center);
  const InkBox centered = inkBox(*Snapshot::image(*root));

  EXPECT_LE(natural.left, 5);
  EXPECT_GE(right.right, 94);
  EXPECT_NEAR((centered.left + centered.right) / 2.0, 49.5, 2);
  EXPECT_EQ(natural.right - natural.left, right.right - right.left);
}

TEST(RenderText, DrawingInARectKeepsOnlyTheLinesThatFit) {
  const TextAttributes attributes{Font::systemFont(10), opaqueBlack, TextAlignment::natural};
  const double line = Font::systemFont(10)->lineHeight();
  auto image = Image::create({60, 60});
  {
    ImageFocus focus(*image);
    // Three words that wrap into three lines, in a box one and a half lines high at the top of the image.
    TextRenderer::draw(focus.context(), "Alpha Bravo Delta", attributes,
                       Rect(0, 60 - 1.5 * line, 40, 1.5 * line));
  }
  const InkBox ink = inkBox(*image);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_LE(ink.top, 3);
  EXPECT_LE(ink.bottom, static_cast<int>(line) + 1);
}

}  // namespace
}  // namespace platform::test
