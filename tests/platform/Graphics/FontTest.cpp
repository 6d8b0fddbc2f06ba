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

TEST(Font, SystemFontIsDejaVuSansAtTheSizeAndWeight) {
  const auto font = Font::systemFont(13, FontWeight::medium);
  EXPECT_EQ(font->family(), "DejaVu Sans");
  EXPECT_EQ(font->pointSize(), 13);
  EXPECT_EQ(font->weight(), FontWeight::medium);
  EXPECT_EQ(Font::boldSystemFont(9)->weight(), FontWeight::bold);
  const auto larger = font->withSize(20);
  EXPECT_EQ(larger->pointSize(), 20);
  EXPECT_EQ(larger->weight(), FontWeight::medium);
  EXPECT_EQ(*larger, *Font::systemFont(20, FontWeight::medium));
}

TEST(Font, SizesOutsideTheRangeAreRejected) {
  EXPECT_THROW(Font::systemFont(0), std::invalid_argument);
  EXPECT_THROW(Font::systemFont(-3), std::invalid_argument);
  EXPECT_THROW(Font::systemFont(std::nan("")), std::invalid_argument);
  EXPECT_THROW(Font::systemFont(Font::largestSize * 2), std::invalid_argument);
  EXPECT_THROW(Font::systemFont(12)->withSize(0), std::invalid_argument);
}

TEST(Font, MetricsFollowThePlatformsSigns) {
  const auto font = Font::systemFont(20);
  EXPECT_GT(font->ascender(), 10);
  EXPECT_LT(font->descender(), 0);
  EXPECT_GE(font->leading(), 0);
  EXPECT_DOUBLE_EQ(font->lineHeight(), font->ascender() - font->descender() + font->leading());
  EXPECT_NEAR(Font::systemFont(40)->ascender(), 2 * font->ascender(), 0.05);
}

TEST(TextMeasurer, OneLineIsTheLineHeightHighAndGrowsWithTheText) {
  const Size one = TextMeasurer::size("M", attributesOf(12));
  const Size two = TextMeasurer::size("MM", attributesOf(12));
  EXPECT_GT(one.width, 0);
  EXPECT_NEAR(two.width, 2 * one.width, 0.01);
  EXPECT_NEAR(one.height, Font::systemFont(12)->lineHeight(), 0.01);
  EXPECT_EQ(TextMeasurer::size("", attributesOf(12)), (Size{0, 0}));
  // No hinting: sizes scale with the font size.
  EXPECT_NEAR(TextMeasurer::size("Measured", attributesOf(24)).width,
              2 * TextMeasurer::size("Measured", attributesOf(12)).width, 0.05);
  EXPECT_GT(TextMeasurer::size("Measured", attributesOf(12, FontWeight::bold)).width,
            TextMeasurer::size("Measured", attributesOf(12)).width);
}

TEST(TextMeasurer, BoundingWidthWrapsWordsIntoMoreLines) {
  const TextAttributes attributes = attributesOf(12);
  const double line = Font::systemFont(12)->lineHeight();
  const Size word = TextMeasurer::size("word", attributes);
  const Size wrapped = TextMeasurer::boundingSize("word word word", attributes, {word.width * 1.5, 1});
  EXPECT_NEAR(wrapped.height, 3 * line, 0.01);
  EXPECT_NEAR(wrapped.width, word.width, 0.01);
  EXPECT_NEAR(TextMeasurer::size("a\nb", attributes).height, 2 * line, 0.01);
  // Unbounded widths keep one line per paragraph.
  EXPECT_NEAR(TextMeasurer::boundingSize("word word word", attributes, {-1, -1}).height, line, 0.01);
}

TEST(TextMeasurer, DefaultAttributesUseTheTwelvePointSystemFont) {
  EXPECT_EQ(TextMeasurer::size("Default", TextAttributes{}), TextMeasurer::size("Default", attributesOf(12)));
}

}  // namespace
}  // namespace platform::test
