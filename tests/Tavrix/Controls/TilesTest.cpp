#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "Platform/Graphics/GradientLayer.hpp"
#include "Platform/UI/EventHarness.hpp"
#include "Platform/UI/ViewLoader.hpp"
#include "Tavrix/Controls/GradientTileView.hpp"
#include "Tavrix/Controls/HoverView.hpp"
#include "Tavrix/Controls/TileView.hpp"

namespace Tavrix {
namespace {

using platform::Rect;
using Heard = std::vector<std::string>;

class RecordingDelegate : public TileViewDelegate {
 public:
  Heard heard;
  void tileViewClicked(TileView&) override { heard.push_back("clicked"); }
  void tileViewMouseEntered(TileView&) override { heard.push_back("entered"); }
  void tileViewMouseExited(TileView&) override { heard.push_back("exited"); }
};

// A board counting the presses that reach it, holding a tile (or hover view) loaded by name at
// (50, 50, 100, 80).
class Board : public platform::View {
 public:
  using platform::View::View;
  int presses = 0;
  void mouseDown(const platform::Event&) override { ++presses; }
};

template <class T>
struct Scene {
  std::shared_ptr<Board> board = platform::View::create<Board>(Rect(0, 0, 300, 200));
  std::shared_ptr<T> view;
  std::shared_ptr<RecordingDelegate> delegate = std::make_shared<RecordingDelegate>();
  platform::EventHarness pointer{board};

  Scene(const char* className, std::vector<std::pair<std::string, platform::InspectableValue>> settings) {
    view = std::dynamic_pointer_cast<T>(
        platform::ViewLoader::load({className, Rect(50, 50, 100, 80), std::move(settings), {}}));
    board->addSubview(view);
    view->setDelegate(delegate);
  }
};

TEST(TileView, ReportsHoverAndClicksEvenWithInteractionDisabled) {
  Scene<TileView> scene("TileView", {{"disableInteraction", true}, {"radius", 12.0}, {"isSelected", true}});
  ASSERT_TRUE(scene.view);
  EXPECT_EQ(scene.view->trackingAreas().at(0)->options(), 0x281u);
  EXPECT_EQ(scene.view->radius(), 12);
  scene.pointer.moveMouse({100, 90});
  EXPECT_TRUE(scene.view->mouseOver());
  scene.pointer.click({100, 90});
  scene.pointer.moveMouse({10, 10});
  EXPECT_FALSE(scene.view->mouseOver());
  EXPECT_EQ(scene.delegate->heard, (Heard{"entered", "clicked", "exited"}));
  EXPECT_EQ(scene.board->presses, 0);  // interaction disabled: not passed up

  scene.view->setDisableInteraction(false);
  scene.view->setIsSelectable(false);
  scene.pointer.click({100, 90});
  EXPECT_EQ(scene.board->presses, 1);
  EXPECT_EQ(scene.delegate->heard.back(), "entered");  // not selectable: no click report

  scene.view->resetHover();
  EXPECT_FALSE(scene.view->mouseOver());
  scene.view->setEnableHover(false);
  scene.pointer.moveMouse({10, 10});
  scene.pointer.moveMouse({100, 90});
  EXPECT_FALSE(scene.view->mouseOver());
  EXPECT_EQ(scene.delegate->heard.size(), 4u);  // hover off: no enter or exit reports

  // Made in code, a tile has no tracking area and never sees the pointer.
  EXPECT_TRUE(platform::View::create<TileView>()->trackingAreas().empty());
}

TEST(HoverView, HighlightsWhileThePointerIsOverItAndNeverCallsItsDelegate) {
  Scene<HoverView> scene("HoverView", {{"radius", 3.0}});
  ASSERT_TRUE(scene.view);
  scene.view->setNeedsDisplay(false);
  scene.pointer.moveMouse({100, 90});
  EXPECT_TRUE(scene.view->mouseOver());
  EXPECT_TRUE(scene.view->needsDisplay());
  scene.pointer.moveMouse({10, 10});
  EXPECT_FALSE(scene.view->mouseOver());
  scene.view->setEnableHover(false);
  scene.pointer.moveMouse({100, 90});
  EXPECT_FALSE(scene.view->mouseOver());
  EXPECT_TRUE(scene.delegate->heard.empty());
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

}  // namespace
}  // namespace Tavrix
