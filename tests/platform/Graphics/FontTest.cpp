#include <gtest/gtest.h>

#include <cmath>
#include <stdexcept>

#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"

namespace platform::test {
namespace {

TextAttributes attributesOf(double size, FontWeight weight = FontWeight::regular) {
  return {Font::systemFont(size, weight), {0, 0, 0, 1}, TextAlignment::natural};
}

TEST(Font, SystemFontAtASizeAndWeightWithThePlatformsMetricSigns) {
  const auto font = Font::systemFont(20, FontWeight::medium);
  EXPECT_EQ(font->family(), "DejaVu Sans");
  EXPECT_EQ(*font->withSize(13), *Font::systemFont(13, FontWeight::medium));
  EXPECT_EQ(Font::boldSystemFont(9)->weight(), FontWeight::bold);
  for (const double bad : {0.0, -3.0, std::nan(""), Font::largestSize * 2}) {
    EXPECT_THROW(Font::systemFont(bad), std::invalid_argument) << bad;
  }
  EXPECT_GT(font->ascender(), 10);
  EXPECT_LT(font->descender(), 0);
  EXPECT_DOUBLE_EQ(font->lineHeight(), font->ascender() - font->descender() + font->leading());
  EXPECT_NEAR(Font::systemFont(40)->ascender(), 2 * Font::systemFont(20)->ascender(), 0.05);
}

TEST(TextMeasurer, LinesAreTheLineHeightHighAndWidthsScaleWithoutHinting) {
  const TextAttributes attributes = attributesOf(12);
  const double line = Font::systemFont(12)->lineHeight();
  const Size word = TextMeasurer::size("word", attributes);
  EXPECT_NEAR(word.height, line, 0.01);
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

}  // namespace
}  // namespace platform::test
