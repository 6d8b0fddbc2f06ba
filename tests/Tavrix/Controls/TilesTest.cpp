#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Platform/Graphics/AffineTransform.hpp"
#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/UI/EventHarness.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/ViewLoader.hpp"
#include "Tavrix/Controls/GradientTileView.hpp"
#include "Tavrix/Controls/HoverDisplayMode.hpp"
#include "Tavrix/Controls/SimpleTileView.hpp"
#include "Tavrix/Controls/SimpleTileViewDelegate.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Controls/TileView.hpp"
#include "tests/Tavrix/GalleryPicture.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace Tavrix {
namespace {

using platform::Point;
using platform::Rect;
using platform::Rgba;
using Heard = std::vector<std::string>;

const platform::Appearance dark(std::string(platform::Appearance::darkAqua));
constexpr Rgba red{1, 0, 0, 1};

// What either kind of tile tells its delegate.
class RecordingDelegate : public SimpleTileViewDelegate, public TileViewDelegate {
 public:
  Heard heard;
  void simpleTileViewClicked(SimpleTileView&) override { heard.push_back("clicked"); }
  void simpleTileViewMouseEntered(SimpleTileView&) override { heard.push_back("entered"); }
  void simpleTileViewMouseExited(SimpleTileView&) override { heard.push_back("exited"); }
  void tileViewClicked(TileView&) override { heard.push_back("clicked"); }
  void tileViewMouseEntered(TileView&) override { heard.push_back("entered"); }
  void tileViewMouseExited(TileView&) override { heard.push_back("exited"); }
};

// The tiles' superview, counting the presses passed up to it.
class Board : public platform::View {
 public:
  using platform::View::View;
  int presses = 0;
  void mouseDown(const platform::Event&) override { ++presses; }
};

// A 300 x 200 board holding one simple tile at (50, 50, 100, 80), the tile's delegate and a pointer.
struct Scene {
  static constexpr Point inside{100, 90};
  static constexpr Point outside{10, 10};

  std::shared_ptr<Board> board = platform::View::create<Board>(Rect(0, 0, 300, 200));
  std::shared_ptr<SimpleTileView> tile = platform::View::create<SimpleTileView>(Rect(50, 50, 100, 80));
  std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
  platform::EventHarness pointer{board};

  explicit Scene(std::optional<HoverDisplayMode> hover = std::nullopt) {
    board->addSubview(tile);
    tile->setDelegate(delegate);
    tile->setAllowHover(hover.has_value());
    tile->setHoverDisplayMode(hover.value_or(HoverDisplayMode::rectangle));
  }
  platform::Layer& layer() const { return *tile->layer(); }
};

TEST(SimpleTileView, RestsInItsAppearanceAndTracksItsBoundsFromEveryLayout) {
  Scene scene;
  platform::Layer& layer = scene.layer();
  EXPECT_EQ(layer.backgroundColor(), (Rgba{1, 1, 1, 0.35}));
  EXPECT_TRUE(scene.tile->shadow());
  EXPECT_EQ(layer.shadowRadius(), 8);
  EXPECT_EQ(scene.tile->trackingArea()->options(), 0x21u);
  EXPECT_EQ(scene.tile->trackingArea()->rect(), Rect(0, 0, 100, 80));

  // A new appearance and size show at the next layout.
  scene.board->setAppearance(dark);
  EXPECT_EQ(layer.backgroundColor(), (Rgba{1, 1, 1, 0.35}));
  scene.tile->setFrameSize({120, 60});
  scene.board->layoutSubtreeIfNeeded();
  EXPECT_EQ(layer.backgroundColor(), (Rgba{60.0 / 255, 64.0 / 255, 75.0 / 255, 0.6}));
  EXPECT_FALSE(scene.tile->shadow());
  EXPECT_EQ(layer.shadowOpacity(), 0);
  EXPECT_FALSE(layer.shadowColor());
  EXPECT_EQ(scene.tile->trackingAreas(), std::vector{scene.tile->trackingArea()});
  EXPECT_EQ(scene.tile->trackingArea()->rect(), Rect(0, 0, 120, 60));
}

TEST(SimpleTileView, RectangleHoverBordersTheTileAndTheSelectionBorderWins) {
  Scene scene(HoverDisplayMode::rectangle);
  scene.pointer.moveMouse(Scene::inside);
  EXPECT_TRUE(scene.tile->isMouseEntered());
  EXPECT_EQ(scene.layer().borderWidth(), 2);
  EXPECT_EQ(scene.layer().borderColor(), SystemColors::systemBlue()->withAlphaComponent(0.75)->rgba());
  scene.pointer.moveMouse(Scene::outside);
  EXPECT_EQ(scene.layer().borderWidth(), 0);
  EXPECT_FALSE(scene.layer().borderColor());

  scene.tile->setBorderColor(platform::Color::red());
  scene.tile->setBorderWidth(5);
  scene.pointer.moveMouse(Scene::inside);
  EXPECT_EQ(scene.layer().borderWidth(), 5);
  EXPECT_EQ(scene.layer().borderColor(), red);
  // Resetting the hover does nothing while hover is not allowed.
  scene.tile->setAllowHover(false);
  scene.tile->resetHover();
  EXPECT_EQ(scene.layer().borderWidth(), 5);
  scene.tile->setAllowHover(true);
  scene.tile->resetHover();
  EXPECT_FALSE(scene.tile->isMouseEntered());
  EXPECT_EQ(scene.layer().borderWidth(), 0);

  scene.tile->setEnableSelection(true);
  scene.tile->setIsSelected(true);
  scene.pointer.moveMouse(Scene::outside);
  scene.pointer.moveMouse(Scene::inside);
  EXPECT_EQ(scene.layer().borderWidth(), 3);
  EXPECT_EQ(scene.layer().borderColor(), SystemColors::systemBlue()->rgba());
  scene.tile->setSelectionColor(platform::Color::red());
  scene.tile->setSelectionWidth(1.5);
  scene.tile->refreshAppearance();
  EXPECT_EQ(scene.layer().borderWidth(), 1.5);
  EXPECT_EQ(scene.layer().borderColor(), red);
  // Deselecting also forgets the hover border; without selection enabled nothing is bordered.
  scene.tile->deselect();
  EXPECT_EQ(scene.layer().borderWidth(), 0);
  scene.tile->setIsSelected(true);
  scene.tile->setEnableSelection(false);
  EXPECT_EQ(scene.layer().borderWidth(), 0);
}

TEST(SimpleTileView, ShiftHoverSlidesTheLayerLeftAndBack) {
  Scene scene(HoverDisplayMode::shift);
  scene.pointer.moveMouse(Scene::inside);
  EXPECT_EQ(scene.layer().transform(), platform::AffineTransform::translation(-8, 0));
  EXPECT_EQ(scene.layer().frame(), Rect(42, 50, 100, 80));
  EXPECT_EQ(scene.layer().borderWidth(), 0);
  scene.pointer.moveMouse(Scene::outside);
  EXPECT_EQ(scene.layer().frame(), Rect(50, 50, 100, 80));
}

TEST(SimpleTileView, ShadowHoverGlowsInTheAccentOrBorderColour) {
  Scene scene(HoverDisplayMode::shadow);
  scene.pointer.moveMouse(Scene::inside);
  EXPECT_EQ(scene.layer().shadowOpacity(), 0.16);
  EXPECT_EQ(scene.layer().shadowColor(), SystemColors::controlAccentColor()->rgba());
  EXPECT_EQ(scene.layer().shadowRadius(), 8);
  EXPECT_EQ(scene.layer().shadowOffset(), (platform::Size{0, 0}));
  scene.pointer.moveMouse(Scene::outside);
  EXPECT_EQ(scene.layer().shadowOpacity(), 0.15);
  EXPECT_EQ(scene.layer().shadowColor(), platform::Color::darkGray()->rgba());

  // In the dark the glow is fainter, and leaving leaves no shadow.
  scene.board->setAppearance(dark);
  scene.tile->setBorderColor(platform::Color::red());
  scene.pointer.moveMouse(Scene::inside);
  EXPECT_EQ(scene.layer().shadowOpacity(), 0.06);
  EXPECT_EQ(scene.layer().shadowColor(), red);
  scene.pointer.moveMouse(Scene::outside);
  EXPECT_EQ(scene.layer().shadowOpacity(), 0);
  EXPECT_FALSE(scene.tile->shadow());
}

// Every mode by the raw value interface files store; only 0 to 2 are modes.
TEST(SimpleTileView, WithoutHoverOnlyTheDelegateHearsThePointer) {
  EXPECT_FALSE(hoverDisplayMode(3) || hoverDisplayMode(-1));
  for (std::int64_t raw = 0; raw <= 2; ++raw) {
    Scene scene;
    scene.tile->setHoverDisplayMode(hoverDisplayMode(raw).value());
    scene.pointer.moveMouse(Scene::inside);
    EXPECT_EQ(scene.layer().borderWidth(), 0);
    EXPECT_TRUE(scene.layer().transform().isIdentity());
    EXPECT_EQ(scene.layer().shadowOpacity(), 0.15);
    scene.pointer.moveMouse(Scene::outside);
    EXPECT_EQ(scene.delegate->heard, (Heard{"entered", "exited"}));
  }
}

TEST(SimpleTileView, ReportsClicksUnlessInteractionIsDisabled) {
  Scene scene;
  scene.pointer.click(Scene::inside);
  EXPECT_EQ(scene.delegate->heard, (Heard{"entered", "clicked"}));
  EXPECT_EQ(scene.board->presses, 1);
  scene.tile->setDisableInteraction(true);
  scene.pointer.click(Scene::inside);
  EXPECT_EQ(scene.delegate->heard.size(), 2u);
  EXPECT_EQ(scene.board->presses, 1);

  // The delegate is held weakly.
  scene.tile->setDisableInteraction(false);
  scene.delegate.reset();
  EXPECT_FALSE(scene.tile->delegate());
  scene.pointer.click(Scene::inside);
  EXPECT_EQ(scene.board->presses, 2);
}

TEST(TileView, ReportsHoverAndClicksEvenWithInteractionDisabled) {
  auto board = platform::View::create<Board>(Rect(0, 0, 300, 200));
  platform::ViewArchive archive{"TileView", Rect(50, 50, 100, 80), {}, {}};
  archive.settings = {{"disableInteraction", true}, {"radius", 12.0}, {"isSelected", true}};
  auto view = std::dynamic_pointer_cast<TileView>(platform::ViewLoader::load(archive));
  ASSERT_TRUE(view);
  board->addSubview(view);
  auto delegate = std::make_shared<RecordingDelegate>();
  view->setDelegate(delegate);
  platform::EventHarness pointer(board);
  EXPECT_EQ(view->trackingAreas().at(0)->options(), 0x281u);
  EXPECT_EQ(view->radius(), 12);
  pointer.moveMouse({100, 90});
  EXPECT_TRUE(view->mouseOver());
  pointer.click({100, 90});
  pointer.moveMouse({10, 10});
  EXPECT_FALSE(view->mouseOver());
  EXPECT_EQ(delegate->heard, (Heard{"entered", "clicked", "exited"}));
  EXPECT_EQ(board->presses, 0);  // interaction disabled: not passed up

  view->setDisableInteraction(false);
  view->setIsSelectable(false);
  pointer.click({100, 90});
  EXPECT_EQ(board->presses, 1);
  EXPECT_EQ(delegate->heard.back(), "entered");  // not selectable: no click report

  view->resetHover();
  EXPECT_FALSE(view->mouseOver());
  view->setEnableHover(false);
  pointer.moveMouse({10, 10});
  pointer.moveMouse({100, 90});
  EXPECT_FALSE(view->mouseOver());
  EXPECT_EQ(delegate->heard.size(), 4u);  // hover off: no enter or exit reports

  // Made in code, a tile has no tracking area and never sees the pointer.
  EXPECT_TRUE(platform::View::create<TileView>()->trackingAreas().empty());
}

TEST(GradientTileView, KeepsOneGradientSublayerAndSetsItsBorderAndShadow) {
  auto tile = std::dynamic_pointer_cast<GradientTileView>(platform::ViewLoader::load(
      {"GradientTileView", Rect(0, 0, 120, 80), {{"drawShadow", true}, {"borderThickness", 2.0}}, {}}));
  ASSERT_TRUE(tile);
  tile->layoutSubtreeIfNeeded();
  tile->drawTile();
  tile->drawTile();
  platform::Layer& layer = *tile->layer();
  ASSERT_EQ(layer.sublayers()->size(), 1u);
  // Its direction and colours are checked pixel by pixel in the gallery.
  auto gradient = std::dynamic_pointer_cast<platform::GradientLayer>(layer.sublayers()->front());
  ASSERT_TRUE(gradient && gradient->mask());
  EXPECT_EQ(layer.borderWidth(), 2);
  EXPECT_EQ(layer.cornerRadius(), 8);
  // The shadow's fields are set; the clip to the bounds keeps it from showing.
  EXPECT_EQ(layer.shadowOpacity(), 0.15);
  EXPECT_EQ(layer.shadowRadius(), 8);
  EXPECT_TRUE(layer.masksToBounds());

  tile->setColors({});
  tile->setDrawShadow(false);
  gradient = std::dynamic_pointer_cast<platform::GradientLayer>(layer.sublayers()->front());
  EXPECT_TRUE(gradient->colors().empty());
  EXPECT_EQ(layer.shadowOpacity(), 0);
  EXPECT_EQ(layer.borderWidth(), 2);
  EXPECT_FALSE(tile->shadow());
}

TEST(SimpleTileViewGallery, SelectedTile) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  auto tile = platform::View::create<SimpleTileView>(Rect(0, 0, 160, 100));
  tile->setEnableSelection(true);
  tile->setIsSelected(true);
  const std::shared_ptr<platform::Image> image = gallery::picture(*tile, "tile-selected");
  // A 3-point system blue border inside the rounded bounds.
  gallery::expectColorAt(*image, gallery::premultiplied(SystemColors::systemBlue()->rgba()),
                         {{1, 50}, {80, 98.5}});
  // Inside, white at 0.35 over the resting shadow, which the bounds clip but the translucent background
  // lets through: a third white at 0.15 of the background's alpha.
  const double shadow = 0.15 * 0.35;
  const double grey = 0.35 + shadow / 3 * (1 - 0.35);
  gallery::expectColorAt(*image, Rgba{grey, grey, grey, 0.35 + shadow * (1 - 0.35)}, {{80, 50}});
  // The corners are cut round (radius 8).
  gallery::expectColorAt(*image, platform::test::transparent, {{0.25, 0.25}, {159.75, 99.75}});
}

}  // namespace
}  // namespace Tavrix
