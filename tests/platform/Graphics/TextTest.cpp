#include <gtest/gtest.h>

#include <cmath>
#include <memory>
#include <stdexcept>
#include <string>

#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "Platform/Graphics/Snapshot.hpp"
#include "Platform/Graphics/TextLayer.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Platform/Graphics/TextRenderer.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace platform::test {
namespace {

TextAttributes attributesOf(double size, FontWeight weight = FontWeight::regular) {
  return {Font::systemFont(size, weight), opaqueBlack, TextAlignment::natural};
}

std::shared_ptr<TextLayer> addText(Layer& parent, const Rect& frame, std::string text, double size) {
  auto layer = std::make_shared<TextLayer>();
  layer->setFrame(frame);
  layer->setString(std::move(text));
  layer->setFontSize(size);
  layer->setForegroundColor(opaqueBlack);
  parent.addSublayer(layer);
  return layer;
}

TEST(Font, SystemFontAtASizeAndWeight) {
  const auto font = Font::systemFont(20, FontWeight::medium);
  EXPECT_EQ(font->family(), "DejaVu Sans");
  EXPECT_EQ(*font->withSize(13), *Font::systemFont(13, FontWeight::medium));
  EXPECT_EQ(Font::boldSystemFont(9)->weight(), FontWeight::bold);
  for (const double bad : {0.0, -3.0, std::nan(""), Font::largestSize * 2}) {
    EXPECT_THROW(Font::systemFont(bad), std::invalid_argument) << bad;
  }
}

TEST(TextMeasurer, LinesAreTheLineHeightHighAndWidthsScaleWithoutHinting) {
  const TextAttributes attributes = attributesOf(12);
  const Size word = TextMeasurer::size("word", attributes);
  const double line = word.height;
  EXPECT_GT(line, 12);  // a line is the size plus the font's ascender and descender room
  EXPECT_NEAR(TextMeasurer::size("wordword", attributes).width, 2 * word.width, 0.01);
  EXPECT_NEAR(TextMeasurer::size("word", attributesOf(24)).width, 2 * word.width, 0.05);
  EXPECT_GT(TextMeasurer::size("word", attributesOf(12, FontWeight::bold)).width, word.width);
  EXPECT_EQ(TextMeasurer::size("word", TextAttributes{}), word);
  EXPECT_EQ(TextMeasurer::size("", attributes), (Size{0, 0}));
  // Words wrap at a bounding width; paragraphs always break; an unbounded width keeps one line.
  const Size wrapped = TextMeasurer::boundingSize("word word word", attributes, {word.width * 1.5, 1});
  EXPECT_NEAR(wrapped.height, 3 * line, 0.01);
  EXPECT_NEAR(wrapped.width, word.width, 0.01);
  EXPECT_NEAR(TextMeasurer::size("a\nb", attributes).height, 2 * line, 0.01);
  EXPECT_NEAR(TextMeasurer::boundingSize("word word word", attributes, {-1, -1}).height, line, 0.01);
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
  EXPECT_LE(ink.bottom, 10 + static_cast<int>(TextMeasurer::size("Hg", attributesOf(20)).height) + 1);

  // Text too large for the bounds is clipped to them.
  text->setString("Wide text that overflows");
  text->setFontSize(60);
  ink = inkBox(*Snapshot::image(*root), 0);
  EXPECT_GE(ink.left, 10);
  EXPECT_EQ(ink.right, 89);
  EXPECT_GE(ink.top, 10);
  EXPECT_EQ(ink.bottom, 49);

  // Drawn in a rectangle, only the lines that fit are kept: three words wrap into three lines in a box one
  // and a half lines high at the top of the image.
  const double line = TextMeasurer::size("A", attributesOf(10)).height;
  auto image = Image::create({60, 60});
  {
    ImageFocus focus(*image);
    TextRenderer::draw(focus.context(), "Alpha Bravo Delta", attributesOf(10),
                       Rect(0, 60 - 1.5 * line, 40, 1.5 * line));
  }
  ink = inkBox(*image);
  ASSERT_FALSE(ink.isEmpty());
  EXPECT_LE(ink.top, 3);
  EXPECT_LE(ink.bottom, static_cast<int>(line) + 1);
}

TEST(RenderText, TextIsUprightInYUpAndFlippedTrees) {
  auto root = canvas(40, 40);
  addText(*root, Rect(0, 0, 40, 40), "T", 30);
  for (const bool flipped : {false, true}) {
    root->setGeometryFlipped(flipped);
    const auto image = Snapshot::image(*root);
    const InkBox box = inkBox(*image);
    // Rows count from the top: a T's bar is more than twice as wide as its stem.
    EXPECT_GT(inkInRow(*image, box.top + 1), 2 * inkInRow(*image, box.bottom - 1)) << "flipped " << flipped;
    EXPECT_LE(box.top, 8) << "flipped " << flipped;
  }
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

}  // namespace
}  // namespace platform::test
