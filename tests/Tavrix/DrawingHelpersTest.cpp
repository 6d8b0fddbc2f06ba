#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "Platform/Graphics/Transaction.hpp"
#include "Platform/UI/View.hpp"
#include "Tavrix/Controls/CATransaction.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSImage.hpp"
#include "Tavrix/Controls/NSView.hpp"
#include "Tavrix/Controls/OverlayMasked.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace Tavrix {
namespace {

using platform::Appearance;
using platform::Rect;
using platform::Rgba;
using platform::test::expectRgba;

// A 10 x 10 template whose left half is opaque black.
std::shared_ptr<const platform::Image> halfCoveredTemplate() {
  auto image = platform::Image::create({10, 10});
  {
    platform::ImageFocus focus(*image);
    focus.context().setFillColor({0, 0, 0, 1});
    focus.context().fillRect(Rect(0, 0, 5, 10));
  }
  image->setTemplate(true);
  return image;
}

// The pixels of tinting and resizing are the image's own; the helper tints templates only.
TEST(ImageHelpers, TintPaintsTemplatesOnly) {
  const auto symbol = halfCoveredTemplate();
  const auto tinted = NSImage::tinted(symbol, platform::Color::red());
  ASSERT_NE(tinted, symbol);
  EXPECT_FALSE(tinted->isTemplate());
  expectRgba(tinted->pixel(2, 5), {1, 0, 0, 1});
  EXPECT_EQ(NSImage::tinted(tinted, platform::Color::green()), tinted);
  EXPECT_THROW(NSImage::tinted(symbol, nullptr), std::invalid_argument);
}

// Dark at the end and inside the name, light plain and with the other words.
TEST(Darkness, EveryAppearanceWithDarkInItsNameIsDark) {
  for (const auto& [name, isDark] :
       std::vector<std::pair<std::string_view, bool>>{{Appearance::vibrantDark, true},
                                                      {Appearance::highContrastDarkAqua, true},
                                                      {Appearance::aqua, false},
                                                      {Appearance::highContrastVibrantLight, false}}) {
    platform::AppearanceScope scope(Appearance{std::string(name)});
    EXPECT_EQ(isDarkMode(), isDark) << name;
    auto view = platform::View::create();
    view->setAppearance(Appearance{std::string(name)});
    EXPECT_EQ(NSView::isDark(*view), isDark) << name;
  }
  // isDark follows the view, isDarkMode the thread.
  auto view = platform::View::create();
  platform::AppearanceScope scope(Appearance{std::string(Appearance::darkAqua)});
  EXPECT_FALSE(NSView::isDark(*view));
}

TEST(ViewHelpers, PinToSuperviewAddsFourZeroConstraintsOrNothing) {
  auto lonely = platform::View::create(Rect(0, 0, 10, 10));
  NSView::pinToSuperview(*lonely);
  EXPECT_TRUE(lonely->translatesAutoresizingMaskIntoConstraints());
  EXPECT_TRUE(lonely->constraints().empty());

  auto parent = platform::View::create(Rect(0, 0, 80, 60));
  auto child = platform::View::create(Rect(5, 5, 10, 10));
  parent->addSubview(child);
  NSView::pinToSuperview(*child);
  EXPECT_FALSE(child->translatesAutoresizingMaskIntoConstraints());
  EXPECT_EQ(parent->constraints().size(), 4u);
  // Laid out, the four active zero constraints give the child the parent's bounds.
  parent->layoutSubtreeIfNeeded();
  EXPECT_EQ(child->frame(), parent->bounds());

  NSView::removeAllSubviews(*parent);
  EXPECT_TRUE(parent->subviews().empty());
  EXPECT_FALSE(child->superview());
  EXPECT_TRUE(parent->constraints().empty());
}

TEST(ViewHelpers, RoundCornersAndBackgroundsMakeTheViewLayerBacked) {
  auto view = platform::View::create(Rect(0, 0, 10, 10));
  NSView::roundCorners(*view);
  ASSERT_NE(view->layer(), nullptr);
  EXPECT_EQ(view->layer()->cornerRadius(), 8);

  platform::AppearanceScope dark(Appearance{std::string(Appearance::darkAqua)});
  NSView::roundCorners(*view, 3, SystemColors::labelColor());
  EXPECT_EQ(view->layer()->cornerRadius(), 3);
  // The colour is resolved under the appearance current at the call.
  EXPECT_EQ(view->layer()->backgroundColor(), SystemColors::labelColor()->rgba());

  auto other = platform::View::create();
  NSView::setLayerBackgroundColor(*other, platform::Color::red());
  ASSERT_NE(other->layer(), nullptr);
  EXPECT_EQ(other->layer()->backgroundColor(), (Rgba{1, 0, 0, 1}));
}

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
