#include <gtest/gtest.h>

#include <memory>

#include "Platform/Graphics/BasicAnimation.hpp"
#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "Platform/Graphics/MediaClock.hpp"
#include "Platform/Graphics/Snapshot.hpp"
#include "Platform/Graphics/TextLayer.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
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
  addText(*root, Rect(10, 10, 80, 40), "Hg Wy", 20);
  const InkBox ink = inkBox(*Snapshot::image(*root));
  ASSERT_FALSE(ink.isEmpty());
  // The frame covers columns 10...89 and rows 10...49 from the top.
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 89);
  EXPECT_GE(ink.top, 10);
  EXPECT_LE(ink.bottom, 49);
  // First line from the top: the capitals start within a few points of the top edge, and one line of
  // 20-point text ends well above the bottom edge.
  EXPECT_LE(ink.top, 10 + 8);
  EXPECT_LE(ink.bottom, 10 + static_cast<int>(Font::systemFont(20)->lineHeight()) + 1);
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

TEST(RenderText, TextIsClippedToTheBounds) {
  auto root = canvas(100, 60);
  addText(*root, Rect(10, 20, 30, 10), "Wide text that overflows", 24);
  const InkBox ink = inkBox(*Snapshot::image(*root), 0);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_GE(ink.left, 10);
  EXPECT_LE(ink.right, 39);
  EXPECT_GE(ink.top, 30);
  EXPECT_LE(ink.bottom, 39);
}

TEST(RenderText, WrappedTextBreaksIntoLinesWithinTheWidth) {
  auto root = canvas(60, 100);
  auto text = addText(*root, Rect(0, 0, 60, 100), "one two three four", 14);
  const InkBox single = inkBox(*Snapshot::image(*root));
  text->setWrapped(true);
  const InkBox wrapped = inkBox(*Snapshot::image(*root));
  EXPECT_GT(wrapped.bottom - wrapped.top, 2 * (single.bottom - single.top));
  EXPECT_LE(wrapped.right, 59);
}

TEST(RenderText, TruncationShortensALineToTheWidth) {
  auto root = canvas(200, 30);
  auto text = addText(*root, Rect(0, 0, 80, 30), "A long line of text", 14);
  text->setTruncationMode(TruncationMode::end);
  const InkBox ink = inkBox(*Snapshot::image(*root), 0);
  EXPECT_LE(ink.right, 79);
  EXPECT_GT(ink.right, 40);
}

TEST(RenderText, NothingDrawsWithoutAColourOrAUsableSize) {
  auto root = canvas(40, 40);
  auto text = addText(*root, Rect(0, 0, 40, 40), "A");
  text->setForegroundColor(std::nullopt);
  EXPECT_TRUE(inkBox(*Snapshot::image(*root), 0).isEmpty());
  text->setForegroundColor(opaqueBlack);
  text->setFontSize(0);
  EXPECT_TRUE(inkBox(*Snapshot::image(*root), 0).isEmpty());
  text->setFontSize(1e9);
  EXPECT_TRUE(inkBox(*Snapshot::image(*root), 0).isEmpty());
}

TEST(RenderText, FontSizeIsReadAtTheRenderTime) {
  MediaClock::set(10);
  auto root = canvas(100, 100);
  auto text = addText(*root, Rect(0, 0, 100, 100), "H", 10);
  BasicAnimation grow;
  grow.keyPath = "fontSize";
  grow.toValue = 40.0;
  grow.duration = 1;
  grow.fillMode = FillMode::forwards;
  grow.removedOnCompletion = false;
  text->addAnimation(grow, "grow");
  const InkBox small = inkBox(*Snapshot::image(*root, 1, RenderTime::model()));
  const InkBox large = inkBox(*Snapshot::image(*root));
  EXPECT_NEAR(static_cast<double>(large.bottom - large.top + 1) / (small.bottom - small.top + 1), 4, 0.6);
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

TEST(RenderText, DrawingAtAPointPutsTheTextAboveItInAYUpSpace) {
  const TextAttributes attributes{Font::systemFont(12), opaqueBlack, TextAlignment::natural};
  const Size size = TextMeasurer::size("Hp", attributes);
  auto image = Image::create({60, 60});
  {
    ImageFocus focus(*image);
    TextRenderer::draw(focus.context(), "Hp", attributes, Point{10, 20});
  }
  const InkBox ink = inkBox(*image);
  // Point y 20 is row 40 from the top; the text's box reaches up from it by its height.
  EXPECT_LE(ink.bottom, 40);
  EXPECT_GE(ink.top, 40 - static_cast<int>(size.height) - 1);
  EXPECT_GE(ink.left, 10);
}

}  // namespace
}  // namespace platform::test
