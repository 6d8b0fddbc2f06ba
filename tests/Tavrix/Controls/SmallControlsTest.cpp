#include <gtest/gtest.h>

#include <limits>
#include <memory>
#include <optional>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "Platform/Graphics/AffineTransform.hpp"
#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Font.hpp"
#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/Graphics/Snapshot.hpp"
#include "Platform/Graphics/TextMeasurer.hpp"
#include "Platform/UI/EventHarness.hpp"
#include "Platform/UI/OutlineView.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/SearchFieldCell.hpp"
#include "Platform/UI/ViewLoader.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Controls/DisabledScrollView.hpp"
#include "Tavrix/Controls/GradientTileView.hpp"
#include "Tavrix/Controls/HoverDisplayMode.hpp"
#include "Tavrix/Controls/HoverView.hpp"
#include "Tavrix/Controls/NoBackgroundCollectionView.hpp"
#include "Tavrix/Controls/NoBackgroundOutlineView.hpp"
#include "Tavrix/Controls/NoBackgroundScrollView.hpp"
#include "Tavrix/Controls/NoBackgroundTableView.hpp"
#include "Tavrix/Controls/NoDividerSplitView.hpp"
#include "Tavrix/Controls/NonInteractiveTableView.hpp"
#include "Tavrix/Controls/NonInteractiveView.hpp"
#include "Tavrix/Controls/SearchTextFieldCell.hpp"
#include "Tavrix/Controls/SimpleTileView.hpp"
#include "Tavrix/Controls/SimpleTileViewDelegate.hpp"
#include "Tavrix/Controls/SingleLineSecureTextFieldCell.hpp"
#include "Tavrix/Controls/SingleLineTextFieldCell.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Controls/TagLabel.hpp"
#include "Tavrix/Controls/TileView.hpp"
#include "Tavrix/Controls/VerticallyAlignedTextLayer.hpp"
#include "Tavrix/Controls/Window.hpp"
#include "Tavrix/Controls/WindowContentView.hpp"
#include "tests/Tavrix/GalleryPicture.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

// The small controls: the subclasses that turn a platform view's background, divider or interaction off, the
// window and its content view, the tag label, the vertically centred text layer and the tiles; then every
// text field cell, list and scroll stand-in, small subclass, tag and tile, light and dark, in the gallery,
// the looks that are fixed numbers checked pixel by pixel.
namespace Tavrix {
namespace {

using gallery::picture;
using gallery::premultiplied;
using platform::Point;
using platform::Rect;
using platform::Rgba;
using platform::View;
using platform::test::expectRgba;
using platform::test::pixelAt;
using Heard = std::vector<std::string>;
using Look = std::pair<double, std::optional<Rgba>>;

const platform::Appearance light(std::string(platform::Appearance::aqua));
const platform::Appearance dark(std::string(platform::Appearance::darkAqua));
constexpr Rgba red{1, 0, 0, 1};

// A view counting what reaches it from below: the presses and wheel turns passed up to it.
class Counter : public View {
 public:
  using View::View;
  int presses = 0;
  int scrolls = 0;
  void mouseDown(const platform::Event&) override { ++presses; }
  void scrollWheel(const platform::Event&) override { ++scrolls; }
};

std::shared_ptr<View> loaded(const char* className, const Rect& frame) {
  return platform::ViewLoader::load({className, frame, {}, {}});
}

template <class T>
bool loadsAs(const char* className) {
  return std::dynamic_pointer_cast<T>(loaded(className, Rect(0, 0, 10, 10))) != nullptr;
}

TEST(SmallViewClasses, AreMadeByName) {
  EXPECT_TRUE(loadsAs<NoBackgroundCollectionView>("NoBackgroundCollectionView"));
  EXPECT_TRUE(loadsAs<NoBackgroundOutlineView>("NoBackgroundOutlineView"));
  EXPECT_TRUE(loadsAs<NoBackgroundTableView>("NoBackgroundTableView"));
  EXPECT_TRUE(loadsAs<NonInteractiveTableView>("NonInteractiveTableView"));
  EXPECT_TRUE(loadsAs<DisabledScrollView>("DisabledScrollView"));
  EXPECT_TRUE(loadsAs<NoBackgroundScrollView>("NoBackgroundScrollView"));
  EXPECT_TRUE(loadsAs<NoDividerSplitView>("NoDividerSplitView"));
  EXPECT_TRUE(loadsAs<NonInteractiveView>("NonInteractiveView"));
  EXPECT_TRUE(loadsAs<WindowContentView>("WindowContentView"));
}

TEST(ScrollViews, TheWheelScrollsWithinTheDocumentElsePassesUpButADisabledOneStopsIt) {
  auto board = View::create<Counter>(Rect(0, 0, 300, 300));
  auto outer = View::create<platform::ScrollView>(Rect(0, 0, 300, 300));
  auto page = View::create(Rect(0, 0, 300, 900));
  board->addSubview(outer);
  outer->setDocumentView(page);
  auto inner = View::create<platform::ScrollView>(Rect(50, 50, 100, 100));
  inner->setDocumentView(View::create(Rect(0, 0, 100, 150)));
  page->addSubview(inner);
  platform::EventHarness pointer(board);

  pointer.scrollWheel({100, 100}, 0, 30);  // over the inner scroll view: it scrolls
  EXPECT_EQ(inner->contentView()->scrollPosition(), (Point{0, 30}));
  pointer.scrollWheel({100, 100}, 0, 40);  // 50 points of document are left above: it stops at the edge
  EXPECT_EQ(inner->contentView()->scrollPosition(), (Point{0, 50}));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  EXPECT_FALSE(inner->contentView()->scrollToPoint({nan, nan}));  // a position that is no number is ignored
  EXPECT_EQ(inner->contentView()->scrollPosition(), (Point{0, 50}));
  pointer.scrollWheel({100, 100}, 0, 10);  // at the edge the outer one takes the event
  EXPECT_EQ(outer->contentView()->scrollPosition(), (Point{0, 10}));
  pointer.scrollWheel({10, 10}, 0, -20);  // back to its edge
  EXPECT_EQ(outer->contentView()->scrollPosition(), (Point{0, 0}));
  EXPECT_EQ(board->scrolls, 0);
  pointer.scrollWheel({10, 10}, 0, -5);  // at its edge it passes the event up to the board
  EXPECT_EQ(board->scrolls, 1);

  auto disabled = View::create<DisabledScrollView>(Rect(150, 150, 100, 100));
  disabled->setDocumentView(View::create(Rect(0, 0, 100, 400)));
  page->addSubview(disabled);
  pointer.scrollWheel({200, 200}, 0, 30);
  EXPECT_EQ(disabled->contentView()->scrollPosition(), (Point{0, 0}));
  EXPECT_EQ(outer->contentView()->scrollPosition(), (Point{0, 0}));
  EXPECT_EQ(board->scrolls, 1);
}

TEST(InertViews, ClicksPassThroughAndDragsOnANonInteractiveTableMoveTheWindow) {
  auto window = platform::Window::create<Window>(Rect(100, 100, 300, 200), platform::Window::titled);
  auto content = View::create<Counter>();
  window->setContentView(content);
  auto cover = View::create<NonInteractiveView>(Rect(0, 0, 300, 100));
  cover->addSubview(View::create<Counter>(Rect(0, 0, 300, 100)));
  content->addSubview(cover);
  auto table = View::create<NonInteractiveTableView>(Rect(0, 100, 300, 100));
  content->addSubview(table);
  platform::EventHarness pointer(window);
  pointer.click({50, 50});
  EXPECT_EQ(content->presses, 1);  // neither the cover nor its subview takes it

  pointer.mouseDown({50, 150});
  pointer.moveMouse({80, 140});
  pointer.moveMouse({90, 170});
  pointer.mouseUp({90, 170});
  EXPECT_EQ(window->frame().origin, (Point{140, 120}));
  pointer.mouseDown({50, 50});  // a drag elsewhere leaves the window where it is
  pointer.mouseUp({90, 20});
  EXPECT_EQ(window->frame().origin, (Point{140, 120}));

  // The window's own look: the platform window's buttons and style are checked only here.
  EXPECT_EQ(std::tuple(window->isOpaque(), window->titlebarAppearsTransparent(), window->styleMask(),
                       window->standardWindowButton(platform::Window::ButtonKind::zoom)->isHidden(),
                       window->standardWindowButton(platform::Window::ButtonKind::close)->isHidden(),
                       window->backgroundColor()),
            std::tuple(false, true, platform::Window::titled | platform::Window::resizable, true, false,
                       SystemColors::windowBackgroundColor()));
}

TEST(WindowContentView, IsWhiteThenClearOnceTheAppearanceTurnsDark) {
  auto view = View::create<WindowContentView>(Rect(0, 0, 40, 30));
  platform::test::expectPixels(*platform::ViewRenderer::image(*view), {{20, 15, {1, 1, 1, 1}}});
  view->setAppearance(platform::Appearance(std::string(platform::Appearance::darkAqua)));
  EXPECT_TRUE(view->needsDisplay());
  gallery::expectColorAt(*platform::ViewRenderer::image(*view), platform::test::transparent, {{20, 15}});
}

// Every text measures 40.6 x 15.2.
struct FixedMeasure {
  int calls = 0;
  platform::TextMeasurer::Override override{
      [this](std::string_view, const platform::TextAttributes&, platform::Size) {
        ++calls;
        return platform::Size{40.6, 15.2};
      }};
};

// The constants of the label's constraints with the identifier, in order.
std::vector<double> constants(const TagLabel& label, const std::string& identifier) {
  std::vector<double> found;
  for (const auto& constraint : label.constraints()) {
    if (constraint->identifier() == identifier) found.push_back(constraint->constant());
  }
  return found;
}

// The width of the progress fill's rectangle, or nothing when no fill is showing.
std::optional<double> fillWidth(const TagLabel& label) {
  const auto& fill = label.progressLayer();
  if (!fill || !fill->superlayer()) return std::nullopt;
  return fill->path()->tightBounds().width();
}

TEST(TagLabel, SizesItselfToTheMeasuredTextThroughOneWidthAndOneHeightConstraint) {
  FixedMeasure measure;
  auto label = View::create<TagLabel>(Rect(0, 0, 60, 20));
  EXPECT_TRUE(constants(*label, "width").empty());  // creation does not update
  label->setStringValue("12 %");
  label->update();
  EXPECT_EQ(constants(*label, "width"), std::vector<double>{53});
  EXPECT_EQ(constants(*label, "height"), std::vector<double>{20});
  label->setOffset(10);
  EXPECT_EQ(constants(*label, "width"), std::vector<double>{61});
  EXPECT_EQ(std::tuple(label->layer()->cornerRadius(), label->layer()->masksToBounds(),
                       label->translatesAutoresizingMaskIntoConstraints()),
            std::tuple(4, true, false));

  // Switched off, the constraints stay as they are, while colours and fill still follow.
  label->setAutoCalculateSize(false);
  const int measured = measure.calls;
  label->setOffset(30);
  label->setColor(SystemColors::systemRed());
  label->setProgress(0.5);
  EXPECT_EQ(measure.calls, measured);
  EXPECT_EQ(constants(*label, "width"), std::vector<double>{61});
  EXPECT_EQ(label->textColor(), SystemColors::systemRed());
  EXPECT_EQ(label->layer()->backgroundColor(), SystemColors::systemRed()->withAlphaComponent(0.22)->rgba());
  EXPECT_EQ(fillWidth(*label), 30);
  // Setting it back changes nothing until the next update.
  label->setAutoCalculateSize(true);
  EXPECT_EQ(constants(*label, "width"), std::vector<double>{61});
  label->update();
  EXPECT_EQ(constants(*label, "width"), std::vector<double>{101});
}

TEST(TagLabel, AnEmptyTextIsThirteenWideWithTheDefaultOffset) {
  auto label = View::create<TagLabel>(Rect(0, 0, 60, 20));
  label->setStringValue("");
  EXPECT_EQ(constants(*label, "width"), std::vector<double>{13});
  label->setFont(nullptr);  // no font measures nothing
  label->setHeightOffset(4);
  EXPECT_EQ(constants(*label, "height"), std::vector<double>{5});
}

TEST(TagLabel, FillsTheClampedProgressOfItsWidth) {
  auto label = View::create<TagLabel>(Rect(0, 0, 80, 20));
  const double nan = std::numeric_limits<double>::quiet_NaN();
  for (const auto& [progress, width] : {std::pair{1.5, 80.0}, {-0.2, 0.0}, {nan, 0.0}, {0.25, 20.0}}) {
    label->setProgress(progress);
    EXPECT_EQ(fillWidth(*label), width) << progress;
    EXPECT_EQ(label->layer()->sublayers()->size(), 1u) << "one fill at a time";
  }
  EXPECT_EQ(label->progressLayer()->fillColor(),
            SystemColors::systemGreen()->withAlphaComponent(0.25)->rgba());
  label->setProgress(std::nullopt);
  EXPECT_EQ(fillWidth(*label), std::nullopt);
}

TEST(VerticallyAlignedTextLayer, CentresALineOfTwelvePointsInAFortyPointLayer) {
  auto root = platform::test::canvas(100, 40);
  auto text = std::make_shared<VerticallyAlignedTextLayer>();
  text->setFrame(Rect(0, 0, 100, 40));
  text->setString("Hg");
  text->setFontSize(12);
  text->setForegroundColor(Rgba{0, 0, 0, 1});
  root->addSublayer(text);
  const auto ink = platform::test::inkBox(*platform::Snapshot::image(*root));
  ASSERT_FALSE(ink.isEmpty());
  // Moved down 12.8 points from the top, the line's ink lies between rows 12 and 28.
  EXPECT_GE(ink.top, 14);  // and not at the top, where a plain text layer draws
  EXPECT_LE(ink.bottom, 28);
}

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

// A 300 x 200 board holding one simple tile at (50, 50, 100, 80), the tile's delegate and a pointer.
struct Scene {
  static constexpr Point inside{100, 90};
  static constexpr Point outside{10, 10};

  std::shared_ptr<Counter> board = View::create<Counter>(Rect(0, 0, 300, 200));
  std::shared_ptr<SimpleTileView> tile = View::create<SimpleTileView>(Rect(50, 50, 100, 80));
  std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
  platform::EventHarness pointer{board};

  explicit Scene(std::optional<HoverDisplayMode> hover = std::nullopt) {
    board->addSubview(tile);
    tile->setDelegate(delegate);
    tile->setAllowHover(hover.has_value());
    tile->setHoverDisplayMode(hover.value_or(HoverDisplayMode::rectangle));
  }
  platform::Layer& layer() const { return *tile->layer(); }
  // The layer's border as width and colour, its shadow as opacity and colour.
  Look border() const { return {layer().borderWidth(), layer().borderColor()}; }
  Look glow() const { return {layer().shadowOpacity(), layer().shadowColor()}; }
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
  EXPECT_EQ(scene.glow(), Look(0, std::nullopt));
  EXPECT_EQ(scene.tile->trackingAreas(), std::vector{scene.tile->trackingArea()});
  EXPECT_EQ(scene.tile->trackingArea()->rect(), Rect(0, 0, 120, 60));
}

TEST(SimpleTileView, RectangleHoverBordersTheTileAndTheSelectionBorderWins) {
  Scene scene(HoverDisplayMode::rectangle);
  scene.pointer.moveMouse(Scene::inside);
  EXPECT_TRUE(scene.tile->isMouseEntered());
  EXPECT_EQ(scene.border(), Look(2, SystemColors::systemBlue()->withAlphaComponent(0.75)->rgba()));
  scene.pointer.moveMouse(Scene::outside);
  EXPECT_EQ(scene.border(), Look(0, std::nullopt));

  scene.tile->setBorderColor(platform::Color::red());
  scene.tile->setBorderWidth(5);
  scene.pointer.moveMouse(Scene::inside);
  EXPECT_EQ(scene.border(), Look(5, red));
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
  EXPECT_EQ(scene.border(), Look(3, SystemColors::systemBlue()->rgba()));
  scene.tile->setSelectionColor(platform::Color::red());
  scene.tile->setSelectionWidth(1.5);
  scene.tile->refreshAppearance();
  EXPECT_EQ(scene.border(), Look(1.5, red));
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
  EXPECT_EQ(scene.glow(), Look(0.16, SystemColors::controlAccentColor()->rgba()));
  EXPECT_EQ(scene.layer().shadowRadius(), 8);
  EXPECT_EQ(scene.layer().shadowOffset(), (platform::Size{0, 0}));
  scene.pointer.moveMouse(Scene::outside);
  EXPECT_EQ(scene.glow(), Look(0.15, platform::Color::darkGray()->rgba()));

  // In the dark the glow is fainter, and leaving leaves no shadow.
  scene.board->setAppearance(dark);
  scene.tile->setBorderColor(platform::Color::red());
  scene.pointer.moveMouse(Scene::inside);
  EXPECT_EQ(scene.glow(), Look(0.06, red));
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
  EXPECT_EQ(std::tuple(scene.delegate->heard, scene.board->presses),
            std::tuple(Heard{"entered", "clicked"}, 1));
  scene.tile->setDisableInteraction(true);
  scene.pointer.click(Scene::inside);
  EXPECT_EQ(std::tuple(scene.delegate->heard.size(), scene.board->presses), std::tuple(2u, 1));

  // The delegate is held weakly.
  scene.tile->setDisableInteraction(false);
  scene.delegate.reset();
  EXPECT_FALSE(scene.tile->delegate());
  scene.pointer.click(Scene::inside);
  EXPECT_EQ(scene.board->presses, 2);
}

TEST(TileView, ReportsHoverAndClicksEvenWithInteractionDisabled) {
  auto board = View::create<Counter>(Rect(0, 0, 300, 200));
  platform::ViewArchive archive{"TileView", Rect(50, 50, 100, 80), {}, {}};
  archive.settings = {{"disableInteraction", true}, {"radius", 12.0}, {"isSelected", true}};
  auto view = std::dynamic_pointer_cast<TileView>(platform::ViewLoader::load(archive));
  ASSERT_TRUE(view);
  board->addSubview(view);
  auto delegate = std::make_shared<RecordingDelegate>();
  view->setDelegate(delegate);
  platform::EventHarness pointer(board);
  EXPECT_EQ(std::tuple(view->trackingAreas().at(0)->options(), view->radius()), std::tuple(0x281u, 12));
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
  EXPECT_TRUE(View::create<TileView>()->trackingAreas().empty());
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
  // Border, corners, then the shadow's fields: set, but the clip to the bounds keeps the shadow from showing.
  EXPECT_EQ(std::tuple(layer.borderWidth(), layer.cornerRadius(), layer.shadowOpacity(), layer.shadowRadius(),
                       layer.masksToBounds()),
            std::tuple(2, 8, 0.15, 8, true));

  tile->setColors({});
  tile->setDrawShadow(false);
  gradient = std::dynamic_pointer_cast<platform::GradientLayer>(layer.sublayers()->front());
  EXPECT_TRUE(gradient->colors().empty());
  EXPECT_EQ(std::pair(layer.shadowOpacity(), layer.borderWidth()), std::pair(0.0, 2.0));
  EXPECT_FALSE(tile->shadow());
}

TEST(SimpleTileViewGallery, SelectedTile) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  auto tile = View::create<SimpleTileView>(Rect(0, 0, 160, 100));
  tile->setEnableSelection(true);
  tile->setIsSelected(true);
  const std::shared_ptr<platform::Image> image = picture(*tile, "tile-selected");
  // A 3-point system blue border inside the rounded bounds.
  gallery::expectColorAt(*image, premultiplied(SystemColors::systemBlue()->rgba()), {{1, 50}, {80, 98.5}});
  // Inside, white at 0.35 over the resting shadow, which the bounds clip but the translucent background
  // lets through: a third white at 0.15 of the background's alpha.
  const double shadow = 0.15 * 0.35;
  const double grey = 0.35 + shadow / 3 * (1 - 0.35);
  gallery::expectColorAt(*image, Rgba{grey, grey, grey, 0.35 + shadow * (1 - 0.35)}, {{80, 50}});
  // The corners are cut round (radius 8).
  gallery::expectColorAt(*image, platform::test::transparent, {{0.25, 0.25}, {159.75, 99.75}});
}

std::shared_ptr<platform::TextField> field(std::shared_ptr<platform::TextFieldCell> cell, std::string text) {
  auto made = View::create<platform::TextField>(Rect(0, 0, 140, 24));
  made->setCell(std::move(cell));
  made->setStringValue(std::move(text));
  return made;
}

// One of each, in a grid of 150 x 60 cells, four across.
std::vector<std::shared_ptr<View>> everyControl(const platform::Appearance& appearance) {
  auto tag = View::create<TagLabel>(Rect(0, 0, 80, 20));
  tag->setStringValue("CPU 42 %");
  tag->setProgress(0.4);
  auto split = View::create<platform::SplitView>(Rect(0, 0, 140, 50));
  auto noDivider = View::create<NoDividerSplitView>(Rect(0, 0, 140, 50));
  for (const auto& view : {split, std::static_pointer_cast<platform::SplitView>(noDivider)}) {
    view->setVertical(true);
    view->addSubview(View::create<WindowContentView>());
    view->addSubview(View::create<WindowContentView>());
  }
  auto selected = std::dynamic_pointer_cast<TileView>(loaded("TileView", Rect(0, 0, 140, 50)));
  selected->setIsSelected(true);
  auto layerHost = View::create(Rect(0, 0, 140, 50));
  layerHost->setWantsLayer(true);
  auto centred = std::make_shared<VerticallyAlignedTextLayer>();
  centred->setFrame(Rect(0, 0, 140, 50));
  centred->setString("Centred");
  centred->setFontSize(14);
  centred->setForegroundColor(SystemColors::labelColor()->rgba(appearance));
  layerHost->layer()->addSublayer(centred);
  auto covered = View::create<NonInteractiveView>(Rect(0, 0, 140, 50));
  covered->addSubview(field(std::make_shared<platform::TextFieldCell>(), "under cover"));
  const auto scrolled = [](std::shared_ptr<platform::ScrollView> scrollView, auto document) {
    scrollView->setDocumentView(document);
    // Made outside a scroll view, the no-background lists found none to clear; once inside, they clear it.
    if constexpr (requires { document->removeBackground(); }) document->removeBackground();
    return scrollView;
  };
  const auto table = [&](auto made) {
    return scrolled(View::create<platform::ScrollView>(Rect(0, 0, 140, 50)), made);
  };
  return {
      tag,
      field(std::make_shared<platform::TextFieldCell>(), "plain field"),
      field(std::make_shared<platform::SearchFieldCell>(), "search"),
      field(std::make_shared<SearchTextFieldCell>(), "search, no bezel"),
      field(std::make_shared<platform::SecureTextFieldCell>(), "secret"),
      field(std::make_shared<SingleLineTextFieldCell>(), "single line"),
      field(std::make_shared<SingleLineSecureTextFieldCell>(), "secret"),
      table(View::create<platform::TableView>(Rect(0, 0, 140, 100))),
      table(View::create<NoBackgroundTableView>(Rect(0, 0, 140, 100))),
      table(View::create<NonInteractiveTableView>(Rect(0, 0, 140, 100))),
      table(View::create<platform::OutlineView>(Rect(0, 0, 140, 100))),
      table(View::create<NoBackgroundOutlineView>(Rect(0, 0, 140, 100))),
      View::create<platform::CollectionView>(Rect(0, 0, 140, 50)),
      View::create<NoBackgroundCollectionView>(Rect(0, 0, 140, 50)),
      scrolled(View::create<NoBackgroundScrollView>(Rect(0, 0, 140, 50)), View::create(Rect(0, 0, 140, 90))),
      scrolled(View::create<DisabledScrollView>(Rect(0, 0, 140, 50)), View::create(Rect(0, 0, 140, 90))),
      split,
      noDivider,
      covered,
      View::create<WindowContentView>(Rect(0, 0, 140, 50)),
      loaded("TileView", Rect(0, 0, 140, 50)),
      selected,
      loaded("GradientTileView", Rect(0, 0, 140, 50)),
      layerHost};
}

TEST(ControlsGallery, EveryControlLightAndDark) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  for (const bool isDark : {false, true}) {
    auto board = View::create(Rect(0, 0, 600, 360));
    const auto controls = everyControl(isDark ? dark : light);
    for (std::size_t index = 0; index < controls.size(); ++index) {
      controls[index]->setFrameOrigin({5 + 150.0 * double(index % 4), 305 - 60.0 * double(index / 4)});
      board->addSubview(controls[index]);
    }
    if (isDark) board->setAppearance(dark);
    const Rgba background = isDark ? Rgba{0.15, 0.15, 0.16, 1} : Rgba{0.93, 0.93, 0.94, 1};
    board->setWantsLayer(true);
    board->layer()->setBackgroundColor(background);
    const auto image = picture(*board, isDark ? "controls-dark" : "controls-light");
    // The single-line field (index 5, at x = 155, y = 245) has its underline on its bottom row.
    const Rgba line = SystemColors::tertiaryLabelColor()->rgba(board->effectiveAppearance());
    const auto over = [&](double a, double b) { return a * line.alpha + b * (1 - line.alpha); };
    expectRgba(pixelAt(*image, 280, 245.25),
               {over(line.red, background.red), over(line.green, background.green),
                over(line.blue, background.blue), 1},
               0.03);
    expectRgba(pixelAt(*image, 280, 247), background);
  }
}

TEST(ControlsGallery, TileColoursHoverAndSelectionRing) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  auto board = View::create(Rect(0, 0, 200, 100));
  auto tile = std::dynamic_pointer_cast<TileView>(loaded("TileView", Rect(20, 20, 160, 60)));
  board->addSubview(tile);
  expectRgba(pixelAt(*picture(*board, "tile"), 100, 50), Rgba{247 / 255.0, 247 / 255.0, 248 / 255.0, 1});
  platform::EventHarness pointer(board);
  pointer.moveMouse({100, 50});
  expectRgba(pixelAt(*picture(*board, "tile-hovered"), 100, 50),
             Rgba{231 / 255.0, 231 / 255.0, 232 / 255.0, 1});
  pointer.moveMouse({5, 5});
  tile->setIsSelected(true);
  board->setAppearance(dark);
  const auto image = picture(*board, "tile-dark-selected");
  expectRgba(pixelAt(*image, 100, 50), Rgba{52 / 255.0, 54 / 255.0, 57 / 255.0, 1});
  // The ring, 3 points wide and inset by 1, covers the tile's second column.
  expectRgba(pixelAt(*image, 21.25, 50), premultiplied(SystemColors::linkColor()->rgba(dark)), 0.03);

  auto hover = std::dynamic_pointer_cast<HoverView>(loaded("HoverView", Rect(0, 0, 60, 40)));
  platform::EventHarness hoverPointer(hover);
  hoverPointer.moveMouse({30, 20});
  const auto highlighted = picture(*hover, "hover-view");
  expectRgba(pixelAt(*highlighted, 30, 20), premultiplied(SystemColors::highlightColor()->rgba()));
  expectRgba(pixelAt(*highlighted, 0.25, 0.25), platform::test::transparent);  // rounded by 4
}

TEST(ControlsGallery, GradientTileRunsFromBottomLeftToTopRight) {
  platform::ScopedMainScreen screen(platform::Screen{1});
  auto tile = loaded("GradientTileView", Rect(0, 0, 120, 80));
  const auto image = picture(*tile, "gradient-tile");
  const Rgba first{145 / 255.0, 106 / 255.0, 223 / 255.0, 0.5};
  const Rgba last{210 / 255.0, 103 / 255.0, 130 / 255.0, 0.5};
  // Along the diagonal of the unit square the gradient is at (x / w + y / h) / 2.
  const auto expected = [&](double x, double y) {
    return premultiplied(gallery::mix(first, last, (x / 120 + y / 80) / 2));
  };
  expectRgba(pixelAt(*image, 10, 10), expected(10, 10), 0.02);
  expectRgba(pixelAt(*image, 110, 70), expected(110, 70), 0.02);
  expectRgba(pixelAt(*image, 0.25, 79.75), platform::test::transparent);
}

}  // namespace
}  // namespace Tavrix
