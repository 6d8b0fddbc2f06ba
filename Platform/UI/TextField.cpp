#include "Platform/UI/TextField.hpp"

#include <stdexcept>
#include <utility>

namespace platform {

TextField::TextField(const Rect& frame) : View(frame), cell_(std::make_shared<TextFieldCell>()) {}

void TextField::setCell(std::shared_ptr<TextFieldCell> cell) {
  if (!cell) {
    throw std::invalid_argument("TextField: a text field needs a cell");
  }
  cell_ = std::move(cell);
  setNeedsDisplay(true);
}

void TextField::setStringValue(std::string text) {
  cell_->setStringValue(std::move(text));
  setNeedsDisplay(true);
}

void TextField::setFont(std::shared_ptr<const Font> font) {
  cell_->setFont(std::move(font));
  setNeedsDisplay(true);
}

void TextField::setTextColor(ColorRef color) {
  cell_->setTextColor(std::move(color));
  setNeedsDisplay(true);
}

void TextField::draw(const Rect&) { cell_->drawWithFrame(bounds(), *this); }

}  // namespace platform
