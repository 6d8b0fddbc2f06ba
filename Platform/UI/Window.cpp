#include "Platform/UI/Window.hpp"

#include <algorithm>
#include <utility>

namespace platform {

namespace {

std::weak_ptr<Window>& keyWindow() {
  static std::weak_ptr<Window> key;
  return key;
}

}  // namespace

Window::Window(const Rect& frame, std::uint64_t styleMask) : frame_(frame), styleMask_(styleMask) {
  for (std::shared_ptr<View>& button : buttons_) {
    button = View::create();
  }
}

void Window::setUp(const Rect& contentRect) {
  frame_ = frameRect(contentRect);
  setContentView(View::create(Rect(0, 0, contentRect.width(), contentRect.height())));
}

void Window::setFrame(const Rect& frame) {
  frame_ = frame.standardized();
  fitContentView();
}

Rect Window::contentRect(const Rect& frameRect) const {
  Rect content = frameRect.standardized();
  if ((styleMask_ & titled) != 0) {
    content.size.height = std::max(content.size.height - titleBarHeight, 0.0);
  }
  return content;
}

Rect Window::frameRect(const Rect& contentRect) const {
  Rect frame = contentRect.standardized();
  if ((styleMask_ & titled) != 0) {
    frame.size.height += titleBarHeight;
  }
  return frame;
}

void Window::setStyleMask(std::uint64_t styleMask) {
  styleMask_ = styleMask;
  fitContentView();
}

void Window::fitContentView() {
  if (contentView_) {
    contentView_->setFrame(Rect(Point(), contentRect(frame_).size));
  }
}

void Window::setContentView(std::shared_ptr<View> view) {
  if (view == contentView_) {
    return;
  }
  if (std::shared_ptr<View> former = std::exchange(contentView_, nullptr)) {
    former->attachWindow(nullptr);
  }
  if (view) {
    view->removeFromSuperview();
    if (const std::shared_ptr<Window> other = view->window_.lock()) {
      other->contentView_.reset();
    }
    contentView_ = std::move(view);
    fitContentView();
    contentView_->attachWindow(shared_from_this());
  }
}

bool Window::isKeyWindow() const { return keyWindow().lock().get() == this; }

void Window::makeKeyWindow() { keyWindow() = weak_from_this(); }

void Window::resignKeyWindow() {
  if (isKeyWindow()) {
    keyWindow().reset();
  }
}

void Window::setAppearance(std::optional<Appearance> appearance) {
  appearance_ = std::move(appearance);
  if (contentView_) {
    contentView_->updateEffectiveAppearance();
  }
}

std::shared_ptr<View> Window::standardWindowButton(ButtonKind kind) const {
  if ((styleMask_ & titled) == 0) {
    return nullptr;
  }
  return buttons_.at(static_cast<std::size_t>(kind));
}

}  // namespace platform
