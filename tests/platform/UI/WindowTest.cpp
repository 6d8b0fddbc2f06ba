#include <gtest/gtest.h>

#include <memory>
#include <optional>
#include <stdexcept>
#include <string>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/UI/Screen.hpp"
#include "Platform/UI/View.hpp"
#include "Platform/UI/Window.hpp"

namespace platform {
namespace {

TEST(Window, TitleBarTakesItsHeightFromTheFrameAndTheContentViewFillsTheRest) {
  auto window = Window::create(Rect(100, 200, 300, 150), Window::titled);
  EXPECT_EQ(window->frame(), Rect(100, 200, 300, 150 + Window::titleBarHeight));
  EXPECT_EQ(window->contentRect(window->frame()), Rect(100, 200, 300, 150));
  EXPECT_EQ(window->contentView()->frame(), Rect(0, 0, 300, 150));
  EXPECT_EQ(window->contentView()->window(), window);
  EXPECT_EQ(window->contentView()->nextResponder(), window);

  window->setStyleMask(0);
  EXPECT_EQ(window->contentView()->frame(), Rect(0, 0, 300, 150 + Window::titleBarHeight));
  EXPECT_EQ(window->standardWindowButton(Window::ButtonKind::zoom), nullptr);
  window->setStyleMask(Window::titled | Window::resizable);
  window->standardWindowButton(Window::ButtonKind::zoom)->setHidden(true);
  EXPECT_TRUE(window->standardWindowButton(Window::ButtonKind::zoom)->isHidden());
  EXPECT_FALSE(window->standardWindowButton(Window::ButtonKind::close)->isHidden());

  // A new content view replaces the former one, which leaves the window.
  auto former = window->contentView();
  auto content = View::create();
  auto child = View::create();
  content->addSubview(child);
  window->setContentView(content);
  EXPECT_EQ(content->frame(), Rect(0, 0, 300, 150));
  EXPECT_EQ(child->window(), window);
  EXPECT_EQ(former->window(), nullptr);
}

TEST(Window, OneKeyWindowAtATimeAndTheContentInheritsTheWindowsAppearance) {
  auto first = Window::create(Rect(0, 0, 10, 10), Window::titled);
  auto second = Window::create(Rect(0, 0, 10, 10), Window::titled);
  first->makeKeyWindow();
  second->makeKeyWindow();
  EXPECT_FALSE(first->isKeyWindow());
  EXPECT_TRUE(second->isKeyWindow());
  second->resignKeyWindow();
  EXPECT_FALSE(second->isKeyWindow());

  auto child = View::create();
  first->contentView()->addSubview(child);
  first->setAppearance(Appearance(std::string(Appearance::darkAqua)));
  EXPECT_TRUE(child->effectiveAppearance().isDark());
  first->setAppearance(std::nullopt);
  EXPECT_FALSE(child->effectiveAppearance().isDark());

  // A content view taken by another window leaves the first.
  second->setContentView(first->contentView());
  EXPECT_EQ(first->contentView(), nullptr);
  EXPECT_EQ(child->window(), second);
}

TEST(Screen, NoMainScreenUnlessAScopeProvidesOne) {
  EXPECT_FALSE(Screen::main().has_value());
  {
    ScopedMainScreen retina(Screen{2});
    EXPECT_EQ(Screen::main()->backingScaleFactor, 2);
    {
      ScopedMainScreen none(std::nullopt);
      EXPECT_FALSE(Screen::main().has_value());
    }
    EXPECT_EQ(Screen::main()->backingScaleFactor, 2);
  }
  EXPECT_FALSE(Screen::main().has_value());
  EXPECT_THROW(ScopedMainScreen(Screen{0}), std::invalid_argument);
}

}  // namespace
}  // namespace platform
