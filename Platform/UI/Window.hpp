#pragma once

#include <array>
#include <concepts>
#include <cstdint>
#include <memory>
#include <optional>

#include "Platform/Graphics/Appearance.hpp"
#include "Platform/Graphics/Color.hpp"
#include "Platform/Graphics/Geometry.hpp"
#include "Platform/UI/Responder.hpp"
#include "Platform/UI/View.hpp"

namespace platform {

// A window: a frame on the screen (y-up screen coordinates), a title bar when it is titled, and a content
// view that fills the rest. There is no window server: nothing is shown, and the window is a model of the
// geometry, style and key state that views and tests read. At most one window is the key window. Windows
// are owned through std::shared_ptr (create). Main thread only.
class Window : public Responder, public std::enable_shared_from_this<Window> {
 public:
  // Style mask bits, with the platform's raw values.
  static constexpr std::uint64_t titled = 1 << 0;
  static constexpr std::uint64_t resizable = 1 << 3;

  // The height of a titled window's title bar, our own choice (about what the platform draws).
  static constexpr double titleBarHeight = 28;

  // The standard buttons of the title bar, with the platform's raw values.
  enum class ButtonKind { close = 0, miniaturize = 1, zoom = 2 };

  // A window of class T (a Window unless named) whose content area is contentRect, with a plain content
  // view of that size; then its didInit() runs, once the window is owned.
  template <std::derived_from<Window> T = Window>
  static std::shared_ptr<T> create(const Rect& contentRect, std::uint64_t styleMask) {
    std::shared_ptr<T> window = std::make_shared<T>(contentRect.standardized(), styleMask);
    Window& base = *window;
    base.setUp(contentRect.standardized());
    base.didInit();
    return window;
  }

  // The frame, and the content rectangle inside a frame (the frame less the title bar when titled) and
  // back. Setting the frame sizes the content view to the new content rectangle.
  const Rect& frame() const { return frame_; }
  void setFrame(const Rect& frame);
  Rect contentRect(const Rect& frameRect) const;
  Rect frameRect(const Rect& contentRect) const;

  // Changing the style keeps the frame and resizes the content view.
  std::uint64_t styleMask() const { return styleMask_; }
  void setStyleMask(std::uint64_t styleMask);

  // The content view's frame is the content rectangle's size at the origin of window coordinates. Setting a
  // view takes it from its superview or its former window; the former content view leaves the window. A
  // null view leaves the window without content.
  const std::shared_ptr<View>& contentView() const { return contentView_; }
  void setContentView(std::shared_ptr<View> view);

  bool isKeyWindow() const;
  // Makes this the key window; the former key window stops being key.
  void makeKeyWindow();
  void resignKeyWindow();

  // The appearance the content view inherits when set; the light appearance otherwise.
  const std::optional<Appearance>& appearance() const { return appearance_; }
  void setAppearance(std::optional<Appearance> appearance);

  // Look settings, stored for the window's owner.
  bool isOpaque() const { return opaque_; }
  void setOpaque(bool opaque) { opaque_ = opaque; }
  // None until set: the window has no background of its own.
  const ColorRef& backgroundColor() const { return backgroundColor_; }
  void setBackgroundColor(ColorRef color) { backgroundColor_ = std::move(color); }
  bool titlebarAppearsTransparent() const { return titlebarAppearsTransparent_; }
  void setTitlebarAppearsTransparent(bool transparent) { titlebarAppearsTransparent_ = transparent; }
  // The title bar's button of a kind, or null when the window has no title bar.
  std::shared_ptr<View> standardWindowButton(ButtonKind kind) const;

  // Use create; public only so that std::make_shared can reach it.
  Window(const Rect& frame, std::uint64_t styleMask);

 protected:
  // Runs once, right after create() has set the window up, when shared_from_this() works: the place for a
  // subclass's set-up (it calls its base's didInit() first). The base does nothing.
  virtual void didInit() {}

 private:
  // Gives the window the frame around the content rectangle and a content view that fills it.
  void setUp(const Rect& contentRect);
  void fitContentView();

  Rect frame_;
  std::uint64_t styleMask_;
  std::shared_ptr<View> contentView_;
  std::optional<Appearance> appearance_;
  bool opaque_ = true;
  ColorRef backgroundColor_;
  bool titlebarAppearsTransparent_ = false;
  std::array<std::shared_ptr<View>, 3> buttons_;
};

}  // namespace platform
