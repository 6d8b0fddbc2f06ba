#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/UI/EventHarness.hpp"
#include "Platform/UI/OutlineView.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/SearchFieldCell.hpp"
#include "Platform/UI/ViewLoader.hpp"
#include "Tavrix/Controls/DisabledScrollView.hpp"
#include "Tavrix/Controls/GradientTileView.hpp"
#include "Tavrix/Controls/HoverView.hpp"
#include "Tavrix/Controls/NoBackgroundCollectionView.hpp"
#include "Tavrix/Controls/NoBackgroundOutlineView.hpp"
#include "Tavrix/Controls/NoBackgroundScrollView.hpp"
#include "Tavrix/Controls/NoBackgroundTableView.hpp"
#include "Tavrix/Controls/NoDividerSplitView.hpp"
#include "Tavrix/Controls/NonInteractiveTableView.hpp"
#include "Tavrix/Controls/NonInteractiveView.hpp"
#include "Tavrix/Controls/SearchTextFieldCell.hpp"
#include "Tavrix/Controls/SingleLineSecureTextFieldCell.hpp"
#include "Tavrix/Controls/SingleLineTextFieldCell.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Controls/TagLabel.hpp"
#include "Tavrix/Controls/TileView.hpp"
#include "Tavrix/Controls/VerticallyAlignedTextLayer.hpp"
#include "Tavrix/Controls/WindowContentView.hpp"
#include "tests/Tavrix/GalleryPicture.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

// Every text field cell, list and scroll stand-in, small subclass, tag and tile, light and dark, in the
// gallery; the looks that are fixed numbers are checked pixel by pixel.
namespace Tavrix {
namespace {

using gallery::picture;
using gallery::premultiplied;
using platform::Rect;
using platform::Rgba;
using platform::View;
using platform::test::expectRgba;
using platform::test::pixelAt;

const platform::Appearance light(std::string(platform::Appearance::aqua));
const platform::Appearance dark(std::string(platform::Appearance::darkAqua));

std::shared_ptr<View> loaded(const char* className, const Rect& frame) {
  return platform::ViewLoader::load({className, frame, {}, {}});
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
    const double t = (x / 120 + y / 80) / 2;
    return premultiplied({first.red + (last.red - first.red) * t,
                          first.green + (last.green - first.green) * t,
                          first.blue + (last.blue - first.blue) * t, 0.5});
  };
  expectRgba(pixelAt(*image, 10, 10), expected(10, 10), 0.02);
  expectRgba(pixelAt(*image, 110, 70), expected(110, 70), 0.02);
  expectRgba(pixelAt(*image, 0.25, 79.75), platform::test::transparent);
}

}  // namespace
}  // namespace Tavrix
