#include <gtest/gtest.h>

#include "Bexlan/StringDrawing.hpp"
#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace Bexlan {
namespace {

// A full block fills its line from the descender to the ascender, so its ink is centred where its line is.
TEST(DrawVerticallyCentered, TheInksMiddleIsTheRectanglesMiddle) {
  const platform::TextAttributes attributes{platform::Font::systemFont(20), {0, 0, 0, 1}};
  for (const platform::Rect rect :
       {platform::Rect(10, 10, 60, 80), platform::Rect(0, 37, 30, 41), platform::Rect(5, 60, 80, 10)}) {
    auto image = platform::Image::create({100, 100});
    {
      platform::ImageFocus focus(*image);
      String::drawVerticallyCentered("\u2588", rect, attributes);
    }
    const auto ink = platform::test::inkBox(*image, 0.5);
    ASSERT_FALSE(ink.isEmpty());
    // Rows count from the top of the 100-point image: the rectangle's middle is at 100 - midY.
    EXPECT_NEAR((ink.top + ink.bottom + 1) / 2.0, 100 - rect.midY(), 1.0) << ink.top << "-" << ink.bottom;
    EXPECT_GE(ink.left, rect.origin.x);
  }
  String::drawVerticallyCentered("text", platform::Rect(0, 0, 10, 10));  // no current context: nothing
}

}  // namespace
}  // namespace Bexlan
