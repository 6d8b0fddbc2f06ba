#include <gtest/gtest.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/BezierPath.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/GraphicsContext.hpp"
#include "Platform/Graphics/Image.hpp"
#include "Platform/Graphics/ImageFocus.hpp"
#include "Platform/Graphics/Layer.hpp"
#include "Platform/Graphics/ShapeLayer.hpp"
#include "Platform/Graphics/Transaction.hpp"
#include "Platform/UI/LayoutConstraint.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/Window.hpp"
#include "Tavrix/Controls/CALayer.hpp"
#include "Tavrix/Controls/CATransaction.hpp"
#include "Tavrix/Controls/Environment.hpp"
#include "Tavrix/Controls/NSBezierPath.hpp"
#include "Tavrix/Controls/NSImage.hpp"
#include "Tavrix/Controls/NSView.hpp"
#include "Tavrix/Controls/NSWindow.hpp"
#include "Tavrix/Controls/OverlayMasked.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace Tavrix {
namespace {

using platform::Appearance;
using platform::PathElementKind;
using platform::Point;
using platform::Rect;
using platform::Rgba;
using platform::test::expectRgba;

TEST(CgPath, KeepsEveryElementAndTheCurvePointsInOrder) {
  platform::BezierPath outline;
  outline.move({0, 0});
  outline.line({10, 0});
  outline.line({10, 10});
  outline.close();
  platform::Path path = NSBezierPath::cgPath(outline);
  ASSERT_EQ(path.elementCount(), 4u);
  EXPECT_EQ(path.element(0).kind, PathElementKind::moveTo);
  EXPECT_EQ(path.element(2).points[0], (Point{10, 10}));
  EXPECT_EQ(path.element(3).kind, PathElementKind::closePath);

  platform::BezierPath curve;
  curve.move({0, 0});
  curve.curve({9, 9}, {1, 2}, {3, 4});
  path = NSBezierPath::cgPath(curve);
  ASSERT_EQ(path.elementCount(), 2u);
  EXPECT_EQ(path.element(1).points, (std::array<Point, 3>{Point{1, 2}, Point{3, 4}, Point{9, 9}}));
  EXPECT_TRUE(NSBezierPath::cgPath(platform::BezierPath()).isEmpty());
}

TEST(LayerColor, ReadsOnePixelWithPremultipliedComponents) {
  auto layer = std::make_shared<platform::ShapeLayer>();
  layer->setBounds(Rect(0, 0, 20, 10));
  layer->setPath(platform::BezierPath::rect(Rect(0, 0, 10, 10)).path());
  layer->setFillColor(Rgba{1, 0, 0, 1});
  expectRgba(CALayer::color(*layer, {5, 5}), {1, 0, 0, 1});
  layer->setFillColor(Rgba{1, 1, 1, 0.5});
  expectRgba(CALayer::color(*layer, {5, 5}), {0.5, 0.5, 0.5, 0.5});
  expectRgba(CALayer::color(*layer, {15, 5}), {0, 0, 0, 0});
}

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

TEST(ImageHelpers, TintPaintsTemplatesOnlyAndResizeStretches) {
  const auto symbol = halfCoveredTemplate();
  const auto tinted = NSImage::tinted(symbol, platform::Color::red());
  ASSERT_NE(tinted, symbol);
  EXPECT_FALSE(tinted->isTemplate());
  expectRgba(tinted->pixel(2, 5), {1, 0, 0, 1});
  expectRgba(tinted->pixel(7, 5), {0, 0, 0, 0});
  // The source stays a black template.
  expectRgba(symbol->pixel(2, 5), {0, 0, 0, 1});
  EXPECT_EQ(NSImage::tinted(tinted, platform::Color::green()), tinted);

  const auto wide = NSImage::resized(*symbol, {20, 5});
  EXPECT_EQ(wide->size(), (platform::Size{20, 5}));
  expectRgba(wide->pixel(3, 2), {0, 0, 0, 1});
  expectRgba(wide->pixel(16, 2), {0, 0, 0, 0});
  EXPECT_TRUE(NSImage::resized(*symbol, {0, 5})->isEmpty());
  EXPECT_TRUE(NSImage::resized(*symbol, {-3, 5})->isEmpty());
}

TEST(Darkness, EveryAppearanceWithDarkInItsNameIsDark) {
  for (std::string_view name : {Appearance::darkAqua, Appearance::vibrantDark,
                                Appearance::highContrastDarkAqua, Appearance::highContrastVibrantDark}) {
    platform::AppearanceScope scope(Appearance{std::string(name)});
    EXPECT_TRUE(isDarkMode()) << name;
    auto view = platform::View::create();
    view->setAppearance(Appearance{std::string(name)});
    EXPECT_TRUE(NSView::isDark(*view)) << name;
  }
  for (std::string_view name : {Appearance::aqua, Appearance::vibrantLight, Appearance::highContrastAqua,
                                Appearance::highContrastVibrantLight}) {
    platform::AppearanceScope scope(Appearance{std::string(name)});
    EXPECT_FALSE(isDarkMode()) << name;
    auto view = platform::View::create();
    view->setAppearance(Appearance{std::string(name)});
    EXPECT_FALSE(NSView::isDark(*view)) << name;
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
  std::vector<platform::LayoutAttribute> attributes;
  for (const auto& constraint : parent->constraints()) {
    EXPECT_TRUE(constraint->isActive());
    EXPECT_EQ(constraint->firstItem(), child);
    EXPECT_EQ(constraint->secondItem(), parent);
    EXPECT_EQ(constraint->constant(), 0);
    attributes.push_back(constraint->firstAttribute());
  }
  EXPECT_EQ(attributes, (std::vector<platform::LayoutAttribute>{
                            platform::LayoutAttribute::top, platform::LayoutAttribute::bottom,
                            platform::LayoutAttribute::leading, platform::LayoutAttribute::trailing}));
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

TEST(WindowHelpers, TitlebarHeightIsWhatTheTitleBarTakesFromTheFrame) {
  auto titled = platform::Window::create(Rect(0, 0, 200, 100), platform::Window::titled);
  EXPECT_EQ(NSWindow::titlebarHeight(*titled), platform::Window::titleBarHeight);
  auto borderless = platform::Window::create(Rect(0, 0, 200, 100), platform::Window::borderless);
  EXPECT_EQ(NSWindow::titlebarHeight(*borderless), 0);
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
