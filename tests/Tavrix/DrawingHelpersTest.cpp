#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>

#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "Platform/Graphics/Transaction.hpp"
#include "Tavrix/Controls/CATransaction.hpp"
#include "Tavrix/Controls/OverlayMasked.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace Tavrix {
namespace {

using platform::Rect;
using platform::test::expectRgba;

TEST(TransactionHelper, DisablesActionsForTheBodyAndCommitsWhenItThrows) {
  EXPECT_FALSE(platform::Transaction::disableActions());
  bool inside = false;
  CATransaction::performWithoutAnimation([&inside] { inside = platform::Transaction::disableActions(); });
  EXPECT_TRUE(inside);
  EXPECT_FALSE(platform::Transaction::disableActions());
  EXPECT_THROW(CATransaction::performWithoutAnimation([] { throw std::runtime_error("body"); }),
               std::runtime_error);
  EXPECT_FALSE(platform::Transaction::disableActions());
  // No transaction was left open.
  EXPECT_THROW(platform::Transaction::commit(), std::logic_error);
}

TEST(MaskedOverlay, PaintsTheOverlayInTheShapeOfTheContent) {
  auto image = platform::Image::create({20, 10});
  {
    platform::ImageFocus focus(*image);
    overlayMasked(
        focus.context(),
        [](platform::GraphicsContext& context) {
          context.setFillColor({0, 0, 1, 0.5});
          context.fillRect(Rect(0, 0, 10, 10));
        },
        [](platform::GraphicsContext& context) {
          context.setFillColor({0, 1, 0, 1});
          context.fillRect(Rect(0, 0, 20, 10));
        });
  }
  // The content's colour never shows, only its coverage.
  expectRgba(image->pixel(5, 5), {0, 0.5, 0, 0.5});
  expectRgba(image->pixel(15, 5), {0, 0, 0, 0});
}

}  // namespace
}  // namespace Tavrix
