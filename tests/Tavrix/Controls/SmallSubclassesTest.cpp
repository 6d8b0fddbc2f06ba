#include <gtest/gtest.h>

#include <limits>
#include <memory>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/UI/EventHarness.hpp"
#include "Platform/UI/ViewLoader.hpp"
#include "Platform/UI/ViewRenderer.hpp"
#include "Tavrix/Controls/DisabledScrollView.hpp"
#include "Tavrix/Controls/NoBackgroundCollectionView.hpp"
#include "Tavrix/Controls/NoBackgroundOutlineView.hpp"
#include "Tavrix/Controls/NoBackgroundScrollView.hpp"
#include "Tavrix/Controls/NoBackgroundTableView.hpp"
#include "Tavrix/Controls/NoDividerSplitView.hpp"
#include "Tavrix/Controls/NonInteractiveTableView.hpp"
#include "Tavrix/Controls/NonInteractiveView.hpp"
#include "Tavrix/Controls/SystemColors.hpp"
#include "Tavrix/Controls/Window.hpp"
#include "Tavrix/Controls/WindowContentView.hpp"
#include "tests/platform/Graphics/RenderExpectations.hpp"

namespace Tavrix {
namespace {

using platform::Point;
using platform::Rect;
using platform::View;

// A view counting what reaches it from below.
class Counter : public View {
 public:
  using View::View;
  int presses = 0;
  int scrolls = 0;
  void mouseDown(const platform::Event&) override { ++presses; }
  void scrollWheel(const platform::Event&) override { ++scrolls; }
};

template <class T>
bool loadsAs(const char* className) {
  return std::dynamic_pointer_cast<T>(platform::ViewLoader::load({className, Rect(0, 0, 10, 10), {}, {}})) !=
         nullptr;
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
  EXPECT_FALSE(window->isOpaque());
  EXPECT_TRUE(window->titlebarAppearsTransparent());
  EXPECT_EQ(window->styleMask(), platform::Window::titled | platform::Window::resizable);
  EXPECT_TRUE(window->standardWindowButton(platform::Window::ButtonKind::zoom)->isHidden());
  EXPECT_FALSE(window->standardWindowButton(platform::Window::ButtonKind::close)->isHidden());
  EXPECT_EQ(window->backgroundColor(), SystemColors::windowBackgroundColor());
}

TEST(WindowContentView, IsWhiteThenClearOnceTheAppearanceTurnsDark) {
  auto view = View::create<WindowContentView>(Rect(0, 0, 40, 30));
  platform::test::expectPixels(*platform::ViewRenderer::image(*view), {{20, 15, {1, 1, 1, 1}}});
  view->setAppearance(platform::Appearance(std::string(platform::Appearance::darkAqua)));
  EXPECT_TRUE(view->needsDisplay());
  platform::test::expectPixels(*platform::ViewRenderer::image(*view),
                               {{20, 15, platform::test::transparent}});
}

}  // namespace
}  // namespace Tavrix
